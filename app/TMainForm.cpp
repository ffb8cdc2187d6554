// The main window: its construction, layout and wiring, the hints, the file
// commands and closing. The editing commands, the undo steps and the trees'
// own gestures are in TMainFormEditing.cpp.
#include "app/TMainForm.h"

#include "app/ClipboardCommands.h"
#include "app/FindController.h"
#include "app/QtPrompter.h"
#include "app/RecoveryKeeper.h"
#include "app/StepRecorder.h"
#include "app/TitleBar.h"
#include "app/MatrixPaneController.h"
#include "app/PathBytes.h"
#include "app/UndoHistory.h"
#include "app/WindowPlacement.h"
#include "app/TableExportCommands.h"
#include "app/TreeColumns.h"
#include "export/DesktopDocumentOpener.h"
#include "export/RtfExport.h"
#include "io/DesignFile.h"
#include "model/UserError.h"
#include "model/Limits.h"
#include "ui/Cp1252.h"
#include "ui/Cp1252Validator.h"
#include "ui/ExpansionLimit.h"
#include "ui/FindBar.h"
#include "ui/MatrixPane.h"
#include "ui/NodeDelegate.h"
#include "ui/SystemColours.h"
#include "ui/TAboutDlg.h"
#include "ui/TOptionsDlg.h"
#include "ui/ToolbarIcons.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QLineEdit>
#include <QMenu>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace app {

using model::TreeId;

namespace {

constexpr int kSplitterWidth = 3;
constexpr int kMinColumnWidth = 30;
constexpr int kStatusBarHeight = 19;
constexpr const char* kRecoveredQuestion = "Unsaved changes to %1 from %2 were recovered. Open them?";
constexpr const char* kNeverSavedDesign = "a design never saved";
constexpr const char* kNotOpenedForRecovered = "%1 was not opened: the recovered changes to %2 are on screen";
constexpr const char* kRecoveryNotWritten = "A recovery copy could not be written to %1";
constexpr const char* kExportedTo = "Exported to %1";
constexpr const char* kExportedNotOpened = "Exported to %1; no application could be started to open it";
constexpr const char* kLabelsCut = "Labels longer than %1 characters are cut to their first %1";
constexpr const char* kSettingsName = "Formats.ini";
constexpr const char* kSettingsSection = "Settings";
constexpr int kDefaultTop = 50;
constexpr int kDefaultLeft = 50;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

std::string startupDirOr(const std::string& dir)
{
    if (!dir.empty())
        return dir;
    std::error_code error; // the folder as bytes: QDir::currentPath() would alter a name that is not UTF-8
    const std::string current = std::filesystem::current_path(error).string();
    return error ? std::string(".") : current;
}

} // namespace

