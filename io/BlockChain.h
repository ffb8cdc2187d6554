#pragma once
// The chain of blocks behind the sections of a design file. A reader that
// follows the header's section starts and lengths never looks behind the
// furthest section end; whatever the format gained since lives there, each
// kind in a block of its own, the blocks back to back from that end on. All
// integers little-endian:
//
//   0 tag (4 bytes)   4 version   8 payload length L   12 CRC-32 of the payload (zlib)   16 payload (L bytes)
//
// A tag is four upper-case ASCII letters or digits ("TDMX"): the kinds this
// version knows and those a later one may add look alike, so a block of an
// unknown kind is still told from bytes that are no block. What the blocks
// mean is ExtensionBlocks' business; the chain only finds them.
//
// The walk goes from block to block by the lengths, so a block with a damaged
// payload does not hide the next one. It ends at the end of the file; at
// bytes that do not begin with a tag (no block: ignored, as bytes behind the
// sections always were); or at a block whose head is cut short or whose
// length runs past the end of the file, which is found cut short, the rest of
// the file its bytes.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace io {

inline constexpr std::size_t kBlockTagSize = 4;
inline constexpr std::size_t kBlockHeadSize = 16;

// `bytesAt(offset, length)`: bytes behind the sections, offsets counted from
// their end; fewer than asked when the file could not give them.
using BytesAt = std::function<std::string(std::uint64_t offset, std::size_t length)>;

// One block as it lies in the file.
struct FoundBlock {
    std::string bytes;  // head and payload; cut short: from the tag to the end of the file
    bool whole = false; // the head is complete and the payload lies inside the file

    std::string_view tag() const { return std::string_view(bytes).substr(0, kBlockTagSize); }
    std::uint32_t version() const;    // whole blocks only
    std::string_view payload() const; // whole blocks only
    bool intact() const;              // whole, and the CRC matches the payload
};

// True when `bytes` begin with four upper-case ASCII letters or digits.
bool beginsWithBlockTag(std::string_view bytes);

// zlib's CRC-32, of any length.
// `crc` carries on a CRC of what came before, so a stream is summed piece by piece.
std::uint32_t crc32Of(std::string_view bytes, std::uint32_t crc = 0);

// Every block behind the sections, `behind` bytes of them, in file order.
std::vector<FoundBlock> walkBlocks(std::uint64_t behind, const BytesAt& bytesAt);

// Fills in the head of the block that begins at `at` of `out`: a head's room
// (kBlockHeadSize bytes) there, then its payload up to the end of `out`. So a
// block is built where it is written, its payload never copied. Throws
// "Stream write error" when the payload is too long for its length field.
void sealBlock(std::string& out, std::size_t at, std::string_view tag, std::uint32_t version);

// A whole block, sealed.
std::string encodeBlock(std::string_view tag, std::uint32_t version, std::string_view payload);

} // namespace io
