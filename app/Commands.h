#pragma once
// How a command meets the user: ONE QAction, shared by its toolbar button,
// its menu entry and its key. The action carries the menu entry's caption,
// name and hint; a command that also has a toolbar button carries the
// button's own name, hint and picture, which the button keeps whatever the
// action later changes (its enabled or checked state).

#include <QAction>
#include <QIcon>
#include <QKeySequence>

class QMenu;
class QToolBar;
class QWidget;

namespace app {

struct CommandLook {
    const char* name = "";    // the action's objectName (the menu entry's name)
    const char* caption = ""; // the action's text (the menu caption)
    QIcon icon{};
    const char* hint = nullptr; // the menu hint (tool tip and status tip); none: the caption
    QKeySequence key = {};
    Qt::ShortcutContext keyWorks = Qt::WidgetWithChildrenShortcut; // while a tree has the focus
    bool toggle = false;
    // On a toolbar: the button's objectName, hint and picture (none: the action's).
    const char* buttonName = nullptr;
    const char* buttonHint = nullptr;
    bool keyInButtonHint = true; // "Move up (Alt+Up)", so the key is learnt where the button is
    QIcon buttonIcon{};
};

QAction* makeCommand(QObject* owner, const CommandLook& look);

// The toolbars and menus the window lays the commands out on.
QToolBar* makeToolBar(QWidget* window, const char* name);
// Puts the command's button on `bar`, named, hinted and pictured as its look says.
void addButton(QToolBar* bar, QAction* command);
QMenu* makeMenu(QWidget* window, const char* name);

} // namespace app