TMainForm::TMainForm(const std::string& startupDir, QWidget* parent)
    : QMainWindow(parent),
      m_startupDir(startupDirOr(startupDir)),
      m_settings(m_startupDir + "/" + kSettingsName),
      m_prompter(std::make_shared<QtPrompter>(this)),
      m_opener(std::make_unique<exporting::DesktopDocumentOpener>())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowIcon(ui::windowIcon());
    setMinimumSize(kMinWidth, kMinHeight);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    m_history = std::make_unique<UndoHistory>(m_design);
    m_steps = std::make_unique<StepRecorder>(m_design, *m_history, [this] { return selectedRow(); },
                                             [this] { finishEditing(); }, [this](int row) { m_columns->selectRow(row); });
    m_columns = std::make_unique<TreeColumns>(
        m_design,
        [this](QObject* owner) {
            auto* delegate = new ui::NodeDelegate([this](int level) { return levelColour(level); }, owner);
            connect(delegate, &ui::NodeDelegate::labelCut, this, &TMainForm::labelsCut);
            return delegate;
        },
        this);
    m_commands = buildCommandTable(this);
    m_files = std::make_unique<FileCommands>(
        m_design, m_loadedHeader, m_currentHeader, *m_prompter,
        FileCommands::Hooks{[this] { return m_levelFonts.styles(); },
                            [this](const model::HeaderRecord& loaded) { designOpened(loaded); },
                            [this] { designSaved(); }, [this](const QString& text) { showStatus(text); }});
    m_tableExport = std::make_unique<TableExportCommands>(this, m_design, m_currentHeader,
                                                          [this] { return m_files->filePath(); }, m_startupDir);
    m_recovery = std::make_unique<RecoveryKeeper>(
        m_design,
        [this] {
            // What a save would write (the window's own header stays), and the
            // blocks kept from the file, which the save would still ask about.
            model::HeaderRecord header = m_currentHeader;
            return io::encodeDesignFile(m_design, header, m_levelFonts.styles(), io::KeptBlocksToo::Yes);
        },
        [this] { return m_files->filePath(); });
    connect(m_recovery.get(), &RecoveryKeeper::writeFailed, this,
            [this](const QString& path) { showStatus(QString::fromLatin1(kRecoveryNotWritten).arg(path)); });
    buildLayout();
    wireCommands();
    wireViews();
    wireHistory();
    wireEntryCommands();
    m_matrixController = std::make_unique<MatrixPaneController>(
        m_design, *m_columns, m_matrixPane, m_commands.matrix,
        [this](const char* name, const std::function<void()>& change) { runStep(name, change); });
    m_design.addObserver(this);

    // Both header records start all zero (members), the hints follow the titles
    // (the title bar sees to that), and the tool-tip switch is applied once in
    // its pressed state.
    ToolTipBtnClick();
    readGeometry();
    m_design.setModified(false);
    setAcceptDrops(true);
    qApp->installEventFilter(this);
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    m_find.reset(); // before the columns, whose drawing asks it for marks
    m_matrixController.reset();
    m_columns.reset();
    m_recovery.reset();
    delete std::exchange(m_titleBar, nullptr); // a title losing the focus as the window goes would add a step
    m_steps.reset();
    m_history.reset(); // its steps give what they hold back to the design
    m_design.removeObserver(this);
}

void TMainForm::setPrompter(std::shared_ptr<Prompter> prompter)
{
    m_prompter = std::move(prompter);
    m_files->setPrompter(*m_prompter);
}

void TMainForm::setDocumentOpener(std::unique_ptr<exporting::DocumentOpener> opener)
{
    m_opener = std::move(opener);
}

void TMainForm::attachDialogs(ui::TAboutDlg* about, ui::TOptionsDlg* options)
{
    m_about = about;
    m_options = options;
}

// --- layout -------------------------------------------------------------------

