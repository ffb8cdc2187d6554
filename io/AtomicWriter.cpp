#include "io/AtomicWriter.h"

#include <cerrno>
#include <climits>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {
namespace {

constexpr int kMaxLinkHops = 40; // the kernel's own limit (ELOOP)
constexpr std::size_t kMaxNameBytes = 255;

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a symlink chain ends at, named as the link says (relative to the
// link's folder), whether or not it exists. A chain that never ends replaces
// the first link itself, as QSaveFile did.
std::string resolvedTarget(const std::string& path)
{
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size())
            return current;
        link.resize(static_cast<std::size_t>(n));
        current = link.front() == '/' ? link : folderOf(current) + '/' + link;
    }
    return path;
}

// ".NAME." cut so that the six random letters still fit in a name.
std::string temporaryStem(const std::string& target)
{
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string name = target.substr(slash == std::string::npos ? 0 : slash + 1);
    name = '.' + name.substr(0, kMaxNameBytes - 8) + '.';
    return folder + name;
}

// Created with O_EXCL and 0666 rather than by mkstemp's 0600: the kernel then
// applies the umask and the folder's default ACL itself, and nothing has to
// read the process-wide umask (umask() can only be read by changing it).
int createTemporary(const std::string& stem, std::string& name)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem;
        for (int i = 0; i < 6; ++i)
            name += kLetters[pick(random)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void syncFolder(const std::string& folder)
{
    // The rename is done; a folder that cannot be synced (some filesystems
    // refuse) does not undo it, so this is best effort.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

struct SaveFileWriter::Impl {
    int fd = -1;
    std::string target;
    std::string temporary;

    void discard()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (!temporary.empty())
            ::unlink(temporary.c_str());
        temporary.clear();
    }
};

SaveFileWriter::SaveFileWriter() : m_impl(std::make_unique<Impl>()) {}

SaveFileWriter::~SaveFileWriter()
{
    m_impl->discard(); // never committed: the target stays as it was
}

bool SaveFileWriter::open(const std::string& path)
{
    m_impl->discard();
    if (path.empty())
        return false;
    m_impl->target = resolvedTarget(path);
    struct stat existing {};
    const bool exists = ::stat(m_impl->target.c_str(), &existing) == 0;
    if (exists && (S_ISDIR(existing.st_mode) || ::access(m_impl->target.c_str(), W_OK) != 0))
        return false;
    m_impl->fd = createTemporary(temporaryStem(m_impl->target), m_impl->temporary);
    if (m_impl->fd < 0) {
        m_impl->temporary.clear(); // nothing was created
        return false;
    }
    // The permission bits only: the set-id bits would not survive a write into the old file either.
    if (exists && ::fchmod(m_impl->fd, existing.st_mode & 0777) != 0) {
        m_impl->discard();
        return false;
    }
    return true;
}

std::int64_t SaveFileWriter::write(const char* data, std::int64_t size)
{
    if (m_impl->fd < 0)
        return -1;
    ssize_t n;
    do
        n = ::write(m_impl->fd, data, static_cast<std::size_t>(size));
    while (n < 0 && errno == EINTR);
    return n;
}

bool SaveFileWriter::commit()
{
    if (m_impl->fd < 0)
        return false;
    // A file system may report a failed write only at the sync or the close.
    const bool synced = ::fdatasync(m_impl->fd) == 0;
    const bool closed = ::close(m_impl->fd) == 0;
    m_impl->fd = -1;
    if (!synced || !closed || ::rename(m_impl->temporary.c_str(), m_impl->target.c_str()) != 0) {
        m_impl->discard();
        return false;
    }
    m_impl->temporary.clear();
    syncFolder(folderOf(m_impl->target));
    return true;
}

void SaveFileWriter::cancelWriting()
{
    m_impl->discard();
}

bool writeWhole(AtomicWriter& writer, std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::int64_t n = writer.write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        if (n <= 0 || static_cast<std::uint64_t>(n) > bytes.size())
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

WriteOutcome writeAtomically(AtomicWriter& writer, const std::string& path, std::string_view bytes)
{
    if (!writer.open(path))
        return WriteOutcome::CannotCreate;
    if (!writeWhole(writer, bytes)) {
        writer.cancelWriting();
        return WriteOutcome::WriteFailed;
    }
    return writer.commit() ? WriteOutcome::Written : WriteOutcome::WriteFailed;
}

} // namespace io
