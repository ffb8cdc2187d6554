#include "export/AtomicFileWriter.h"

#include "model/UserError.h"

namespace exporting {
namespace {

constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

// Gathers small writes into pieces of a megabyte for the file. Every piece
// is written whole, over as many writes as it takes: a full disk shows as a
// write that makes no progress, and commit() would not tell.
std::string cannotCreate(const std::string& path)
{
    return "Cannot create file " + path;
}

class PieceSink final : public ByteSink {
public:
    PieceSink(io::AtomicWriter& file, std::string failure) : m_file(file), m_failure(std::move(failure))
    {
        m_piece.reserve(kPieceBytes);
    }

    void write(std::string_view bytes) override
    {
        if (m_piece.size() + bytes.size() > kPieceBytes)
            flush();
        if (bytes.size() >= kPieceBytes)
            writeAll(bytes);
        else
            m_piece.append(bytes);
    }
    void flush()
    {
        writeAll(m_piece);
        m_piece.clear();
    }

private:
    void writeAll(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const std::int64_t n = m_file.write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
            if (n <= 0 || static_cast<std::uint64_t>(n) > bytes.size())
                throw model::UserError(m_failure);
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    io::AtomicWriter& m_file;
    std::string m_failure;
    std::string m_piece;
};

} // namespace

AtomicFileWriter::AtomicFileWriter() : m_opener([] { return std::make_unique<io::SaveFileWriter>(); }) {}

void AtomicFileWriter::writeFile(const std::string& path, std::string_view bytes)
{
    const std::unique_ptr<io::AtomicWriter> file = m_opener();
    if (io::writeAtomically(*file, path, bytes) != io::WriteOutcome::Written)
        throw model::UserError(cannotCreate(path));
}

void AtomicFileWriter::writeStream(const std::string& path, const DocumentProducer& produce)
{
    const std::unique_ptr<io::AtomicWriter> file = m_opener();
    if (!file->open(path))
        throw model::UserError(cannotCreate(path));
    try {
        PieceSink sink(*file, cannotCreate(path));
        produce(sink);
        sink.flush();
    } catch (...) { // a failed write, a stop: the old file stays
        file->cancelWriting();
        throw;
    }
    if (!file->commit())
        throw model::UserError(cannotCreate(path));
}

} // namespace exporting
