#pragma once
// The file commands in the window: open, save, save as, backup and the RTF
// export, a file dropped on the window, the question before it closes, the
// offers at start-up of changes recovered after a crash, and the window's
// title, which names the file every save writes.

#include "model/TreeObserver.h"

#include <QObject>

#include <memory>
#include <string>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QWidget;

namespace exporting { class DocumentOpener; }

namespace app {

class RecoveryKeeper;
class Workspace;

class FileController : public QObject, private model::TreeObserver {
    Q_OBJECT
public:
    struct Actions {
        QAction* open;
        QAction* save;      // the save button, and Ctrl+S in the trees
        QAction* saveAs;
        QAction* backup;    // its button shows the backed-up flag
        QAction* exportRtf; // written to the design's folder and opened
    };

    FileController(Workspace& workspace, RecoveryKeeper& recovery, QWidget* window);
    ~FileController() override;

    const Actions& actions() const { return m_actions; }
    // Tests put their own word processor in place.
    void setDocumentOpener(std::unique_ptr<exporting::DocumentOpener> opener);

    void open();
    void save();
    void saveAs();
    void backup();
    void exportRtf();
    // A design named on the command line, opened as any other.
    void openAtStart(const std::string& path);
    // Start-up: offers the changes of earlier runs that ended abnormally, then
    // opens the design named on the command line ("" for none), in that order
    // and with no question in between. Open on a copy of that very file shows
    // the recovered design under its path; Open on another design's copy keeps
    // that on screen, and the status bar says the named file was not opened.
    void startUp(const std::string& commandLinePath = {});

    // The window's own events.
    void dragEntered(QDragEnterEvent* event);
    void dropped(QDropEvent* event);
    // The close query: true when the window may close.
    bool mayClose();
    // Ending normally: what was not saved was answered for.
    void closed();

private:
    enum class Recovered { Nothing, ThatFile, AnotherDesign };
    // Offers the copies one at a time, those of `commandLinePath` first, until one is opened.
    Recovered offerRecovery(const std::string& commandLinePath);
    void makeActions();
    void designReplacedOrSaved();
    void showDesignName();
    void flagsChanged() override; // model::TreeObserver

    Workspace& m_workspace;
    RecoveryKeeper& m_recovery;
    QWidget* m_window;
    std::unique_ptr<exporting::DocumentOpener> m_opener;
    Actions m_actions{};
};

} // namespace app
