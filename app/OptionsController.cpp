#include "app/OptionsController.h"

#include "app/Commands.h"
#include "app/Workspace.h"
#include "ui/TAboutDlg.h"
#include "ui/TOptionsDlg.h"
#include "ui/ToolbarIcons.h"

#include <QApplication>

namespace app {

OptionsController::OptionsController(Workspace& workspace, QWidget* window)
    : m_workspace(workspace), m_window(window)
{
    m_actions.options = makeCommand(this, {.caption = "Options", .icon = ui::toolbarIcon(15),
                                           .buttonName = "ToolButton1", .buttonHint = "Options"});
    m_actions.options->setEnabled(false);
    m_actions.toolTips = makeCommand(this, {.caption = "Show/Hide tooltips", .icon = ui::toolbarIcon(ui::kToolTipOnIcon),
                                            .toggle = true, .buttonName = "ToolTipBtn",
                                            .buttonHint = "Show/Hide tooltips"});
    m_actions.toolTips->setChecked(true);
    m_actions.about = makeCommand(this, {.caption = "About", .icon = ui::toolbarIcon(16), .buttonName = "AboutBtn",
                                         .buttonHint = "About"});
    connect(m_actions.options, &QAction::triggered, this, &OptionsController::openOptions);
    connect(m_actions.toolTips, &QAction::triggered, this, &OptionsController::switchHints);
    connect(m_actions.about, &QAction::triggered, this, &OptionsController::showAbout);
    switchHints(); // applied once in its pressed state
    qApp->installEventFilter(this);
}

OptionsController::~OptionsController()
{
    qApp->removeEventFilter(this);
}

void OptionsController::attachDialogs(ui::TAboutDlg* about, ui::TOptionsDlg* options)
{
    m_about = about;
    m_options = options;
}

void OptionsController::switchHints()
{
    m_hintsOn = m_actions.toolTips->isChecked();
    m_actions.toolTips->setIcon(ui::toolbarIcon(m_hintsOn ? ui::kToolTipOnIcon : ui::kToolTipOffIcon));
}

bool OptionsController::eventFilter(QObject* watched, QEvent* event)
{
    // With the switch up, no hint of this window's bars, titles, trees or status bar shows.
    if (event->type() == QEvent::ToolTip && !m_hintsOn) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == m_window || m_window->isAncestorOf(widget)))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

void OptionsController::openOptions()
{
    if (!m_options)
        return;
    // The dialog works on its own copy of the current header and hands back its level records.
    model::HeaderRecord table = m_workspace.design().look().currentHeader();
    m_options->openFor(table);
    m_workspace.design().look().takeOptionsTable(table);
}

void OptionsController::showAbout()
{
    if (m_about)
        m_about->exec();
}

} // namespace app
