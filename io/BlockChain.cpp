#include "io/BlockChain.h"

#include "io/ByteOrder.h"
#include "model/UserError.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace io {

namespace {

bool tagByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The rest of the file from `at` on: the bytes of a block cut short.
FoundBlock cutShort(std::uint64_t at, std::uint64_t behind, const BytesAt& bytesAt)
{
    return FoundBlock{bytesAt(at, static_cast<std::size_t>(behind - at)), false};
}

} // namespace

std::uint32_t FoundBlock::version() const
{
    return getU32(bytes, 4);
}

std::string_view FoundBlock::payload() const
{
    return std::string_view(bytes).substr(std::min(bytes.size(), kBlockHeadSize));
}

bool FoundBlock::intact() const
{
    return whole && crc32Of(payload()) == getU32(bytes, 12);
}

bool beginsWithBlockTag(std::string_view bytes)
{
    return bytes.size() >= kBlockTagSize && std::all_of(bytes.begin(), bytes.begin() + kBlockTagSize, tagByte);
}

std::uint32_t crc32Of(std::string_view bytes, std::uint32_t crc)
{
    uLong sum = crc; // zlib's CRC of nothing is 0
    // zlib counts in uInt: feed a long payload in pieces.
    while (!bytes.empty()) {
        const std::size_t piece = std::min<std::size_t>(bytes.size(), 1u << 30);
        sum = crc32(sum, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(piece));
        bytes.remove_prefix(piece);
    }
    return static_cast<std::uint32_t>(sum);
}

std::vector<FoundBlock> walkBlocks(std::uint64_t behind, const BytesAt& bytesAt)
{
    std::vector<FoundBlock> blocks;
    std::uint64_t at = 0;
    while (at < behind) {
        std::string head = bytesAt(at, static_cast<std::size_t>(std::min<std::uint64_t>(kBlockHeadSize, behind - at)));
        if (!beginsWithBlockTag(head))
            break; // no block: the bytes from here on are not ours
        if (head.size() < kBlockHeadSize) {
            blocks.push_back(cutShort(at, behind, bytesAt));
            break;
        }
        const std::uint32_t length = getU32(head, 8);
        if (length > behind - at - kBlockHeadSize) {
            blocks.push_back(cutShort(at, behind, bytesAt));
            break;
        }
        std::string payload = bytesAt(at + kBlockHeadSize, length);
        const bool whole = payload.size() == length; // else the file gave less than it claimed to hold
        blocks.push_back(FoundBlock{std::move(head) + payload, whole});
        if (!whole)
            break;
        at += kBlockHeadSize + length;
    }
    return blocks;
}

void sealBlock(std::string& out, std::size_t at, std::string_view tag, std::uint32_t version)
{
    const std::string_view payload = std::string_view(out).substr(at + kBlockHeadSize);
    if (payload.size() > std::numeric_limits<std::uint32_t>::max())
        throw model::UserError("Stream write error"); // the length field cannot hold it
    const std::uint32_t length = static_cast<std::uint32_t>(payload.size());
    const std::uint32_t crc = crc32Of(payload);
    out.replace(at, kBlockTagSize, tag.substr(0, kBlockTagSize));
    putU32(out, at + 4, version);
    putU32(out, at + 8, length);
    putU32(out, at + 12, crc);
}

std::string encodeBlock(std::string_view tag, std::uint32_t version, std::string_view payload)
{
    std::string out(kBlockHeadSize, '\0');
    out += payload;
    sealBlock(out, 0, tag, version);
    return out;
}

} // namespace io
