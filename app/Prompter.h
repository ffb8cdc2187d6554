#pragma once
// Every question, message box and file dialog the main window shows goes
// through this interface, so tests can answer them without a modal loop.

#include <QString>
#include <optional>

namespace app {

inline constexpr const char* kAppTitle = "Tessaric Design Tool";

class Prompter {
public:
    enum class Answer { Yes, No, Cancel };
    enum class RecoveryAnswer { Open, Discard, Later };

    virtual ~Prompter() = default;
    // The one error box: captioned with the application title, error icon, OK.
    virtual void showError(const QString& text) = 0;
    // A plain message with OK ("Cannot delete root node").
    virtual void showMessage(const QString& text) = 0;
    // Yes/No/Cancel with a warning icon under `caption`.
    virtual Answer ask(const QString& text, const QString& caption) = 0;
    // Yes/No with a warning icon under the application title, No the default
    // (and Escape's answer): true for Yes.
    virtual bool confirm(const QString& text) = 0;
    virtual std::optional<QString> chooseOpenPath() = 0;
    virtual std::optional<QString> chooseSavePath(const QString& preset) = 0;
    // Open (the default), Discard or Later, for changes recovered after a crash.
    virtual RecoveryAnswer askRecovery(const QString& text) = 0;
};

// The error box's text: a full stop is added unless the text already ends in
// "." or in a character that sorts before it (a blank, "!", ",", a quote).
QString errorBoxText(const QString& message);

} // namespace app
