#include "io/InputFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <unistd.h>

namespace io {

struct InputFile::Impl {
    QFile file;
};

InputFile::InputFile() : m_impl(std::make_unique<Impl>()) {}
InputFile::~InputFile() = default;

bool InputFile::open(const std::string& path)
{
    const QString name = QString::fromStdString(path);
    if (QFileInfo(name).isDir())
        return false;
    m_impl->file.setFileName(name);
    return m_impl->file.open(QIODevice::ReadOnly);
}

std::uint64_t InputFile::size() const
{
    return static_cast<std::uint64_t>(std::max<qint64>(m_impl->file.size(), 0));
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
    const int fd = m_impl->file.handle();
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
    if (!readAt(0, static_cast<std::size_t>(size()), out) || !m_impl->file.seek(static_cast<qint64>(out.size())))
        return false;
    char more[65536];
    for (;;) {
        const qint64 n = m_impl->file.read(more, sizeof more);
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
