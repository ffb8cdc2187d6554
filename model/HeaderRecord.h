#pragma once
// The 700-byte record at the head of a design file, as fields. The byte form
// (little-endian, fixed offsets) is written and read by io::DesignFile.
//
// Text fields are kept as their raw bytes: behind a NUL they may hold the tail
// of a longer text written earlier, which a save keeps.

#include "model/LevelStyle.h"
#include "model/TreeId.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace model {

inline constexpr std::uint32_t kDesignMagic = 314159;
inline constexpr int kHeaderSize = 700;
inline constexpr int kTitleFieldSize = 32;
inline constexpr int kNameFieldSize = 32;

using TitleField = std::array<char, kTitleFieldSize>;
using NameField = std::array<char, kNameFieldSize>;

// The stored form of one level style (48 bytes on disk).
struct LevelRecord {
    std::uint8_t charset = 0;
    std::uint32_t colour = 0;
    NameField name{};
    std::int32_t size = 0;
    std::uint8_t style = 0;

    bool operator==(const LevelRecord&) const = default;
};

struct HeaderRecord {
    std::uint32_t magic = 0;
    std::array<TitleField, kTreeCount> titles{};
    std::array<std::uint32_t, kTreeCount> starts{};
    std::array<std::uint32_t, kTreeCount> lengths{};
    LevelRecord reserved{};
    std::array<LevelRecord, kLevelCount> levels{};

    bool operator==(const HeaderRecord&) const = default;
};

// The text of a field: up to its first NUL, or the whole field without one.
template <std::size_t N>
std::string fieldText(const std::array<char, N>& field)
{
    std::size_t n = 0;
    while (n < N && field[n] != '\0')
        ++n;
    return std::string(field.data(), n);
}

// Stores at most `maxLength` bytes of text and a NUL when there is room;
// bytes behind the NUL keep what they held.
template <std::size_t N>
void setFieldText(std::array<char, N>& field, std::string_view text, std::size_t maxLength = N)
{
    const std::size_t n = std::min({text.size(), maxLength, N});
    std::copy_n(text.data(), n, field.begin());
    if (n < N)
        field[n] = '\0';
}

// A name field without a NUL gives its first kFaceNameMax bytes.
inline LevelStyle styleOf(const LevelRecord& r)
{
    std::string name = fieldText(r.name);
    if (name.size() > static_cast<std::size_t>(kFaceNameMax))
        name.resize(static_cast<std::size_t>(kFaceNameMax));
    return {r.charset, r.colour, std::move(name), r.size, r.style};
}

inline void storeStyle(LevelRecord& r, const LevelStyle& s)
{
    r.charset = s.charset;
    r.colour = s.colour;
    setFieldText(r.name, s.name, kFaceNameMax);
    r.size = s.size;
    r.style = s.style;
}

} // namespace model
