#pragma once
// The main window: three columns of design trees under their titles, the
// file and edit toolbars, the tree menu and the status bar. Handlers are
// thin: read the selected row, call one model command, then select, expand
// or open the label editor.

#include "app/CommandTable.h"
#include "app/Prompter.h"
#include "model/Design.h"
#include "model/HeaderRecord.h"
#include "model/TreeObserver.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class QLineEdit;
class QSplitter;
class QStatusBar;

namespace ui {
class NodeDelegate;
class TTreeView;
}

namespace app {

class TreeColumns;

class TMainForm : public QMainWindow, private model::TreeObserver {
    Q_OBJECT
public:
    static constexpr int kColumns = 3;
    static constexpr int kTitleMargin = 2;
    static constexpr int kTitleGap = 4;
    static constexpr int kMinWidth = 300;
    static constexpr int kMinHeight = 440;

    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Tests and start-up swap the real boxes for their own.
    void setPrompter(std::shared_ptr<Prompter> prompter);

    model::Design& design() { return m_design; }
    const CommandTable& commands() const { return m_commands; }
    TreeColumns& columns() { return *m_columns; }
    QLineEdit* titleEdit(model::TreeId id) const { return m_titles[static_cast<std::size_t>(model::index(id))]; }
    std::optional<model::TreeId> activeTree() const { return m_activeTree; }
    bool hintsOn() const { return m_hintsOn; }
    const model::HeaderRecord& currentHeader() const { return m_currentHeader; }

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
    // file toolbar
    void ToolTipBtnClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    QWidget* buildTitleBar();
    void wireCommands();
    void wireViews();
    void FormResize();
    void FormShow();
    void Edit1Change();
    void FRVMouseUp(ui::TTreeView* view, Qt::MouseButton button, const QPoint& pos);
    void FRVDblClick();
    void FRVStartDrag(ui::TTreeView* view, const QModelIndex& source);
    void FRVDragDrop(ui::TTreeView* view, const QPoint& pos);
    void showTreeMenu(ui::TTreeView* view, const QPoint& pos);
    void titleEdited(model::TreeId id, const QString& text);

    // The command boundary: a command's error ends the command and reaches the user.
    template <typename F> void runCommand(F&& command);
    int selectedRow() const;
    model::TreeId editorTree() const;
    void selectAndEdit(int row);
    QColor levelColour(int level) const;

    // model::TreeObserver
    void flagsChanged() override;

    model::Design m_design;
    model::HeaderRecord m_loadedHeader{};
    model::HeaderRecord m_currentHeader{};
    std::shared_ptr<Prompter> m_prompter;
    CommandTable m_commands;
    std::unique_ptr<TreeColumns> m_columns;
    std::array<QLineEdit*, model::kTreeCount> m_titles{};
    QWidget* m_titleBar = nullptr;
    QSplitter* m_splitter = nullptr;
    std::optional<model::TreeId> m_activeTree;
    int m_dragSourceRow = -1;
    bool m_hintsOn = true;
    bool m_shown = false;
};

} // namespace app
