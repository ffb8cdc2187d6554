#include "app/TMainForm.h"

#include "app/ClipboardCommands.h"
#include "app/Commands.h"
#include "app/CompareController.h"
#include "app/EditingController.h"
#include "app/FileController.h"
#include "app/FindController.h"
#include "app/FlowDiagramController.h"
#include "app/InformationPaneController.h"
#include "app/MatrixPaneController.h"
#include "app/NotesPaneController.h"
#include "app/OptionsController.h"
#include "app/TableExportCommands.h"
#include "app/TitleBar.h"
#include "app/TreeColumns.h"
#include "app/WindowPlacement.h"
#include "app/Workspace.h"
#include "ui/ComparePane.h"
#include "ui/FindBar.h"
#include "ui/InformationPane.h"
#include "ui/MatrixPane.h"
#include "ui/NotesPane.h"
#include "ui/ToolbarIcons.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit> // the title edits, in the tab order
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace app {

using model::TreeId;

namespace {

constexpr int kSplitterWidth = 3;
constexpr int kCloseAgainAfterMs = 100;
constexpr int kMinColumnWidth = 30;
constexpr int kStatusBarHeight = 19;
constexpr const char* kSettingsSection = "Settings";
constexpr int kDefaultTop = 50;
constexpr int kDefaultLeft = 50;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

} // namespace

TMainForm::TMainForm(Workspace& workspace, QWidget* parent) : QMainWindow(parent), m_workspace(workspace)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowIcon(ui::windowIcon());
    setMinimumSize(kMinWidth, kMinHeight);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setContextMenuPolicy(Qt::NoContextMenu);

    m_features = std::make_unique<Features>(workspace, this);
    layOutBars();
    layOutMenus();
    layOutColumns();
    layOutStatusBar();
    readGeometry();
    m_workspace.design().setModified(false); // the title bar putting in its default titles is no edit
    setAcceptDrops(true);
}

TMainForm::~TMainForm() = default;

// --- layout -------------------------------------------------------------------

void TMainForm::layOutBars()
{
    const Features& f = *m_features;
    const auto addButtons = [](QToolBar* bar, std::initializer_list<QAction*> commands) {
        for (QAction* command : commands) {
            if (command)
                addButton(bar, command);
            else
                bar->addSeparator();
        }
    };
    const FileController::Actions& file = f.files->actions();
    const OptionsController::Actions& options = f.options->actions();
    QToolBar* fileBar = makeToolBar(this, "ToolBar3");
    addButtons(fileBar, {file.open, nullptr, file.save, file.backup, nullptr, file.exportRtf, nullptr, options.options,
                         nullptr, options.toolTips, nullptr, options.about});
    const EditingController::Actions& edit = f.editing->actions();
    QToolBar* editBar = makeToolBar(this, "ToolBar1");
    addButtons(editBar, {edit.expandAll, nullptr, edit.moveUp, edit.moveDown, nullptr, edit.addBelow, edit.addAbove,
                         edit.addChild, edit.addUncle, edit.duplicate, nullptr, edit.deleteRow, nullptr, edit.undo,
                         edit.redo, nullptr, f.matrix->toggle(), f.information->toggle(), f.notes->toggle(),
                         f.flow->open()});
    addToolBar(Qt::TopToolBarArea, fileBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, editBar);
    addAction(f.matrix->toggle());
    addAction(f.matrix->fullView());
    addAction(f.information->toggle());
    addAction(f.notes->toggle());
    addAction(f.flow->open());
    addAction(f.find->findAction());
    addAction(f.tableExport->actions().print);
    addAction(f.compare->actions().nextChange);
    addAction(f.compare->actions().previousChange);
}

void TMainForm::layOutMenus()
{
    const Features& f = *m_features;
    const EditingController::Actions& edit = f.editing->actions();
    const ClipboardCommands::Actions& clip = f.clipboard->actions();
    const FileController::Actions& file = f.files->actions();
    const auto addEntries = [](QMenu* menu, std::initializer_list<QAction*> commands) {
        for (QAction* command : commands) {
            if (command)
                menu->addAction(command);
            else
                menu->addSeparator();
        }
    };
    QMenu* treeMenu = makeMenu(this, "PopupMenu1");
    treeMenu->setToolTipsVisible(true);
    addEntries(treeMenu, {edit.addBelow, edit.addAbove, edit.addChild, edit.addUncle, nullptr, edit.moveUp,
                          edit.moveDown, edit.duplicate, nullptr, edit.deleteRow, edit.expandAll, nullptr, clip.cut,
                          clip.copy, clip.paste, clip.pasteAsChild, nullptr, file.save, nullptr, edit.undo, edit.redo});
    treeMenu->setDefaultAction(edit.addBelow);
    f.editing->setTreeMenu(treeMenu);
    // The tree menu's keys act while a tree has the focus.
    for (TreeId id : model::kAllTrees)
        f.columns->view(id)->addActions(treeMenu->actions());

    QMenu* saveMenu = makeMenu(this, "PopupMenu2");
    addEntries(saveMenu, {file.saveAs, nullptr, file.backup, nullptr, file.exportRtf, f.tableExport->actions().exportTable,
                          nullptr, f.compare->actions().compareWith});
    auto* saveButton = findChild<QToolBar*>(QStringLiteral("ToolBar3"))->widgetForAction(file.save);
    qobject_cast<QToolButton*>(saveButton)->setMenu(saveMenu);
    qobject_cast<QToolButton*>(saveButton)->setPopupMode(QToolButton::MenuButtonPopup);
}

