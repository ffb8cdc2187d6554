#pragma once
// The main window: three columns of design trees under their titles, the
// file and edit toolbars, the tree menu and the status bar. Handlers are
// thin: read the selected row, call one model command, then select, expand
// or open the label editor.

#include "app/CommandTable.h"
#include "app/FileCommands.h"
#include "app/Prompter.h"
#include "export/DocumentOpener.h"
#include "io/SettingsFile.h"
#include "ui/TLevelFonts.h"
#include "model/Design.h"
#include "model/HeaderRecord.h"
#include "model/TreeObserver.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QLineEdit;
class QSplitter;
class QStatusBar;

namespace ui {
class FindBar;
class MatrixPane;
class TAboutDlg;
class TOptionsDlg;
class TTreeView;
}

namespace app {

// Delete's one refusal, also Cut's.
inline constexpr const char* kCannotDeleteRoot = "Cannot delete root node";

class ClipboardCommands;
class FindController;
class MatrixPaneController;
class TableExportCommands;
class RecoveryKeeper;
class StepRecorder;
class TitleBar;
class TreeColumns;
class UndoHistory;

class TMainForm : public QMainWindow, private model::TreeObserver {
    Q_OBJECT
public:
    static constexpr int kColumns = 3;
    static constexpr int kMinWidth = 300;
    static constexpr int kMinHeight = 440;

