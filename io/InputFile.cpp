#include "io/InputFile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {

constexpr std::size_t kReadChunk = 65536;

} // namespace

struct InputFile::Impl {
    int fd = -1;

    ~Impl()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

InputFile::InputFile() : m_impl(std::make_unique<Impl>()) {}
InputFile::~InputFile() = default;

// Opening a FIFO without a writer would wait for one for ever, and a device
// may never end: only regular files are read. The open itself must not block,
// so it is done without blocking and the flag is cleared once the kind is known.
bool InputFile::open(const std::string& path)
{
    if (m_impl->fd >= 0) {
        ::close(m_impl->fd);
        m_impl->fd = -1;
    }
    int fd;
    do
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    struct stat st {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    m_impl->fd = fd;
    return true;
}

std::uint64_t InputFile::size() const
{
    struct stat st {};
    if (m_impl->fd < 0 || ::fstat(m_impl->fd, &st) != 0)
        return 0;
    return static_cast<std::uint64_t>(std::max<off_t>(st.st_size, 0));
}

bool InputFile::readAt(std::uint64_t offset, std::size_t length, std::string& out)
{
    out.resize(length);
    return readInto(offset, out.data(), length);
}

// pread keeps no file position, so the sections of one file can be read on
// several threads at once.
bool InputFile::readInto(std::uint64_t offset, char* out, std::size_t length)
{
    const int fd = m_impl->fd;
    if (fd < 0)
        return false;
    std::size_t filled = 0;
    while (filled < length) {
        const ssize_t n = ::pread(fd, out + filled, length - filled, static_cast<off_t>(offset + filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        filled += static_cast<std::size_t>(n);
    }
    return true;
}

bool InputFile::readAll(std::string& out)
{
    // The size is only a hint: a file may grow meanwhile, or report 0 (/proc).
    if (!readAt(0, static_cast<std::size_t>(size()), out))
        return false;
    char more[kReadChunk];
    for (;;) {
        const ssize_t n = ::pread(m_impl->fd, more, sizeof more, static_cast<off_t>(out.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(more, static_cast<std::size_t>(n));
    }
}

ReadOutcome readFileBytes(const std::string& path, std::string& out)
{
    InputFile file;
    if (!file.open(path))
        return ReadOutcome::CannotOpen;
    return file.readAll(out) ? ReadOutcome::Read : ReadOutcome::ReadFailed;
}

} // namespace io