void TMainForm::layOutColumns()
{
    const Features& f = *m_features;
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(f.titleBar);

    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(QStringLiteral("ColumnArea"));
    m_splitter->setHandleWidth(kSplitterWidth);
    m_splitter->setChildrenCollapsible(false);
    for (TreeId id : model::kAllTrees) {
        f.columns->view(id)->setMinimumWidth(kMinColumnWidth);
        m_splitter->addWidget(f.columns->view(id));
        m_splitter->setStretchFactor(model::index(id), id == TreeId::PV ? 1 : 0);
    }
    // The find bar right under the columns, and below them the design matrix,
    // information and notes panes, their heights the user's to choose.
    auto* columnsAndFind = new QWidget(central);
    auto* columnsLayout = new QVBoxLayout(columnsAndFind);
    columnsLayout->setContentsMargins(0, 0, 0, 0);
    columnsLayout->setSpacing(0);
    columnsLayout->addWidget(m_splitter, 1);
    columnsLayout->addWidget(f.findBar);
    auto* rows = new QSplitter(Qt::Vertical, central);
    rows->setChildrenCollapsible(false);
    rows->addWidget(columnsAndFind);
    rows->addWidget(f.compare->pane()); // the changes right under the rows they mark
    rows->addWidget(f.matrixPane);
    rows->addWidget(f.information->pane());
    rows->addWidget(f.notes->pane());
    rows->setStretchFactor(0, 1);
    layout->addWidget(rows, 1);
    setCentralWidget(central);

    setTabOrder(f.titleBar->edit(TreeId::FR), f.titleBar->edit(TreeId::DP));
    setTabOrder(f.titleBar->edit(TreeId::DP), f.titleBar->edit(TreeId::PV));
    setTabOrder(f.titleBar->edit(TreeId::PV), f.columns->view(TreeId::FR));
    setTabOrder(f.columns->view(TreeId::FR), f.columns->view(TreeId::DP));
    setTabOrder(f.columns->view(TreeId::DP), f.columns->view(TreeId::PV));
}

void TMainForm::layOutStatusBar()
{
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setFixedHeight(kStatusBarHeight);
    status->setToolTip(QStringLiteral("Status Bar"));
    setStatusBar(status);
    connect(&m_workspace, &Workspace::statusShown, status, [status](const QString& text) { status->showMessage(text); });
}

// --- the window's own events ------------------------------------------------------

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // Columns in thirds of the window's width; titles over them, 2 px narrower, 4 px apart.
    const int column = width() / kColumns;
    m_splitter->setSizes({column, column, std::max(kMinColumnWidth, width() - 2 * column - 2 * kSplitterWidth)});
    m_features->titleBar->alignTo(column);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (std::exchange(m_shown, true))
        return;
    m_workspace.takeLoadedLook();
    // The keyboard starts in the left column, where F2 begins a design.
    m_features->columns->view(TreeId::FR)->setFocus(Qt::OtherFocusReason);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (m_workspace.files().saving() || m_features->tableExport->exporting()) {
        // Asked while a save or a table is written (the window still handles
        // the system's events): it closes once the file is done.
        event->ignore();
        QTimer::singleShot(kCloseAgainAfterMs, this, &QWidget::close);
        return;
    }
    if (!m_features->files->mayClose()) {
        event->ignore();
        return;
    }
    writeGeometry();
    m_features->files->closed();
    event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    m_features->files->dragEntered(event);
}

void TMainForm::dropEvent(QDropEvent* event)
{
    m_features->files->dropped(event);
}

// --- the window's place ---------------------------------------------------------------

void TMainForm::readGeometry()
{
    io::SettingsFile& settings = m_workspace.settings();
    const int top = settings.readInteger(kSettingsSection, "WindowTop", kDefaultTop);
    const int left = settings.readInteger(kSettingsSection, "WindowLeft", kDefaultLeft);
    const int width = settings.readInteger(kSettingsSection, "WindowWidth", kDefaultWidth);
    const int height = settings.readInteger(kSettingsSection, "WindowHeight", kDefaultHeight);
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
    m_workspace.run([&] {
        io::SettingsFile& settings = m_workspace.settings();
        settings.writeInteger(kSettingsSection, "WindowTop", y());
        settings.writeInteger(kSettingsSection, "WindowLeft", x());
        settings.writeInteger(kSettingsSection, "WindowWidth", width());
        settings.writeInteger(kSettingsSection, "WindowHeight", height());
    });
}

} // namespace app
