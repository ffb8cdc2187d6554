#include "export/AtomicFileWriter.h"

#include <cstdio>

#include "model/UserError.h"

namespace exporting {
namespace {

constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

std::string cannotCreate(const std::string& path)
{
    return "Cannot create file " + path;
}

// Gathers small writes into pieces of a megabyte for the file, each written whole.
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
        if (!io::writeWhole(m_file, bytes))
            throw model::UserError(m_failure);
    }

    io::AtomicWriter& m_file;
    std::string m_failure;
    std::string m_piece;
};

} // namespace

AtomicFileWriter::AtomicFileWriter() : m_opener([] { return std::make_unique<io::SaveFileWriter>(); }) {}

void writeToStandardOutput(std::string_view bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
        throw model::UserError("Stream write error");
}

std::string readStandardInput()
{
    std::string bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        bytes.append(buffer, n);
    if (std::ferror(stdin))
        throw model::UserError("Stream read error");
    return bytes;
}

void AtomicFileWriter::writeFile(const std::string& path, std::string_view bytes)
{
    if (path == kStandardStream) {
        writeToStandardOutput(bytes);
        return;
    }
    const std::unique_ptr<io::AtomicWriter> file = m_opener();
    if (io::writeAtomically(*file, path, bytes) != io::WriteOutcome::Written)
        throw model::UserError(cannotCreate(path));
}

void AtomicFileWriter::writeStream(const std::string& path, const DocumentProducer& produce)
{
    if (path == kStandardStream) { // in one piece, so a failed export writes nothing
        FileWriter::writeStream(path, produce);
        return;
    }
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