void TMainForm::buildLayout()
{
    addToolBar(Qt::TopToolBarArea, m_commands.fileBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_commands.editBar);
    setContextMenuPolicy(Qt::NoContextMenu);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_titleBar = new TitleBar(m_design, *m_history, central);
    layout->addWidget(m_titleBar);

    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(QStringLiteral("ColumnArea"));
    m_splitter->setHandleWidth(kSplitterWidth);
    m_splitter->setChildrenCollapsible(false);
    for (TreeId id : model::kAllTrees) {
        m_columns->view(id)->setMinimumWidth(kMinColumnWidth);
        m_splitter->addWidget(m_columns->view(id));
        m_splitter->setStretchFactor(model::index(id), id == TreeId::PV ? 1 : 0);
    }
    // The find bar right under the columns, and below both the design matrix
    // pane, its height the user's to choose.
    auto* columnsAndFind = new QWidget(central);
    auto* columnsLayout = new QVBoxLayout(columnsAndFind);
    columnsLayout->setContentsMargins(0, 0, 0, 0);
    columnsLayout->setSpacing(0);
    columnsLayout->addWidget(m_splitter, 1);
    m_findBar = new ui::FindBar(columnsAndFind);
    columnsLayout->addWidget(m_findBar);
    auto* rows = new QSplitter(Qt::Vertical, central);
    rows->setChildrenCollapsible(false);
    m_matrixPane = new ui::MatrixPane(rows);
    rows->addWidget(columnsAndFind);
    rows->addWidget(m_matrixPane);
    rows->setStretchFactor(0, 1);
    layout->addWidget(rows, 1);
    setCentralWidget(central);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setFixedHeight(kStatusBarHeight);
    status->setToolTip(QStringLiteral("Status Bar"));
    setStatusBar(status);

    setTabOrder(titleEdit(TreeId::FR), titleEdit(TreeId::DP));
    setTabOrder(titleEdit(TreeId::DP), titleEdit(TreeId::PV));
    setTabOrder(titleEdit(TreeId::PV), m_columns->view(TreeId::FR));
    setTabOrder(m_columns->view(TreeId::FR), m_columns->view(TreeId::DP));
    setTabOrder(m_columns->view(TreeId::DP), m_columns->view(TreeId::PV));
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize()
{
    // Columns in thirds of the window's width; titles over them, 2 px narrower, 4 px apart.
    const int column = width() / kColumns;
    m_splitter->setSizes({column, column, std::max(kMinColumnWidth, width() - 2 * column - 2 * kSplitterWidth)});
    m_titleBar->alignTo(column);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    // Whatever the loaded header holds now becomes what the trees are drawn with.
    m_levelFonts.blacken();
    m_currentHeader.titles = m_loadedHeader.titles;
    m_currentHeader.reserved = m_loadedHeader.reserved;
    m_currentHeader.levels = m_loadedHeader.levels;
    m_design.setModified(false);
    // The keyboard starts in the left column, where F2 begins a design.
    m_columns->view(TreeId::FR)->setFocus(Qt::OtherFocusReason);
}

QColor TMainForm::levelColour(int level) const
{
    return ui::resolveColour(m_currentHeader.levels[static_cast<std::size_t>(level)].colour);
}

void TMainForm::redrawTrees()
{
    for (TreeId id : model::kAllTrees)
        m_columns->view(id)->viewport()->update();
}

// --- wiring -------------------------------------------------------------------

void TMainForm::wireCommands()
{
    const CommandTable& c = m_commands;
    const std::pair<QAction*, void (TMainForm::*)()> table[] = {
        {c.addBelow, &TMainForm::AddItemBelowBtnClick},   {c.menuAddBelow, &TMainForm::AddItemBelowBtnClick},
        {c.addAbove, &TMainForm::AddItemAboveBtnClick},   {c.menuAddAbove, &TMainForm::AddItemAboveBtnClick},
        {c.addChild, &TMainForm::AddChildBtnClick},       {c.menuAddChild, &TMainForm::AddChildBtnClick},
        {c.addUncle, &TMainForm::AddChildToGrandParentBtnClick}, {c.menuAddUncle, &TMainForm::AddChildToGrandParentBtnClick},
        {c.moveUp, &TMainForm::MoveUpBtnClick},           {c.menuMoveUp, &TMainForm::MoveUpBtnClick},
        {c.moveDown, &TMainForm::MoveDownBtnClick},       {c.menuMoveDown, &TMainForm::MoveDownBtnClick},
        {c.deleteRow, &TMainForm::DeleteBtnClick},        {c.menuDelete, &TMainForm::DeleteBtnClick},
        {c.duplicate, &TMainForm::DuplicateBtnClick},     {c.menuDuplicate, &TMainForm::DuplicateBtnClick},
        {c.undo, &TMainForm::UndoBtnClick},               {c.redo, &TMainForm::RedoBtnClick},
        {c.expandAll, &TMainForm::ExpandContractAllBtnClick},
        {c.toolTips, &TMainForm::ToolTipBtnClick},
        {c.fileOpen, &TMainForm::FileOpenBtnClick},
        {c.save, &TMainForm::SaveBtnClick},           {c.menuSave, &TMainForm::SaveBtnClick},
        {c.saveAs, &TMainForm::SaveAs1Click},
        {c.backup, &TMainForm::BackupBtnClick},       {c.backUpEntry, &TMainForm::BackupBtnClick},
        {c.exportRtf, &TMainForm::ExportBtnClick},    {c.exportEntry, &TMainForm::ExportBtnClick},
        {c.exportTableEntry, &TMainForm::ExportTable1Click}, {c.printTable, &TMainForm::PrintTableClick},
        {c.options, &TMainForm::ToolButton1Click},
        {c.about, &TMainForm::AboutBtnClick},
    };
    for (const auto& [action, slot] : table)
        connect(action, &QAction::triggered, this, slot);
    // The menu's entry works the toolbar's toggle, so the button shows the state.
    connect(c.menuExpandAll, &QAction::triggered, c.expandAll, &QAction::trigger);
    // The tree menu's shortcuts act while a tree has the focus.
    for (TreeId id : model::kAllTrees)
        m_columns->view(id)->addActions(m_commands.treeMenu->actions());
}

void TMainForm::wireViews()
{
    for (TreeId id : model::kAllTrees) {
        ui::TTreeView* view = m_columns->view(id);
        connect(view, &ui::TTreeView::nodeReleased, this,
                [this, view](Qt::MouseButton b, const QPoint& p) { FRVMouseUp(view, b, p); });
        connect(view, &ui::TTreeView::dragStarted, this,
                [this, view](const QModelIndex& source) { FRVStartDrag(view, source); });
        connect(view, &ui::TTreeView::dropped, this, [this, view](const QPoint& p) { FRVDragDrop(view, p); });
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& p) { showTreeMenu(view, p); });
        connect(view, &ui::TTreeView::expansionLimited, this, &TMainForm::depthLimitReached);
    }
    for (TreeId id : model::kAllTrees) {
        ui::TTreeView* view = m_columns->view(id);
        connect(view, &ui::TTreeView::doubleClickedNode, this, [this, view](const QPoint& p) { FRVDblClick(view, p); });
        connect(view, &ui::TTreeView::keyboardMoved, this, [this, view] { FRVKeyDown(view); });
        connect(view, &ui::TTreeView::editNeighbour, this, [this, view](int step) { editNeighbourColumn(view, step); });
        connect(view, &ui::TTreeView::editEnded, this, [this, view](bool byKey) { labelEditEnded(view, byKey); });
    }
}


