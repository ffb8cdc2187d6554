#include "app/Workspace.h"

#include "app/QtPrompter.h"
#include "app/StepRecorder.h"
#include "app/UndoHistory.h"
#include "io/DesignFile.h"

#include <filesystem>

namespace app {

namespace {

constexpr const char* kSettingsName = "Formats.ini";

std::string startupDirOr(const std::string& dir)
{
    if (!dir.empty())
        return dir;
    std::error_code error; // the folder as bytes: QDir::currentPath() would alter a name that is not UTF-8
    const std::string current = std::filesystem::current_path(error).string();
    return error ? std::string(".") : current;
}

} // namespace

Workspace::Workspace(const std::string& startupDir)
    : m_startupDir(startupDirOr(startupDir)), m_settings(m_startupDir + "/" + kSettingsName),
      m_prompter(std::make_shared<QtPrompter>(nullptr)) // the window puts its own in place
{
    m_design.setBeforeChange([this] { m_readers.beforeChange(); });
    m_history = std::make_unique<UndoHistory>(m_design);
    m_steps = std::make_unique<StepRecorder>(
        m_design, *m_history, [this] { return m_selection.selectedRow ? m_selection.selectedRow() : -1; },
        [this] {
            if (m_selection.finishEditing)
                m_selection.finishEditing();
        },
        [this](int row) {
            if (m_selection.showRow)
                m_selection.showRow(row);
        });
    m_files = std::make_unique<FileCommands>(
        m_design, m_readers, *m_prompter,
        FileCommands::Hooks{[this] { designOpened(); }, [this] { designSaved(); },
                            [this](const QString& text) { showStatus(text); }});
}

Workspace::~Workspace()
{
    m_files.reset();
    m_steps.reset();
    m_history.reset(); // its steps give what they hold back to the design
    m_design.setBeforeChange({}); // the gate goes first
}

void Workspace::setPrompter(std::shared_ptr<Prompter> prompter)
{
    m_prompter = std::move(prompter);
    m_files->setPrompter(*m_prompter);
}

void Workspace::takeLoadedLook()
{
    m_design.look().takeLoadedLook();
    m_design.setModified(false);
}

std::string Workspace::encodedForRecovery(const std::atomic<bool>* stop) const
{
    // What a save would write (the design's current header stays), and the
    // blocks kept from the file, which the save would still ask about.
    return io::encodeDesignFile(m_design, io::KeptBlocksToo::Yes, stop);
}

bool Workspace::run(const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        m_prompter->showError(QString::fromLocal8Bit(e.what()));
        return false;
    }
}

void Workspace::runStep(const char* name, const std::function<void()>& command)
{
    run([&] { m_steps->run(name, command); });
}

void Workspace::designOpened()
{
    // The design took the file's titles and look itself (io::openInto).
    m_history->clear();
    emit opened();
}

void Workspace::designSaved()
{
    m_history->markSaved();
    emit saved();
}

} // namespace app
