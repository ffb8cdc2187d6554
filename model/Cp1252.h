#pragma once
// Windows-1252, the single-byte code page of node texts and titles: the one
// table and the one conversion, used wherever bytes meet Unicode (messages
// and documents in UTF-8 here; the display through io/Cp1252.h).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace model {

// 0x80 to 0x9F; every other byte is the Latin-1 code point of the same value.
// The five bytes the code page leaves unassigned map to the C1 controls of
// the same value, so every byte round-trips.
inline constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t cp1252ToUnicode(unsigned char b)
{
    return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b);
}

// The byte of a code point, or nothing when Windows-1252 has none.
constexpr std::optional<unsigned char> unicodeToCp1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<unsigned char>(u);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == u)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

// The bytes as UTF-8, appended to `out`: every byte maps to one code point
// (the five unassigned bytes to U+0081 and the like), so nothing is lost or
// replaced.
inline void appendCp1252AsUtf8(std::string& out, std::string_view bytes)
{
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const char16_t u = cp1252ToUnicode(b);
        if (u < 0x80) {
            out += c;
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
}

inline std::string cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    appendCp1252AsUtf8(out, bytes);
    return out;
}

// A letter in small case, so that searches ignore case: the capitals of
// ASCII, of Latin-1 (but not the multiplication sign) and the four of
// 0x80-0x9F (S and Z with caron, OE, Y with diaeresis) become their small
// letters; every other byte stays.
constexpr unsigned char foldCp1252(unsigned char b)
{
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
        return static_cast<unsigned char>(b + 0x20);
    switch (b) {
    case 0x8A: return 0x9A; // S caron
    case 0x8C: return 0x9C; // OE
    case 0x8E: return 0x9E; // Z caron
    case 0x9F: return 0xFF; // Y diaeresis
    default: return b;
    }
}

} // namespace model
