#pragma once
// The small commands of the file toolbar: the tool-tip switch (with the
// switch up, no hint of the window shows), the options dialog and the about
// box.

#include <QObject>

class QAction;
class QWidget;

namespace ui {
class TAboutDlg;
class TOptionsDlg;
}

namespace app {

class Workspace;

class OptionsController : public QObject {
    Q_OBJECT
public:
    struct Actions {
        QAction* options; // disabled: the options are reached through the dialog alone
        QAction* toolTips;
        QAction* about;
    };

    // Watches every hint the application shows: those of `window` it holds back while hints are off.
    OptionsController(Workspace& workspace, QWidget* window);
    ~OptionsController() override;

    const Actions& actions() const { return m_actions; }
    // The dialogs are made after the window, at start-up.
    void attachDialogs(ui::TAboutDlg* about, ui::TOptionsDlg* options);
    bool hintsOn() const { return m_hintsOn; }

    void switchHints(); // as the switch stands
    void openOptions();
    void showAbout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Workspace& m_workspace;
    QWidget* m_window;
    ui::TAboutDlg* m_about = nullptr;
    ui::TOptionsDlg* m_options = nullptr;
    Actions m_actions{};
    bool m_hintsOn = true;
};

} // namespace app