void TMainForm::flagsChanged()
{
    // The Backup button shows the backed-up flag.
    m_commands.backup->setChecked(m_design.backedUp());
    showDesignName();
}

// "pump.vok – Tessaric Design Tool", marked while there are unsaved changes:
// the title names the file every save writes.
void TMainForm::showDesignName()
{
    if (!m_files)
        return;
    setWindowTitle(QStringLiteral("%1[*] \u2013 %2").arg(m_files->displayName(), QString::fromLatin1(kAppTitle)));
    setWindowModified(m_design.modified());
}

QLineEdit* TMainForm::titleEdit(TreeId id) const
{
    return m_titleBar->edit(id);
}

// --- hints --------------------------------------------------------------------------

void TMainForm::ToolTipBtnClick()
{
    m_hintsOn = m_commands.toolTips->isChecked();
    m_commands.toolTips->setIcon(ui::toolbarIcon(m_hintsOn ? ui::kToolTipOnIcon : ui::kToolTipOffIcon));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // With the switch up, no hint of this window's bars, titles, trees or status bar shows.
    if (event->type() == QEvent::ToolTip && !m_hintsOn) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == this || isAncestorOf(widget)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- file commands ------------------------------------------------------------------

void TMainForm::FileOpenBtnClick()
{
    runCommand([&] { m_files->openWithDialog(); });
}

void TMainForm::openAtStart(const std::string& path)
{
    runCommand([&] { m_files->openPath(path); });
}

void TMainForm::designOpened(const model::HeaderRecord& loaded)
{
    m_levelFonts.takeFromHeader(loaded); // the title bar shows the new titles by itself
    // The rows are drawn in the colours of the design just opened, not the last saved one's.
    m_currentHeader.levels = loaded.levels;
    redrawTrees();
    showDesignName();
    m_history->clear();
    m_recovery->discardOwnCopy(); // the changes of the design it replaced were answered for
}

void TMainForm::designSaved()
{
    m_history->markSaved();
    m_recovery->discardOwnCopy();
    redrawTrees(); // in the level colours just saved
    showDesignName();
}

void TMainForm::startUp(const std::string& commandLinePath)
{
    const Recovered recovered = offerRecovery(commandLinePath);
    if (commandLinePath.empty() || recovered == Recovered::ThatFile)
        return;
    if (recovered == Recovered::AnotherDesign) {
        // The user chose to see those changes: they are not put aside unasked.
        showStatus(QString::fromLatin1(kNotOpenedForRecovered)
                       .arg(QFile::decodeName(commandLinePath.c_str()), m_files->displayName()));
        return;
    }
    openAtStart(commandLinePath);
}

TMainForm::Recovered TMainForm::offerRecovery(const std::string& commandLinePath)
{
    Recovered recovered = Recovered::Nothing;
    runCommand([&] {
        std::vector<RecoveryKeeper::Orphan> orphans = m_recovery->claimOrphans();
        // The copy of the file the program was started on is asked about first.
        std::stable_partition(orphans.begin(), orphans.end(),
                              [&](const RecoveryKeeper::Orphan& orphan) { return orphan.isCopyOf(commandLinePath); });
        for (const RecoveryKeeper::Orphan& orphan : orphans) {
            const QString design = orphan.originalPath.empty() ? QString::fromLatin1(kNeverSavedDesign)
                                                               : QFile::decodeName(orphan.originalPath.c_str());
            const QString when = orphan.written.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm"));
            switch (m_prompter->askRecovery(QString::fromLatin1(kRecoveredQuestion).arg(design, when))) {
            case Prompter::RecoveryAnswer::Open:
                if (!m_files->openRecovered(QFile::encodeName(orphan.copyPath).toStdString(), orphan.originalPath))
                    return;
                m_recovery->adopt(orphan);
                m_history->markUnsaved();
                recovered = orphan.isCopyOf(commandLinePath) ? Recovered::ThatFile : Recovered::AnotherDesign;
                return; // one design at a time: the others wait for the next start
            case Prompter::RecoveryAnswer::Discard:
                m_recovery->discard(orphan);
                break;
            case Prompter::RecoveryAnswer::Later:
                break;
            }
        }
    });
    return recovered;
}

void TMainForm::SaveBtnClick()
{
    runCommand([&] { m_files->save(); });
}

void TMainForm::SaveAs1Click()
{
    runCommand([&] { m_files->saveAs(); });
}

void TMainForm::BackupBtnClick()
{
    runCommand([&] { m_files->backup(); });
    flagsChanged(); // a toggle click must not leave the button out of step with the flag
}

void TMainForm::ExportBtnClick()
{
    runCommand([&] {
        const auto resolver = [](std::uint32_t value) { return ui::toColourValue(ui::resolveColour(value)); };
        const exporting::ExportResult result =
            exporting::exportDesign(m_design, m_files->filePath(), m_startupDir, m_currentHeader, resolver, *m_opener);
        // The export succeeded either way: the status bar says where it went.
        const QString path = QFile::decodeName(result.path.c_str());
        showStatus((result.opened ? QString::fromLatin1(kExportedTo) : QString::fromLatin1(kExportedNotOpened)).arg(path));
    });
}

void TMainForm::showStatus(const QString& text)
{
    statusBar()->showMessage(text);
}

void TMainForm::labelsCut()
{
    showStatus(QString::fromLatin1(kLabelsCut).arg(model::kLongestLabel));
}

void TMainForm::ExportTable1Click()
{
    runCommand([&] { m_tableExport->exportTable(); });
}

void TMainForm::PrintTableClick()
{
    runCommand([&] { m_tableExport->printPreview(*m_prompter); });
}

void TMainForm::ToolButton1Click()
{
    if (!m_options)
        return;
    m_options->openFor(m_currentHeader);
    redrawTrees();
}

void TMainForm::AboutBtnClick()
{
    if (m_about)
        m_about->exec();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    // The first dropped file only; the rest are ignored. The drop ends here and
    // the file is opened afterwards: a question or an error box shown inside
    // the drop would hold up the program the file was dragged from.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    const std::string path = localPathOf(urls.first());
    QMetaObject::invokeMethod(
        this, [this, path] { runCommand([&] { m_files->openPath(path); }); }, Qt::QueuedConnection);
}

// --- closing and the window's place ----------------------------------------------------

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    writeGeometry();
    // Ending normally: what was not saved was answered for.
    m_recovery->discardOwnCopy();
    m_recovery->waitForWriter();
    event->accept();
}

