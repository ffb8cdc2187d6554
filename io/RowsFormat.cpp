#include "io/RowsFormat.h"

#include "io/ByteOrder.h"
#include "model/Limits.h"

namespace io {

namespace {

constexpr std::string_view kMagic = "TSRW";
constexpr std::size_t kVersionOffset = 4;
constexpr std::size_t kCountOffset = 8;
constexpr std::size_t kLevelsOffset = 12;
constexpr std::size_t kFieldSize = 4;
constexpr std::string_view kLineBreaks{"\r\n\0", 3};
constexpr const char* kNewerVersion = "The clipboard holds rows of a newer version";

std::uint32_t checkedSize(std::size_t n)
{
    if (n > UINT32_MAX)
        throw model::UserError("Stream write error"); // a field cannot hold it
    return static_cast<std::uint32_t>(n);
}

} // namespace

std::string encodeRows(const model::CopiedRows& rows)
{
    std::size_t size = kLevelsOffset + rows.size() * kFieldSize * (1 + model::kTreeCount);
    for (const auto& texts : rows.texts)
        for (const std::string& t : texts)
            size += t.size();
    std::string out;
    out.reserve(size);
    out.append(kMagic);
    appendU32(out, kRowsFormatVersion);
    appendU32(out, checkedSize(rows.size()));
    for (std::uint32_t level : rows.levels)
        appendU32(out, level);
    for (const auto& texts : rows.texts)
        for (const std::string& t : texts) {
            appendU32(out, checkedSize(t.size()));
            out.append(t);
        }
    return out;
}

model::CopiedRows decodeRows(std::string_view bytes, std::uint32_t placeLevel)
{
    requireRange(bytes, 0, kLevelsOffset);
    if (bytes.substr(0, kMagic.size()) != kMagic)
        throw model::UserError(kStreamReadError);
    const std::uint32_t version = getU32(bytes, kVersionOffset);
    if (version > kRowsFormatVersion)
        throw model::UserError(kNewerVersion);
    if (version == 0)
        throw model::UserError(kStreamReadError);
    const std::uint32_t n = getU32(bytes, kCountOffset);
    // Every row takes a level and three lengths: a count that cannot fit is
    // refused before anything is reserved for it.
    if (n > (bytes.size() - kLevelsOffset) / (kFieldSize * (1 + model::kTreeCount)))
        throw model::UserError(kStreamReadError);
    model::CopiedRows rows;
    rows.levels.reserve(n);
    std::size_t at = kLevelsOffset;
    for (std::uint32_t i = 0; i < n; ++i, at += kFieldSize) {
        const std::uint32_t level = getU32(bytes, at);
        if (i == 0 ? level != 0 : level > rows.levels.back() + 1)
            throw model::UserError(kStreamReadError);
        // Refused here, before a single text is copied.
        if (!model::fitsBelow(placeLevel, level))
            throw model::UserError(model::tooDeepToPaste());
        rows.levels.push_back(level);
    }
    for (auto& texts : rows.texts) {
        texts.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint32_t length = getU32(bytes, at);
            at += kFieldSize;
            requireRange(bytes, at, length);
            const std::string_view text = bytes.substr(at, length);
            // A line break or a NUL would cut the saved tree apart.
            if (text.find_first_of(kLineBreaks) != std::string_view::npos)
                throw model::UserError(kStreamReadError);
            const std::string_view kept = model::withLabelCut(text);
            rows.labelsCut += kept.size() < text.size();
            texts.emplace_back(kept);
            at += length;
        }
    }
    if (at != bytes.size() || !rows.wellFormed())
        throw model::UserError(kStreamReadError);
    return rows;
}

} // namespace io
