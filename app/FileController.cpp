#include "app/FileController.h"

#include "app/Commands.h"
#include "app/PathBytes.h"
#include "app/RecoveryKeeper.h"
#include "app/UndoHistory.h"
#include "app/Workspace.h"
#include "export/DesktopDocumentOpener.h"
#include "export/RtfExport.h"
#include "ui/SystemColours.h"
#include "ui/ToolbarIcons.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <algorithm>

namespace app {

namespace {

constexpr const char* kRecoveredQuestion = "Unsaved changes to %1 from %2 were recovered. Open them?";
constexpr const char* kNeverSavedDesign = "a design never saved";
constexpr const char* kNotOpenedForRecovered = "%1 was not opened: the recovered changes to %2 are on screen";
constexpr const char* kRecoveryNotWritten = "A recovery copy could not be written to %1";
constexpr const char* kExportedTo = "Exported to %1";
constexpr const char* kExportedNotOpened = "Exported to %1; no application could be started to open it";

} // namespace

FileController::FileController(Workspace& workspace, RecoveryKeeper& recovery, QWidget* window)
    : m_workspace(workspace), m_recovery(recovery), m_window(window),
      m_opener(std::make_unique<exporting::DesktopDocumentOpener>())
{
    makeActions();
    connect(&m_workspace, &Workspace::opened, this, &FileController::designReplacedOrSaved);
    connect(&m_workspace, &Workspace::saved, this, &FileController::designReplacedOrSaved);
    connect(&m_recovery, &RecoveryKeeper::writeFailed, this, [this](const QString& path) {
        m_workspace.showStatus(QString::fromLatin1(kRecoveryNotWritten).arg(path));
    });
    m_workspace.design().addObserver(this);
}

FileController::~FileController()
{
    m_workspace.design().removeObserver(this);
}

void FileController::makeActions()
{
    const auto make = [&](const CommandLook& look, void (FileController::*command)()) {
        QAction* action = makeCommand(this, look);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    Actions& a = m_actions;
    a.open = make({.icon = ui::toolbarIcon(9), .buttonName = "FileOpenBtn"},
                  &FileController::open);
    a.save = make({.name = "Save1", .caption = "Save", .icon = ui::toolbarIcon(10),
                   .hint = "Save FR's DP's and PV's to file", .key = QKeySequence(Qt::CTRL | Qt::Key_S),
                   .buttonName = "SaveBtn", .buttonHint = "Save", .keyInButtonHint = false},
                  &FileController::save);
    a.saveAs = make({.name = "SaveAs1", .caption = "Save As", .icon = ui::saveMenuIcon(0)}, &FileController::saveAs);
    // The save menu's entries have pictures of their own; their buttons keep the toolbar's.
    a.backup = make({.name = "BackUp1", .caption = "Back Up", .icon = ui::saveMenuIcon(1), .toggle = true,
                     .buttonName = "BackupBtn", .buttonHint = "Backup", .buttonIcon = ui::toolbarIcon(11)},
                    &FileController::backup);
    a.backup->setChecked(true);
    a.exportRtf = make({.name = "Export1", .caption = "Export", .icon = ui::saveMenuIcon(2), .buttonName = "ExportBtn",
                        .buttonHint = "Export to RTF and open it", .buttonIcon = ui::toolbarIcon(12)},
                       &FileController::exportRtf);
}

void FileController::setDocumentOpener(std::unique_ptr<exporting::DocumentOpener> opener)
{
    m_opener = std::move(opener);
}

// --- the commands ----------------------------------------------------------------

void FileController::open()
{
    m_workspace.run([&] { m_workspace.files().openWithDialog(); });
}

void FileController::openAtStart(const std::string& path)
{
    m_workspace.run([&] { m_workspace.files().openPath(path); });
}

void FileController::save()
{
    m_workspace.run([&] { m_workspace.files().save(); });
}

void FileController::saveAs()
{
    m_workspace.run([&] { m_workspace.files().saveAs(); });
}

void FileController::backup()
{
    m_workspace.run([&] { m_workspace.files().backup(); });
    flagsChanged(); // a toggle click must not leave the button out of step with the flag
}

void FileController::exportRtf()
{
    m_workspace.run([&] {
        const auto resolver = [](std::uint32_t value) { return ui::toColourValue(ui::resolveColour(value)); };
        const exporting::ExportResult result =
            exporting::exportDesign(m_workspace.design(), m_workspace.files().filePath(), m_workspace.startupDir(),
                                    resolver, *m_opener);
        // The export succeeded either way: the status bar says where it went.
        const QString path = QFile::decodeName(result.path.c_str());
        m_workspace.showStatus(
            (result.opened ? QString::fromLatin1(kExportedTo) : QString::fromLatin1(kExportedNotOpened)).arg(path));
    });
}

void FileController::designReplacedOrSaved()
{
    showDesignName();
    // The changes of the design it replaced were answered for, or are on disk now.
    m_recovery.discardOwnCopy();
}

void FileController::flagsChanged()
{
    // The Backup button shows the backed-up flag.
    m_actions.backup->setChecked(m_workspace.design().backedUp());
    showDesignName();
}

// "pump.vok – Tessaric Design Tool", marked while there are unsaved changes:
// the title names the file every save writes.
void FileController::showDesignName()
{
    m_window->setWindowTitle(
        QStringLiteral("%1[*] \u2013 %2").arg(m_workspace.files().displayName(), QString::fromLatin1(kAppTitle)));
    m_window->setWindowModified(m_workspace.design().modified());
}

// --- start-up --------------------------------------------------------------------

void FileController::startUp(const std::string& commandLinePath)
{
    const Recovered recovered = offerRecovery(commandLinePath);
    if (commandLinePath.empty() || recovered == Recovered::ThatFile)
        return;
    if (recovered == Recovered::AnotherDesign) {
        // The user chose to see those changes: they are not put aside unasked.
        m_workspace.showStatus(QString::fromLatin1(kNotOpenedForRecovered)
                                   .arg(QFile::decodeName(commandLinePath.c_str()), m_workspace.files().displayName()));
        return;
    }
    openAtStart(commandLinePath);
}

FileController::Recovered FileController::offerRecovery(const std::string& commandLinePath)
{
    Recovered recovered = Recovered::Nothing;
    m_workspace.run([&] {
        std::vector<RecoveryKeeper::Orphan> orphans = m_recovery.claimOrphans();
        // The copy of the file the program was started on is asked about first.
        std::stable_partition(orphans.begin(), orphans.end(),
                              [&](const RecoveryKeeper::Orphan& orphan) { return orphan.isCopyOf(commandLinePath); });
        for (const RecoveryKeeper::Orphan& orphan : orphans) {
            const QString design = orphan.originalPath.empty() ? QString::fromLatin1(kNeverSavedDesign)
                                                               : QFile::decodeName(orphan.originalPath.c_str());
            const QString when = orphan.written.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
            switch (m_workspace.prompter().askRecovery(QString::fromLatin1(kRecoveredQuestion).arg(design, when))) {
            case Prompter::RecoveryAnswer::Open:
                if (!m_workspace.files().openRecovered(QFile::encodeName(orphan.copyPath).toStdString(),
                                                       orphan.originalPath))
                    return;
                m_recovery.adopt(orphan);
                m_workspace.history().markUnsaved();
                recovered = orphan.isCopyOf(commandLinePath) ? Recovered::ThatFile : Recovered::AnotherDesign;
                return; // one design at a time: the others wait for the next start
            case Prompter::RecoveryAnswer::Discard:
                m_recovery.discard(orphan);
                break;
            case Prompter::RecoveryAnswer::Later:
                break;
            }
        }
    });
    return recovered;
}

// --- the window's events ---------------------------------------------------------

void FileController::dragEntered(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void FileController::dropped(QDropEvent* event)
{
    // The first dropped file only; the rest are ignored. The drop ends here and
    // the file is opened afterwards: a question or an error box shown inside
    // the drop would hold up the program the file was dragged from.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    const std::string path = localPathOf(urls.first());
    QMetaObject::invokeMethod(this, [this, path] { openAtStart(path); }, Qt::QueuedConnection);
}

bool FileController::mayClose()
{
    bool mayClose = false;
    m_workspace.run([&] { mayClose = m_workspace.files().mayClose(); });
    return mayClose;
}

void FileController::closed()
{
    m_recovery.discardOwnCopy();
    m_recovery.waitForWriter();
}

} // namespace app
