#include "io/HeaderCodec.h"

#include "io/ByteOrder.h"

#include <algorithm>
#include <stdexcept>

namespace io {

namespace {

constexpr std::size_t kCharset = 0;
constexpr std::size_t kColour = 4;
constexpr std::size_t kName = 8;
constexpr std::size_t kSize = 40;
constexpr std::size_t kStyle = 44;

static_assert(kLevelsOffset + model::kLevelCount * kLevelRecordSize == model::kHeaderSize);

template <std::size_t N>
void putField(std::string& out, std::size_t offset, const std::array<char, N>& field)
{
    if (offset > out.size() || out.size() - offset < N)
        throw std::logic_error("text field outside the buffer");
    std::copy(field.begin(), field.end(), out.begin() + static_cast<std::ptrdiff_t>(offset));
}

template <std::size_t N>
std::array<char, N> getField(std::string_view bytes, std::size_t offset)
{
    requireRange(bytes, offset, N);
    std::array<char, N> field{};
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), N, field.begin());
    return field;
}

void putLevel(std::string& out, std::size_t at, const model::LevelRecord& r)
{
    putU8(out, at + kCharset, r.charset);
    putU32(out, at + kColour, r.colour);
    putField(out, at + kName, r.name);
    putU32(out, at + kSize, static_cast<std::uint32_t>(r.size));
    putU8(out, at + kStyle, r.style);
}

model::LevelRecord getLevel(std::string_view bytes, std::size_t at)
{
    model::LevelRecord r;
    r.charset = getU8(bytes, at + kCharset);
    r.colour = getU32(bytes, at + kColour);
    r.name = getField<model::kNameFieldSize>(bytes, at + kName);
    r.size = static_cast<std::int32_t>(getU32(bytes, at + kSize));
    r.style = getU8(bytes, at + kStyle);
    return r;
}

} // namespace

std::string encodeHeader(const model::HeaderRecord& h)
{
    std::string out(model::kHeaderSize, '\0');
    putU32(out, kMagicOffset, h.magic);
    for (std::size_t i = 0; i < model::kTreeCount; ++i) {
        putField(out, kTitlesOffset + i * model::kTitleFieldSize, h.titles[i]);
        putU32(out, kStartsOffset + 4 * i, h.starts[i]);
        putU32(out, kLengthsOffset + 4 * i, h.lengths[i]);
    }
    putLevel(out, kReservedOffset, h.reserved);
    for (std::size_t i = 0; i < model::kLevelCount; ++i)
        putLevel(out, kLevelsOffset + i * kLevelRecordSize, h.levels[i]);
    return out;
}

model::HeaderRecord decodeHeader(std::string_view first700)
{
    requireRange(first700, 0, model::kHeaderSize);
    model::HeaderRecord h;
    h.magic = getU32(first700, kMagicOffset);
    for (std::size_t i = 0; i < model::kTreeCount; ++i) {
        h.titles[i] = getField<model::kTitleFieldSize>(first700, kTitlesOffset + i * model::kTitleFieldSize);
        h.starts[i] = getU32(first700, kStartsOffset + 4 * i);
        h.lengths[i] = getU32(first700, kLengthsOffset + 4 * i);
    }
    h.reserved = getLevel(first700, kReservedOffset);
    for (std::size_t i = 0; i < model::kLevelCount; ++i)
        h.levels[i] = getLevel(first700, kLevelsOffset + i * kLevelRecordSize);
    return h;
}

} // namespace io
