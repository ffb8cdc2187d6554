#pragma once
// The main window's commands as the user meets them: the file toolbar, the
// edit toolbar, the tree menu (with every edit command's key) and the save menu.
// Every toolbar button carries the control name as its objectName.

#include <QAction>

class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace app {

inline constexpr const char* kUndoText = "Undo";
inline constexpr const char* kRedoText = "Redo";

struct CommandTable {
    QToolBar* fileBar = nullptr;   // ToolBar3
    QToolBar* editBar = nullptr;   // ToolBar1
    QMenu* treeMenu = nullptr;     // PopupMenu1
    QMenu* saveMenu = nullptr;     // PopupMenu2

    // file toolbar
    QAction* fileOpen = nullptr;
    QAction* save = nullptr;
    QAction* backup = nullptr;
    QAction* exportRtf = nullptr;
    QAction* options = nullptr;
    QAction* toolTips = nullptr;
    QAction* about = nullptr;
    // edit toolbar
    QAction* expandAll = nullptr;
    QAction* moveUp = nullptr;
    QAction* moveDown = nullptr;
    QAction* addBelow = nullptr;
    QAction* addAbove = nullptr;
    QAction* addChild = nullptr;
    QAction* addUncle = nullptr;
    QAction* duplicate = nullptr;
    QAction* deleteRow = nullptr;
    QAction* undo = nullptr;       // also the tree menu's last two entries; Ctrl+Z
    QAction* redo = nullptr;       // Ctrl+Shift+Z (and Ctrl+Y, see TMainForm)
    QAction* matrix = nullptr;     // MatrixBtn, checkable: the design matrix pane shown (Ctrl+M)
    // tree menu
    QAction* menuAddBelow = nullptr;
    QAction* menuAddAbove = nullptr;
    QAction* menuAddChild = nullptr;
    QAction* menuMoveUp = nullptr;
    QAction* menuMoveDown = nullptr;
    QAction* menuAddUncle = nullptr;     // Shift+F4
    QAction* menuDuplicate = nullptr;    // Ctrl+D
    QAction* menuDelete = nullptr;
    QAction* menuExpandAll = nullptr;    // Ctrl+E: toggles the Expand/Contract all button
    QAction* menuCut = nullptr;          // Ctrl+X
    QAction* menuCopy = nullptr;         // Ctrl+C
    QAction* menuPaste = nullptr;        // Ctrl+V: next siblings of the selected row
    QAction* menuPasteAsChild = nullptr; // Ctrl+Shift+V: its last children
    QAction* menuSave = nullptr;
    // save menu
    QAction* saveAs = nullptr;
    QAction* backUpEntry = nullptr;
    QAction* exportEntry = nullptr;
    QAction* exportTableEntry = nullptr;
    // window-wide
    QAction* printTable = nullptr; // Ctrl+P: the print preview of the table
    QAction* find = nullptr;       // Ctrl+F: the find bar

    QToolButton* button(QAction* action) const;
};

CommandTable buildCommandTable(QMainWindow* window);

} // namespace app
