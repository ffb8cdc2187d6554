#pragma once
// The font of every node at one level: charset, colour, face name, size, style.

#include <cstdint>
#include <string>

namespace model {

inline constexpr int kLevelCount = 11;      // levels 0 to 10 have a style
inline constexpr int kFaceNameMax = 31;     // characters of a face name

// Style flag bits; bits 4 to 7 are kept as read but mean nothing.
enum StyleFlag : std::uint8_t { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };

// Colour values: 0x00BBGGRR, or kSystemColour + n for system colour n.
inline constexpr std::uint32_t kSystemColour = 0x80000000u;
inline constexpr std::uint32_t kWindowTextColour = kSystemColour + 8;

struct LevelStyle {
    std::uint8_t charset = 0;
    std::uint32_t colour = 0;
    std::string name;
    std::int32_t size = 0;
    std::uint8_t style = 0;

    bool operator==(const LevelStyle&) const = default;
};

} // namespace model