bool TMainForm::FormCloseQuery()
{
    bool mayClose = false;
    runCommand([&] { mayClose = m_files->mayClose(); });
    return mayClose;
}

void TMainForm::readGeometry()
{
    const int top = m_settings.readInteger(kSettingsSection, "WindowTop", kDefaultTop);
    const int left = m_settings.readInteger(kSettingsSection, "WindowLeft", kDefaultLeft);
    const int width = m_settings.readInteger(kSettingsSection, "WindowWidth", kDefaultWidth);
    const int height = m_settings.readInteger(kSettingsSection, "WindowHeight", kDefaultHeight);
    const QScreen* screen = QGuiApplication::screenAt(QPoint(left, top));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect placed = screen ? placedWindow({left, top}, {width, height}, minimumSize(), screen->availableGeometry())
                                : QRect(left, top, width, height);
    move(placed.topLeft());
    resize(placed.size());
}

void TMainForm::writeGeometry()
{
    // A settings file that cannot be written is reported once; the window still closes.
    runCommand([&] {
        m_settings.writeInteger(kSettingsSection, "WindowTop", y());
        m_settings.writeInteger(kSettingsSection, "WindowLeft", x());
        m_settings.writeInteger(kSettingsSection, "WindowWidth", width());
        m_settings.writeInteger(kSettingsSection, "WindowHeight", height());
    });
}

