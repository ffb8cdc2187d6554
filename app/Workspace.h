#pragma once
// One open design and everything that belongs to it rather than to a window:
// the design, its undo history, the one step runner and the file it came
// from. Every command
// runs through here: run() is the command boundary (an error ends the
// command and reaches the user through the Prompter), runStep() makes a
// command one named step of the undo history.

#include "app/FileCommands.h"
#include "app/Prompter.h"
#include "app/ReaderGate.h"
#include "io/SettingsFile.h"
#include "model/Design.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace app {

class StepRecorder;
class UndoHistory;

class Workspace : public QObject {
    Q_OBJECT
public:
    // What a step needs from the trees on screen: the selected row, the
    // editors to confirm before a step, and showing a row in all columns.
    struct Selection {
        std::function<int()> selectedRow;
        std::function<void()> finishEditing;
        std::function<void(int row)> showRow;
    };

    // `startupDir` ("" for the current folder) is where the settings file and
    // "Output.rtf" live for the whole run.
    explicit Workspace(const std::string& startupDir = {});
    ~Workspace() override;

    model::Design& design() { return m_design; }
    const model::Design& design() const { return m_design; }
    UndoHistory& history() { return *m_history; }
    StepRecorder& steps() { return *m_steps; }
    FileCommands& files() { return *m_files; }
    const FileCommands& files() const { return *m_files; }
    Prompter& prompter() { return *m_prompter; }
    void setPrompter(std::shared_ptr<Prompter> prompter);
    const std::string& startupDir() const { return m_startupDir; }
    io::SettingsFile& settings() { return m_settings; }
    void setSelection(Selection selection) { m_selection = std::move(selection); }

    // The window's first show: whatever the loaded header holds becomes what
    // the trees are drawn with (DesignLook::takeLoadedLook), and the design
    // counts as unchanged.
    void takeLoadedLook();
    // Lets other threads read the design (the recovery copy, a save).
    ReaderGate& readers() { return m_readers; }
    // The design as a save would write it, with the blocks kept from its file;
    // on a thread let in by readers(), stopping (io::EncodeStopped) once `stop` is set.
    std::string encodedForRecovery(const std::atomic<bool>* stop) const;

    // The command boundary: false when the command failed (the user was told).
    bool run(const std::function<void()>& command);
    // A command that is one step of the undo history, named as the user knows it.
    void runStep(const char* name, const std::function<void()>& command);
    // The status bar's message.
    void showStatus(const QString& text) { emit statusShown(text); }

signals:
    void statusShown(const QString& text);
    void opened();  // another design is on screen
    void saved();   // the design on screen is what is on disk

private:
    void designOpened();
    void designSaved();

    model::Design m_design;
    ReaderGate m_readers{m_design}; // before anything that reads the design on another thread
    std::unique_ptr<UndoHistory> m_history; // before anything that adds steps to it
    std::unique_ptr<StepRecorder> m_steps;
    Selection m_selection;
    std::string m_startupDir;
    io::SettingsFile m_settings;
    std::shared_ptr<Prompter> m_prompter;
    std::unique_ptr<FileCommands> m_files;
};

} // namespace app
