#include "app/CommandTable.h"

#include "ui/DialogIcons.h"
#include "ui/ToolbarIcons.h"

#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace app {

namespace {

constexpr int kToolBarHeight = 29;
const QKeySequence kMoveUpKey(Qt::ALT | Qt::Key_Up);
const QKeySequence kMoveDownKey(Qt::ALT | Qt::Key_Down);
const QKeySequence kAddUncleKey(Qt::SHIFT | Qt::Key_F4);
const QKeySequence kDuplicateKey(Qt::CTRL | Qt::Key_D);
const QKeySequence kExpandAllKey(Qt::CTRL | Qt::Key_E);
const QKeySequence kDeleteKey(Qt::SHIFT | Qt::Key_Delete);

QToolBar* makeToolBar(QMainWindow* window, const char* name)
{
    auto* bar = new QToolBar(window);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setFixedHeight(kToolBarHeight);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setStyleSheet(QStringLiteral("QToolBar { border: none; spacing: 0px; } QToolBar::separator { width: 8px; }"));
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    return bar;
}

// A toolbar button: icon from the image list, hint, and the control's name.
// A command with a key names it in the hint, "Move up (Alt+Up)", so the key
// can be learnt where the button is.
QAction* addButton(QToolBar* bar, const char* name, const QIcon& icon, const char* hint, bool toggle = false,
                   const QKeySequence& key = {})
{
    auto* action = new QAction(icon, QString::fromLatin1(hint), bar);
    QString tip = QString::fromLatin1(hint);
    if (!key.isEmpty())
        tip += QStringLiteral(" (%1)").arg(key.toString(QKeySequence::NativeText));
    action->setToolTip(tip);
    action->setCheckable(toggle);
    bar->addAction(action);
    bar->widgetForAction(action)->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* addMenuEntry(QMenu* menu, const char* name, const char* caption, int icon, const char* hint,
                      const QKeySequence& shortcut = {})
{
    auto* action = menu->addAction(ui::toolbarIcon(icon), QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(QString::fromLatin1(hint));
    action->setStatusTip(QString::fromLatin1(hint));
    action->setShortcut(shortcut);
    // The shortcuts act while one of the trees (which carry the menu's actions) has the focus.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    return action;
}

void buildFileBar(CommandTable& t, QMainWindow* window)
{
    QToolBar* bar = t.fileBar = makeToolBar(window, "ToolBar3");
    t.fileOpen = addButton(bar, "FileOpenBtn", ui::toolbarIcon(9), "");
    t.fileOpen->setToolTip(QString());
    bar->addSeparator();
    t.save = addButton(bar, "SaveBtn", ui::toolbarIcon(10), "Save");
    t.backup = addButton(bar, "BackupBtn", ui::toolbarIcon(11), "Backup", true);
    t.backup->setChecked(true);
    bar->addSeparator();
    t.exportRtf = addButton(bar, "ExportBtn", ui::toolbarIcon(12), "Export to RTF and open it");
    bar->addSeparator();
    t.options = addButton(bar, "ToolButton1", ui::toolbarIcon(15), "Options");
    t.options->setEnabled(false);
    bar->addSeparator();
    t.toolTips = addButton(bar, "ToolTipBtn", ui::toolbarIcon(ui::kToolTipOnIcon), "Show/Hide tooltips", true);
    t.toolTips->setChecked(true);
    bar->addSeparator();
    t.about = addButton(bar, "AboutBtn", ui::toolbarIcon(16), "About");
}

void buildEditBar(CommandTable& t, QMainWindow* window)
{
    QToolBar* bar = t.editBar = makeToolBar(window, "ToolBar1");
    t.expandAll = addButton(bar, "ExpandContractAllBtn", ui::toolbarIcon(0), "Expand/Contract all", true, kExpandAllKey);
    bar->addSeparator();
    t.moveUp = addButton(bar, "MoveUpBtn", ui::toolbarIcon(1), "Move up", false, kMoveUpKey);
    t.moveDown = addButton(bar, "MoveDownBtn", ui::toolbarIcon(2), "Move down", false, kMoveDownKey);
    bar->addSeparator();
    t.addBelow = addButton(bar, "AddItemBelowBtn", ui::toolbarIcon(3), "Add sibling below", false, Qt::Key_F2);
    t.addAbove = addButton(bar, "AddItemAboveBtn", ui::toolbarIcon(4), "Add sibling above", false, Qt::Key_F3);
    t.addChild = addButton(bar, "AddChildBtn", ui::toolbarIcon(5), "Add child", false, Qt::Key_F4);
    t.addUncle = addButton(bar, "AddChildToGrandParentBtn", ui::toolbarIcon(6), "Add uncle", false, kAddUncleKey);
    t.duplicate = addButton(bar, "DuplicateBtn", ui::toolbarIcon(7), "Duplicate node", false, kDuplicateKey);
    bar->addSeparator();
    t.deleteRow = addButton(bar, "DeleteBtn", ui::toolbarIcon(8), "Delete (this and all children)", false, kDeleteKey);
    bar->addSeparator();
    t.undo = addButton(bar, "UndoBtn", ui::undoIcon(), kUndoText);
    t.redo = addButton(bar, "RedoBtn", ui::redoIcon(), kRedoText);
    for (QAction* action : {t.undo, t.redo}) {
        action->setEnabled(false); // nothing to undo or redo yet
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
    t.undo->setShortcut(QKeySequence::Undo);
    t.redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    bar->addSeparator();
    t.matrix = addButton(bar, "MatrixBtn", ui::matrixIcon(), "Design matrix", true);
    t.matrix->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    t.matrix->setShortcutContext(Qt::WindowShortcut);
    window->addAction(t.matrix);
}

// One key each: the platform's standard sequences add Shift+Del, which is Delete's.
void buildClipboardEntries(CommandTable& t, QMenu* menu)
{
    t.menuCut = addMenuEntry(menu, "Cut1", "Cut", 7, "Cut this (and all sub-nodes) to the clipboard",
                             QKeySequence(Qt::CTRL | Qt::Key_X));
    t.menuCopy = addMenuEntry(menu, "Copy1", "Copy", 7, "Copy this (and all sub-nodes) to the clipboard",
                              QKeySequence(Qt::CTRL | Qt::Key_C));
    t.menuPaste = addMenuEntry(menu, "Paste1", "Paste", 7, "Paste below this, as its next siblings",
                               QKeySequence(Qt::CTRL | Qt::Key_V));
    t.menuPasteAsChild = addMenuEntry(menu, "PasteAsChild1", "Paste as child", 7, "Paste as the last children of this",
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    t.menuCut->setIcon(ui::icons::themed("edit-cut", QStyle::SP_DialogDiscardButton));
    t.menuPaste->setIcon(ui::icons::themed("edit-paste", QStyle::SP_DialogApplyButton));
    t.menuPasteAsChild->setIcon(t.menuPaste->icon());
}

void buildTreeMenu(CommandTable& t, QMainWindow* window)
{
    QMenu* menu = t.treeMenu = new QMenu(window);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    menu->setToolTipsVisible(true);
    t.menuAddBelow = addMenuEntry(menu, "AddSiblingBelow1", "Add sibling below", 3, "Add sibling below", Qt::Key_F2);
    t.menuAddAbove = addMenuEntry(menu, "AddSiblingAbove1", "Add sibling above", 4, "Add sibling above", Qt::Key_F3);
    t.menuAddChild = addMenuEntry(menu, "AddChild1", "Add child", 5, "Add child", Qt::Key_F4);
    t.menuAddUncle = addMenuEntry(menu, "AddUncle1", "Add uncle", 6, "Add a sibling of the parent", kAddUncleKey);
    menu->addSeparator();
    t.menuMoveUp = addMenuEntry(menu, "MoveUp1", "Move up", 1, "Move up (if possible)", kMoveUpKey);
    t.menuMoveDown = addMenuEntry(menu, "MoveDown1", "Move down", 2, "Move down (if possible)", kMoveDownKey);
    t.menuDuplicate = addMenuEntry(menu, "Duplicate1", "Duplicate", 7, "Duplicate this (and all sub-nodes)",
                                   kDuplicateKey);
    menu->addSeparator();
    t.menuDelete = addMenuEntry(menu, "Delete1", "Delete", 8, "Delete this (and all sub-nodes)", kDeleteKey);
    t.menuExpandAll = addMenuEntry(menu, "ExpandAll1", "Expand/collapse all", 0, "Expand or collapse every row",
                                   kExpandAllKey);
    menu->addSeparator();
    buildClipboardEntries(t, menu);
    menu->addSeparator();
    t.menuSave = addMenuEntry(menu, "Save1", "Save", 10, "Save FR's DP's and PV's to file",
                              QKeySequence(Qt::CTRL | Qt::Key_S));
    menu->addSeparator();
    menu->addAction(t.undo);
    menu->addAction(t.redo);
    menu->setDefaultAction(t.menuAddBelow);
}

void buildSaveMenu(CommandTable& t, QMainWindow* window)
{
    QMenu* menu = t.saveMenu = new QMenu(window);
    menu->setObjectName(QStringLiteral("PopupMenu2"));
    t.saveAs = menu->addAction(ui::saveMenuIcon(0), QStringLiteral("Save As"));
    t.saveAs->setObjectName(QStringLiteral("SaveAs1"));
    menu->addSeparator();
    t.backUpEntry = menu->addAction(ui::saveMenuIcon(1), QStringLiteral("Back Up"));
    t.backUpEntry->setObjectName(QStringLiteral("BackUp1"));
    menu->addSeparator();
    t.exportEntry = menu->addAction(ui::saveMenuIcon(2), QStringLiteral("Export"));
    t.exportEntry->setObjectName(QStringLiteral("Export1"));
    t.exportTableEntry = menu->addAction(ui::saveMenuIcon(2), QStringLiteral("Export table\u2026"));
    t.exportTableEntry->setObjectName(QStringLiteral("ExportTable1"));

    auto* saveButton = t.button(t.save);
    saveButton->setMenu(menu);
    saveButton->setPopupMode(QToolButton::MenuButtonPopup);
}

} // namespace

QToolButton* CommandTable::button(QAction* action) const
{
    for (QToolBar* bar : {fileBar, editBar})
        if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
            return b;
    return nullptr;
}

CommandTable buildCommandTable(QMainWindow* window)
{
    CommandTable t;
    buildFileBar(t, window);
    buildEditBar(t, window);
    buildTreeMenu(t, window);
    buildSaveMenu(t, window);
    t.printTable = new QAction(QStringLiteral("Print preview"), window);
    t.printTable->setObjectName(QStringLiteral("PrintTable1"));
    t.printTable->setShortcut(QKeySequence::Print);
    window->addAction(t.printTable);
    t.find = new QAction(QStringLiteral("Find"), window);
    t.find->setObjectName(QStringLiteral("Find1"));
    t.find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    window->addAction(t.find);
    return t;
}

} // namespace app
