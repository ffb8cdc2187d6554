#pragma once
// The real boxes and dialogs, modal over the main window.

#include "app/Prompter.h"

class QWidget;

namespace app {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* owner) : m_owner(owner) {}

    void showError(const QString& text) override;
    void showMessage(const QString& text) override;
    Answer ask(const QString& text, const QString& caption) override;
    bool confirm(const QString& text) override;
    std::optional<QString> chooseOpenPath() override;
    std::optional<QString> chooseSavePath(const QString& preset) override;
    RecoveryAnswer askRecovery(const QString& text) override;

private:
    QWidget* m_owner;
};

} // namespace app
