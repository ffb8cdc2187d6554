#include "app/FileCommands.h"

#include "io/DesignFile.h"

#include <QFile>

namespace app {

FileCommands::FileCommands(model::Design& design, model::HeaderRecord& loadedHeader,
                           model::HeaderRecord& currentHeader, Prompter& prompter, Hooks hooks)
    : m_design(design), m_loadedHeader(loadedHeader), m_currentHeader(currentHeader), m_prompter(&prompter),
      m_hooks(std::move(hooks))
{
}

std::string FileCommands::backupPathFor(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + kBackupPrefix + path.substr(nameStart);
}

// --- opening ------------------------------------------------------------------

bool FileCommands::saveChangesFirst(const char* question)
{
    if (!m_design.modified())
        return true;
    switch (m_prompter->ask(QString::fromLatin1(question), QString::fromLatin1(kSaveChangesCaption))) {
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
    if (!saveChangesFirst(kSaveBeforeOpening))
        return false;
    const auto path = m_prompter->chooseOpenPath();
    if (!path)
        return false;
    read(QFile::encodeName(*path).toStdString());
    return true;
}

bool FileCommands::openPath(const std::string& path)
{
    if (!saveChangesFirst(kSaveBeforeOpening))
        return false;
    read(path);
    return true;
}

void FileCommands::read(const std::string& path)
{
    // Everything is read and checked first; only then is anything replaced.
    io::DesignFileContents contents = io::readDesignFile(path);
    m_loadedHeader = contents.header;
    for (model::TreeId id : model::kAllTrees)
        m_design.setTitle(id, contents.titles[static_cast<std::size_t>(model::index(id))]);
    // The reader refuses a file whose trees differ in shape as it reads them.
    m_design.replaceTrees(std::move(contents.trees));
    m_filePath = path;
    m_design.setModified(false); // what is on screen is what is on disk
    m_hooks.designOpened(m_loadedHeader);
}

// --- saving -------------------------------------------------------------------

bool FileCommands::save()
{
    if (m_filePath.empty())
        return saveAs();
    write(m_filePath);
    return true;
}

bool FileCommands::saveAs()
{
    const auto path = m_prompter->chooseSavePath(QFile::decodeName(m_filePath.c_str()));
    if (!path)
        return false;
    m_filePath = QFile::encodeName(*path).toStdString();
    write(m_filePath);
    return true;
}

void FileCommands::write(const std::string& path)
{
    io::writeDesignFile(path, m_design, m_currentHeader, m_hooks.levelFonts());
    m_design.setModified(false);
    m_hooks.designSaved();
}

// --- backup and closing ----------------------------------------------------------

void FileCommands::backup()
{
    // A cancelled save dialog does not stop the backup; a failed save does (it throws).
    if (m_design.modified())
        save();
    if (!m_filePath.empty()) {
        const QString source = QFile::decodeName(m_filePath.c_str());
        const QString target = QFile::decodeName(backupPathFor(m_filePath).c_str());
        if (QFile::exists(source)) {
            QFile::remove(target); // a copy never replaces an existing file by itself
            QFile::copy(source, target);
        }
    }
    m_design.setBackedUp(true);
}

bool FileCommands::mayClose()
{
    return saveChangesFirst(kSaveBeforeClosing);
}

} // namespace app
