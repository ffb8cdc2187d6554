#pragma once
// The file commands: open (dialog, drop, command line), save, save as, backup
// and the question before a design is closed or replaced. They own the
// current file path; reading is all or nothing and saving is atomic, so a
// failure never costs the design on screen or the file on disk. A save
// encodes and writes on a thread of its own, let in by the reader gate,
// while the window keeps painting; the call returns when the file is written.

#include "app/Prompter.h"
#include "app/ReaderGate.h"
#include "model/Design.h"

#include <QString>

#include <functional>
#include <string>

namespace app {

inline constexpr const char* kSaveChangesCaption = "Save Changes?";
inline constexpr const char* kSaveBeforeClosing = "Save changes to %1 before closing?";
inline constexpr const char* kUntitled = "Untitled";
inline constexpr const char* kSaveBeforeOpening = "Save changes before opening another design?";
inline constexpr const char* kBackupPrefix = "BackedUp_";

class FileCommands {
public:
    // What the window lends the commands: what to do once a design was
    // read (the undo history, views) or saved, and the status bar.
    struct Hooks {
        std::function<void()> designOpened;
        std::function<void()> designSaved;
        std::function<void(const QString&)> showStatus;
    };

    FileCommands(model::Design& design, ReaderGate& readers, Prompter& prompter, Hooks hooks);

    const std::string& filePath() const { return m_filePath; }
    // The file's name as the user knows it: "pump.vok", or "Untitled" for a
    // design never saved.
    QString displayName() const;
    void setPrompter(Prompter& prompter) { m_prompter = &prompter; }

    // Each returns false when the user cancelled; errors are thrown.
    bool openWithDialog();
    bool openPath(const std::string& path);   // drop and command line
    // A recovery copy of `originalPath` ("" when never saved): shown as that
    // design with unsaved changes, so that Save writes where the user expects.
    bool openRecovered(const std::string& copyPath, const std::string& originalPath);
    // A design that kept blocks of its file it did not take in asks first
    // whether to save without them (No writes nothing); once saved, it lets
    // go of them.
    bool save();
    bool saveAs();
    void backup();
    // The close query: true when the window may close.
    bool mayClose();
    // A save is being written: the window stays, and nothing else is opened,
    // until it is done (false is answered meanwhile).
    bool saving() const { return m_saving; }

    // "BackedUp_" in front of the file name, in the same folder.
    static std::string backupPathFor(const std::string& path);

private:
    bool saveChangesFirst(const QString& question); // false: the user cancelled
    void read(const std::string& path);
    bool mayLeaveOutKeptBlocks(); // false: the user said No
    void write(const std::string& path);
    void copyToBackup(const std::string& path);

    model::Design& m_design;
    ReaderGate& m_readers;
    Prompter* m_prompter;
    Hooks m_hooks;
    std::string m_filePath;
    bool m_saving = false;
};

} // namespace app