// --- copy, cut, paste and find ------------------------------------------------------

void TMainForm::wireEntryCommands()
{
    m_clipboard = std::make_unique<ClipboardCommands>(
        m_design, *m_columns,
        ClipboardCommands::Hooks{[this] { return selectedRow(); }, [this] { return focusedTree(); },
                                 [this](const char* name, const std::function<void()>& change) { runStep(name, change); },
                                 [this] { m_prompter->showMessage(QString::fromLatin1(kCannotDeleteRoot)); },
                                 [this] { labelsCut(); }},
        QGuiApplication::clipboard());
    m_find = std::make_unique<FindController>(m_design, *m_columns, *m_findBar,
                                              [this](TreeId id, int row) { chooseRow(id, row); });
    const CommandTable& c = m_commands;
    connect(c.menuCopy, &QAction::triggered, this, [this] { runCommand([&] { m_clipboard->copy(); }); });
    connect(c.menuCut, &QAction::triggered, this, [this] { m_clipboard->cut(); });
    connect(c.menuPaste, &QAction::triggered, this, [this] { m_clipboard->paste(model::PastePlace::NextSiblings); });
    connect(c.menuPasteAsChild, &QAction::triggered, this,
            [this] { m_clipboard->paste(model::PastePlace::LastChildren); });
    connect(c.find, &QAction::triggered, m_find.get(), &FindController::open);
}

// The column the keys go to; a copy gives its labels as text, and pasted text fills it.
TreeId TMainForm::focusedTree() const
{
    const QWidget* focus = QApplication::focusWidget();
    for (TreeId id : model::kAllTrees)
        if (focus && (focus == m_columns->view(id) || m_columns->view(id)->isAncestorOf(focus)))
            return id;
    return editorTree();
}

} // namespace app
