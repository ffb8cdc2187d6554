#include "io/AtomicWriter.h"

#include <QFileInfo>
#include <QSaveFile>

namespace io {

struct SaveFileWriter::Impl {
    std::unique_ptr<QSaveFile> file;
};

SaveFileWriter::SaveFileWriter() : m_impl(std::make_unique<Impl>()) {}
SaveFileWriter::~SaveFileWriter() = default;

bool SaveFileWriter::open(const std::string& path)
{
    const QString name = QString::fromStdString(path);
    if (name.isEmpty() || QFileInfo(name).isDir())
        return false;
    m_impl->file = std::make_unique<QSaveFile>(name);
    return m_impl->file->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

std::int64_t SaveFileWriter::write(const char* data, std::int64_t size)
{
    return m_impl->file->write(data, size);
}

bool SaveFileWriter::commit()
{
    return m_impl->file->commit();
}

void SaveFileWriter::cancelWriting()
{
    m_impl->file->cancelWriting();
    m_impl->file->commit(); // with writing cancelled this only removes the temporary file
}

WriteOutcome writeAtomically(AtomicWriter& writer, const std::string& path, std::string_view bytes)
{
    if (!writer.open(path))
        return WriteOutcome::CannotCreate;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const std::int64_t n = writer.write(p, static_cast<std::int64_t>(left));
        if (n <= 0 || static_cast<std::uint64_t>(n) > left) {
            writer.cancelWriting();
            return WriteOutcome::WriteFailed;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return writer.commit() ? WriteOutcome::Written : WriteOutcome::WriteFailed;
}

} // namespace io
