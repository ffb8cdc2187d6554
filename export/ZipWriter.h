#pragma once
// A zip archive written as a stream, for the OpenDocument package: entries
// one after another into a sink, each stored or compressed with raw deflate
// as its bytes come, then the central directory. Nothing of an entry is held
// but zlib's window.
//
// A compressed entry's CRC and sizes are not known when its local header is
// written: the header says so (flag bit 3) and a data descriptor follows the
// data; the central directory has them all. Stored entries (the package's
// mimetype) carry them in the local header and have no descriptor and no
// extra field. Every timestamp is 1980-01-01 00:00 and no field depends on
// the machine, so that the same entries make the same bytes.
//
// No Zip64: an entry or an archive past 4 GiB throws model::UserError.

#include "export/ByteSink.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

class ZipWriter {
public:
    explicit ZipWriter(ByteSink& out);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    void addStored(std::string_view name, std::string_view bytes);
    // A compressed entry: begin, write its bytes in any pieces, end.
    void beginDeflated(std::string_view name);
    void write(std::string_view bytes);
    void endDeflated();
    // The central directory; the archive is complete after it.
    void finish();

private:
    struct Entry {
        std::string name;
        std::uint16_t flags = 0;
        std::uint16_t method = 0;
        std::uint32_t crc = 0;
        std::uint64_t compressedSize = 0;
        std::uint64_t size = 0;
        std::uint64_t offset = 0;
    };
    struct Deflater;

    void put(std::string_view bytes); // not "emit": Qt makes that word a macro
    void localHeader(const Entry& entry);
    void drain(int flush);

    ByteSink& m_out;
    std::uint64_t m_offset = 0;
    std::vector<Entry> m_entries;
    std::unique_ptr<Deflater> m_deflater; // while a compressed entry is open
};

} // namespace exporting
