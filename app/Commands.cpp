#include "app/Commands.h"

#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace app {

namespace {

constexpr int kToolBarHeight = 29;
constexpr const char* kButtonName = "buttonName";
constexpr const char* kButtonHint = "buttonHint";
constexpr const char* kButtonIcon = "buttonIcon";

// The button's own hint and picture, put back after each change of the action,
// which the button otherwise copies.
void keepButtonLook(QAction* command, QWidget* button)
{
    const QVariant hint = command->property(kButtonHint);
    const QVariant icon = command->property(kButtonIcon);
    auto* toolButton = qobject_cast<QToolButton*>(button);
    const auto apply = [=] {
        if (hint.isValid())
            toolButton->setToolTip(hint.toString());
        if (icon.isValid())
            toolButton->setIcon(icon.value<QIcon>());
    };
    if (!toolButton || (!hint.isValid() && !icon.isValid()))
        return;
    apply();
    QObject::connect(command, &QAction::changed, toolButton, apply);
}

} // namespace

QAction* makeCommand(QObject* owner, const CommandLook& look)
{
    auto* action = new QAction(look.icon, QString::fromLatin1(look.caption), owner);
    action->setObjectName(QString::fromLatin1(look.name));
    if (look.hint) {
        action->setToolTip(QString::fromLatin1(look.hint));
        action->setStatusTip(QString::fromLatin1(look.hint));
    }
    action->setShortcut(look.key);
    action->setShortcutContext(look.keyWorks);
    action->setCheckable(look.toggle);
    if (look.buttonName)
        action->setProperty(kButtonName, QString::fromLatin1(look.buttonName));
    if (look.buttonHint) {
        QString tip = QString::fromLatin1(look.buttonHint);
        if (look.keyInButtonHint && !look.key.isEmpty())
            tip += QStringLiteral(" (%1)").arg(look.key.toString(QKeySequence::NativeText));
        action->setProperty(kButtonHint, tip);
    }
    if (!look.buttonIcon.isNull())
        action->setProperty(kButtonIcon, look.buttonIcon);
    return action;
}

QToolBar* makeToolBar(QWidget* window, const char* name)
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

void addButton(QToolBar* bar, QAction* command)
{
    bar->addAction(command);
    QWidget* button = bar->widgetForAction(command);
    button->setObjectName(command->property(kButtonName).toString());
    keepButtonLook(command, button);
}

QMenu* makeMenu(QWidget* window, const char* name)
{
    auto* menu = new QMenu(window);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace app