    // The settings file is read here for the window's geometry; `startupDir`
    // is where the settings file and "Output.rtf" live for the whole run.
    explicit TMainForm(const std::string& startupDir = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Tests swap the real boxes and the word processor for their own.
    void setPrompter(std::shared_ptr<Prompter> prompter);
    void setDocumentOpener(std::unique_ptr<exporting::DocumentOpener> opener);
    // The dialogs are made after the window, at start-up.
    void attachDialogs(ui::TAboutDlg* about, ui::TOptionsDlg* options);
    // Start-up: offers the changes of earlier runs that ended abnormally, then
    // opens the design named on the command line ("" for none), in that order
    // and with no question in between. Open on a copy of that very file shows
    // the recovered design under its path; Open on another design's copy keeps
    // that on screen, and the status bar says the named file was not opened.
    void startUp(const std::string& commandLinePath = {});
    // A design named on the command line, opened as any other.
    void openAtStart(const std::string& path);

    model::Design& design() { return m_design; }
    const CommandTable& commands() const { return m_commands; }
    TreeColumns& columns() { return *m_columns; }
    QLineEdit* titleEdit(model::TreeId id) const;
    UndoHistory& history() { return *m_history; }
    RecoveryKeeper& recovery() { return *m_recovery; }
    std::optional<model::TreeId> activeTree() const { return m_activeTree; }
    bool hintsOn() const { return m_hintsOn; }
    const model::HeaderRecord& currentHeader() const { return m_currentHeader; }
    const model::HeaderRecord& loadedHeader() const { return m_loadedHeader; }
    ui::TLevelFonts& levelFonts() { return m_levelFonts; }
    const FileCommands& files() const { return *m_files; }
    io::SettingsFile& settings() { return m_settings; }
    TableExportCommands& tableExport() { return *m_tableExport; }
    ClipboardCommands& clipboardCommands() { return *m_clipboard; }
    FindController& find() { return *m_find; }
    ui::FindBar& findBar() { return *m_findBar; }
    ui::MatrixPane* matrixPane() const { return m_matrixPane; }

public slots:
    // edit toolbar and tree menu
    void AddItemBelowBtnClick();
    void AddItemAboveBtnClick();
    void AddChildBtnClick();
    void AddChildToGrandParentBtnClick();
    void DeleteBtnClick();
    void MoveUpBtnClick();
    void MoveDownBtnClick();
    void DuplicateBtnClick();
    void ExpandContractAllBtnClick();
    void UndoBtnClick();
    void RedoBtnClick();
    // file toolbar and save menu
    void FileOpenBtnClick();
    void SaveBtnClick();
    void SaveAs1Click();
    void BackupBtnClick();
    void ExportBtnClick();
    void ExportTable1Click();
    void PrintTableClick();
    void ToolButton1Click();
    void ToolTipBtnClick();
    void AboutBtnClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void wireCommands();
    void wireViews();
    void FormResize();
    void FormShow();
    bool FormCloseQuery();
    void readGeometry();
    void writeGeometry();
    void designOpened(const model::HeaderRecord& loaded);
    // Offers the copies one at a time, those of `commandLinePath` first,
    // until one is opened.
    enum class Recovered { Nothing, ThatFile, AnotherDesign };
    Recovered offerRecovery(const std::string& commandLinePath);
    void designSaved();
    void showDesignName();
    void redrawTrees();
    void FRVMouseUp(ui::TTreeView* view, Qt::MouseButton button, const QPoint& pos);
    void FRVKeyDown(ui::TTreeView* view);
    void chooseRow(model::TreeId id, int row);
    void FRVDblClick(ui::TTreeView* view, const QPoint& pos);
    void editNeighbourColumn(ui::TTreeView* view, int step);
    void labelEditEnded(ui::TTreeView* view, bool byKey);
    void FRVStartDrag(ui::TTreeView* view, const QModelIndex& source);
    void FRVDragDrop(ui::TTreeView* view, const QPoint& pos);
    void showTreeMenu(ui::TTreeView* view, const QPoint& pos);
    void showStatus(const QString& text);
    void labelsCut(); // by a paste or in the label editor
    void depthLimitReached(int depth);

    // The command boundary: a command's error ends the command and reaches the user.
    template <typename F> void runCommand(F&& command)
    {
        try {
            command();
        } catch (const std::exception& e) {
            m_prompter->showError(QString::fromLocal8Bit(e.what()));
        }
    }
    // A command that is one step of the undo history, named as the user knows it.
    void runStep(const char* name, const std::function<void()>& command);
    void labelEdited(model::TreeId id, int row, const std::string& text);
    void wireHistory();
    void historyChanged();
    void finishEditing();
    int selectedRow() const;
    model::TreeId editorTree() const;
    void selectAndEdit(int row);
    QColor levelColour(int level) const;

    // Copy, cut, paste and find: their classes, their entries and keys.
    void wireEntryCommands();
    model::TreeId focusedTree() const;

    // model::TreeObserver
    void flagsChanged() override;

    model::Design m_design;
    std::unique_ptr<UndoHistory> m_history; // before anything that adds steps to it
    std::unique_ptr<StepRecorder> m_steps;
    model::HeaderRecord m_loadedHeader{};
    model::HeaderRecord m_currentHeader{};
    ui::TLevelFonts m_levelFonts;
    std::string m_startupDir;
    io::SettingsFile m_settings;
    std::shared_ptr<Prompter> m_prompter;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<TableExportCommands> m_tableExport;
    std::unique_ptr<ClipboardCommands> m_clipboard;
    std::unique_ptr<FindController> m_find;
    ui::FindBar* m_findBar = nullptr;
    std::unique_ptr<MatrixPaneController> m_matrixController;
    std::unique_ptr<RecoveryKeeper> m_recovery;
    std::unique_ptr<exporting::DocumentOpener> m_opener;
    ui::TAboutDlg* m_about = nullptr;
    ui::TOptionsDlg* m_options = nullptr;
    CommandTable m_commands;
    std::unique_ptr<TreeColumns> m_columns;
    TitleBar* m_titleBar = nullptr;
    QSplitter* m_splitter = nullptr;
    ui::MatrixPane* m_matrixPane = nullptr; // under the columns, hidden at start
    std::optional<model::TreeId> m_activeTree;
    std::optional<model::TreeId> m_tabbedFrom; // where the label edit Tab carried on from began
    int m_dragSourceRow = -1;
    bool m_hintsOn = true;
    bool m_shown = false;
};

} // namespace app
