#include "export/ZipWriter.h"

#include "io/BlockChain.h"
#include "io/ByteOrder.h"
#include "model/UserError.h"

#include <zlib.h>

#include <limits>

namespace exporting {
namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint16_t kVersionNeeded = 20; // deflate
constexpr std::uint16_t kVersionMadeBy = 20; // MS-DOS attributes, none set
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kSizesInDescriptor = 0x0008;
constexpr std::uint16_t kDosTime = 0;                        // 00:00:00
constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 1; // 1980-01-01
constexpr int kCompressionLevel = 6;
constexpr int kRawDeflateWindowBits = -15;
constexpr int kMemoryLevel = 8;
constexpr std::size_t kOutputPiece = 64 * 1024;
constexpr std::uint64_t kMost32 = std::numeric_limits<std::uint32_t>::max();
constexpr const char* kTooLarge = "The document is too large for an OpenDocument file";

std::uint32_t fits32(std::uint64_t value)
{
    if (value >= kMost32)
        throw model::UserError(kTooLarge);
    return static_cast<std::uint32_t>(value);
}

} // namespace

struct ZipWriter::Deflater {
    z_stream stream{};
    std::string output = std::string(kOutputPiece, '\0');
    Entry entry;

    Deflater()
    {
        if (deflateInit2(&stream, kCompressionLevel, Z_DEFLATED, kRawDeflateWindowBits, kMemoryLevel,
                         Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::bad_alloc();
    }
    ~Deflater() { deflateEnd(&stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
};

ZipWriter::ZipWriter(ByteSink& out) : m_out(out) {}
ZipWriter::~ZipWriter() = default;

void ZipWriter::put(std::string_view bytes)
{
    m_out.write(bytes);
    m_offset += bytes.size();
}

void ZipWriter::localHeader(const Entry& entry)
{
    const bool later = entry.flags & kSizesInDescriptor;
    std::string h;
    io::appendU32(h, kLocalHeaderSignature);
    io::appendU16(h, kVersionNeeded);
    io::appendU16(h, entry.flags);
    io::appendU16(h, entry.method);
    io::appendU16(h, kDosTime);
    io::appendU16(h, kDosDate);
    io::appendU32(h, later ? 0 : entry.crc);
    io::appendU32(h, later ? 0 : fits32(entry.compressedSize));
    io::appendU32(h, later ? 0 : fits32(entry.size));
    io::appendU16(h, static_cast<std::uint16_t>(entry.name.size()));
    io::appendU16(h, 0); // no extra field
    h += entry.name;
    put(h);
}

void ZipWriter::addStored(std::string_view name, std::string_view bytes)
{
    Entry entry{std::string(name), 0, kStored, io::crc32Of(bytes), bytes.size(), bytes.size(), m_offset};
    fits32(entry.offset);
    localHeader(entry);
    put(bytes);
    m_entries.push_back(std::move(entry));
}

void ZipWriter::beginDeflated(std::string_view name)
{
    m_deflater = std::make_unique<Deflater>();
    m_deflater->entry = {std::string(name), kSizesInDescriptor, kDeflated, 0, 0, 0, m_offset};
    fits32(m_offset);
    localHeader(m_deflater->entry);
}

// Runs deflate over what it was given and emits every full piece it made.
void ZipWriter::drain(int flush)
{
    z_stream& z = m_deflater->stream;
    std::string& output = m_deflater->output;
    int result = Z_OK;
    do {
        z.next_out = reinterpret_cast<Bytef*>(output.data());
        z.avail_out = static_cast<uInt>(output.size());
        result = deflate(&z, flush);
        const std::size_t made = output.size() - z.avail_out;
        m_deflater->entry.compressedSize += made;
        put(std::string_view(output.data(), made));
    } while (z.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
}

void ZipWriter::write(std::string_view bytes)
{
    Entry& entry = m_deflater->entry;
    entry.crc = io::crc32Of(bytes, entry.crc);
    entry.size += bytes.size();
    z_stream& z = m_deflater->stream;
    while (!bytes.empty()) {
        const auto n = static_cast<uInt>(std::min<std::size_t>(bytes.size(), std::size_t{1} << 30));
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        z.avail_in = n;
        drain(Z_NO_FLUSH);
        bytes.remove_prefix(n);
    }
}

void ZipWriter::endDeflated()
{
    drain(Z_FINISH);
    const Entry& entry = m_deflater->entry;
    std::string d;
    io::appendU32(d, kDescriptorSignature);
    io::appendU32(d, entry.crc);
    io::appendU32(d, fits32(entry.compressedSize));
    io::appendU32(d, fits32(entry.size));
    put(d);
    m_entries.push_back(entry);
    m_deflater.reset();
}

void ZipWriter::finish()
{
    const std::uint64_t start = m_offset;
    std::string dir;
    for (const Entry& e : m_entries) {
        io::appendU32(dir, kCentralHeaderSignature);
        io::appendU16(dir, kVersionMadeBy);
        io::appendU16(dir, kVersionNeeded);
        io::appendU16(dir, e.flags);
        io::appendU16(dir, e.method);
        io::appendU16(dir, kDosTime);
        io::appendU16(dir, kDosDate);
        io::appendU32(dir, e.crc);
        io::appendU32(dir, fits32(e.compressedSize));
        io::appendU32(dir, fits32(e.size));
        io::appendU16(dir, static_cast<std::uint16_t>(e.name.size()));
        io::appendU16(dir, 0); // extra field
        io::appendU16(dir, 0); // comment
        io::appendU16(dir, 0); // disk
        io::appendU16(dir, 0); // internal attributes
        io::appendU32(dir, 0); // external attributes
        io::appendU32(dir, fits32(e.offset));
        dir += e.name;
    }
    const std::uint64_t size = dir.size();
    io::appendU32(dir, kEndSignature);
    io::appendU16(dir, 0); // this disk
    io::appendU16(dir, 0); // the directory's disk
    io::appendU16(dir, static_cast<std::uint16_t>(m_entries.size()));
    io::appendU16(dir, static_cast<std::uint16_t>(m_entries.size()));
    io::appendU32(dir, fits32(size));
    io::appendU32(dir, fits32(start));
    io::appendU16(dir, 0); // comment
    put(dir);
}

} // namespace exporting
