#include "app/FileCommands.h"

#include "app/BesideTheWindow.h"
#include "app/PathBytes.h"

#include "io/DesignFile.h"
#include "io/InputFile.h"
#include "model/UserError.h"

#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <algorithm>
#include <exception>

namespace app {

namespace {

constexpr const char* kLeaveOutQuestion = "%1 holds data %2 (%3); saving will leave it out. Save anyway?";
constexpr const char* kSavedWithout = "Saved %1 without the data %2";

QString fileNameOf(const std::string& path)
{
    return path.empty() ? QString::fromLatin1(kUntitled) : QFileInfo(QFile::decodeName(path.c_str())).fileName();
}

// Which data the kept blocks hold: "that could not be read", "this version
// does not know", or both.
QString keptData(const model::KeptBlocks& kept)
{
    const auto any = [&](model::KeptBlock::Why why) {
        return std::any_of(kept.begin(), kept.end(), [&](const model::KeptBlock& k) { return k.why == why; });
    };
    const bool unreadable = any(model::KeptBlock::Why::Unreadable);
    const bool unknown = any(model::KeptBlock::Why::Unknown);
    if (unreadable && unknown)
        return QStringLiteral("that could not be read or that this version does not know");
    return unreadable ? QStringLiteral("that could not be read") : QStringLiteral("this version does not know");
}

// Each kept block's name once, in file order: "the design matrices, block ABCD".
QString keptNames(const model::KeptBlocks& kept)
{
    QStringList names;
    for (const model::KeptBlock& k : kept) {
        const QString name = QString::fromLatin1(k.name.c_str());
        if (!names.contains(name))
            names.push_back(name);
    }
    return names.join(QStringLiteral(", "));
}

} // namespace

FileCommands::FileCommands(model::Design& design, ReaderGate& readers, Prompter& prompter, Hooks hooks)
    : m_design(design), m_readers(readers), m_prompter(&prompter), m_hooks(std::move(hooks))
{
}

std::string FileCommands::backupPathFor(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + kBackupPrefix + path.substr(nameStart);
}

// --- opening ------------------------------------------------------------------

QString FileCommands::displayName() const
{
    return fileNameOf(m_filePath);
}

bool FileCommands::saveChangesFirst(const QString& question)
{
    if (m_saving)
        return false; // a save is being written: whatever would follow it waits for the user to ask again
    if (!m_design.modified())
        return true;
    switch (m_prompter->ask(question, QString::fromLatin1(kSaveChangesCaption))) {
    case Prompter::Answer::Yes:
        return save();
    case Prompter::Answer::No:
        return true;
    case Prompter::Answer::Cancel:
        break;
    }
    return false;
}

bool FileCommands::openWithDialog()
{
    if (!saveChangesFirst(QString::fromLatin1(kSaveBeforeOpening)))
        return false;
    const auto path = m_prompter->chooseOpenPath();
    if (!path)
        return false;
    read(QFile::encodeName(*path).toStdString());
    return true;
}

bool FileCommands::openPath(const std::string& path)
{
    if (!saveChangesFirst(QString::fromLatin1(kSaveBeforeOpening)))
        return false;
    read(path);
    return true;
}

bool FileCommands::openRecovered(const std::string& copyPath, const std::string& originalPath)
{
    if (!saveChangesFirst(QString::fromLatin1(kSaveBeforeOpening)))
        return false;
    read(copyPath);
    m_filePath = originalPath;
    m_design.setModified(true);
    return true;
}

void FileCommands::read(const std::string& path)
{
    // Everything is read and checked first; only then is anything replaced.
    io::DesignFileContents contents = io::readDesignFile(path);
    const std::vector<std::string> leftOut = io::leftOutMessages(contents.kept, path);
    io::openInto(m_design, std::move(contents));
    m_filePath = path;
    m_design.setModified(false); // what is on screen is what is on disk
    m_hooks.designOpened();
    // The design is open and shown; only what those blocks held was left out.
    for (const std::string& message : leftOut)
        m_prompter->showError(QString::fromLocal8Bit(message.c_str()));
}

// --- saving -------------------------------------------------------------------

bool FileCommands::save()
{
    if (m_saving)
        return false;
    if (m_filePath.empty())
        return saveAs();
    if (!mayLeaveOutKeptBlocks())
        return false;
    write(m_filePath);
    return true;
}

bool FileCommands::saveAs()
{
    if (m_saving)
        return false;
    if (!mayLeaveOutKeptBlocks())
        return false;
    const auto path = m_prompter->chooseSavePath(QFile::decodeName(m_filePath.c_str()));
    if (!path)
        return false;
    m_filePath = chosenPath(*path, m_filePath);
    write(m_filePath);
    return true;
}

// While the design keeps blocks, the file path is the file they came from:
// the first save lets go of them.
bool FileCommands::mayLeaveOutKeptBlocks()
{
    const model::KeptBlocks& kept = m_design.keptBlocks();
    if (kept.empty())
        return true;
    return m_prompter->confirm(
        QString::fromLatin1(kLeaveOutQuestion).arg(fileNameOf(m_filePath), keptData(kept), keptNames(kept)));
}

void FileCommands::write(const std::string& path)
{
    model::HeaderRecord header = m_design.look().currentHeader();
    bool encoded = false;
    const std::uint64_t changesBefore = m_readers.changesBegun();
    std::exception_ptr failure;
    {
        const std::shared_ptr<ReaderGate::Pass> pass = m_readers.open(ReaderGate::Reader::Finishes);
        const QScopedValueRollback<bool> saving(m_saving, true);
        failure = runBesideTheWindow(*pass, [&] {
            const std::string bytes = io::encodeForSave(m_design, header);
            encoded = true;
            pass->end(); // the bytes are all the write needs
            io::SaveFileWriter writer;
            io::writeEncoded(path, bytes, writer);
        }, WhileWaiting::KeepUserOut);
    }
    // Only the file holds the design as it was: a step that ran meanwhile
    // (a timer's, never the user's) leaves it modified.
    const bool changedMeanwhile = m_readers.changesBegun() != changesBefore;
    if (encoded)
        m_design.look().saved(header); // a failed write has filled the current header all the same
    if (failure)
        std::rethrow_exception(failure);
    if (changedMeanwhile)
        return;
    m_design.setModified(false);
    m_hooks.designSaved();
    if (m_design.keptBlocks().empty())
        return;
    // The design's file holds them no more: nothing is left to ask about.
    const QString data = keptData(m_design.keptBlocks());
    m_design.replaceKeptBlocks({});
    m_hooks.showStatus(QString::fromLatin1(kSavedWithout).arg(fileNameOf(path), data));
}

// --- backup and closing ----------------------------------------------------------

void FileCommands::backup()
{
    // A cancelled save dialog does not stop the backup; a failed save does (it throws).
    if (m_design.modified())
        save();
    if (!m_filePath.empty())
        copyToBackup(m_filePath);
    m_design.setBackedUp(true);
}

void FileCommands::copyToBackup(const std::string& path)
{
    // Written beside the old backup and renamed over it only when complete:
    // a copy that fails part-way keeps the old backup and is reported.
    std::string bytes;
    if (io::readFileBytes(path, bytes) != io::ReadOutcome::Read)
        throw model::UserError("Cannot open file " + path);
    const std::string target = backupPathFor(path);
    io::SaveFileWriter writer;
    if (io::writeAtomically(writer, target, bytes) != io::WriteOutcome::Written)
        throw model::UserError("Cannot create file " + target);
}

bool FileCommands::mayClose()
{
    return saveChangesFirst(QString::fromLatin1(kSaveBeforeClosing).arg(displayName()));
}

} // namespace app
