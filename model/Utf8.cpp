#include "model/Utf8.h"

#include "model/Cp1252.h"

#include <cstdint>
#include <cstring>

namespace model {
namespace {

// The character at `at` of valid UTF-8 and the bytes it takes.
std::pair<char32_t, std::size_t> decodeAt(std::string_view s, std::size_t at)
{
    const auto b = static_cast<unsigned char>(s[at]);
    if (b < 0x80)
        return {b, 1};
    const std::size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    char32_t c = b & (0x3F >> (n - 1));
    for (std::size_t i = 1; i < n; ++i)
        c = (c << 6) | (static_cast<unsigned char>(s[at + i]) & 0x3F);
    return {c, n};
}

} // namespace

bool validUtf8(std::string_view s)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    std::size_t at = 0;
    while (at < s.size()) {
        // Notes are mostly ASCII: eight bytes at a time while no byte has
        // its high bit set, none being NUL.
        while (s.size() - at >= 8) {
            std::uint64_t word;
            std::memcpy(&word, s.data() + at, 8);
            if (word & kHighBits)
                break;
            if ((word - kOnes) & ~word & kHighBits)
                return false;
            at += 8;
        }
        if (at == s.size())
            break;
        const auto b = static_cast<unsigned char>(s[at]);
        if (b == 0)
            return false;
        if (b < 0x80) {
            ++at;
            continue;
        }
        std::size_t n = 0;
        char32_t least = 0;
        if (b >= 0xC2 && b <= 0xDF)
            n = 2, least = 0x80;
        else if (b >= 0xE0 && b <= 0xEF)
            n = 3, least = 0x800;
        else if (b >= 0xF0 && b <= 0xF4)
            n = 4, least = 0x10000;
        else
            return false;
        if (s.size() - at < n)
            return false;
        for (std::size_t i = 1; i < n; ++i)
            if ((static_cast<unsigned char>(s[at + i]) & 0xC0) != 0x80)
                return false;
        const char32_t c = decodeAt(s, at).first;
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        at += n;
    }
    return true;
}

std::string questionForm(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const auto [c, n] = decodeAt(utf8, at);
        const std::optional<unsigned char> b = c <= 0xFFFF ? unicodeToCp1252(static_cast<char16_t>(c)) : std::nullopt;
        out += b ? static_cast<char>(*b) : '?';
        at += n;
    }
    return out;
}

bool questionFormIs(std::string_view utf8, std::string_view bytes)
{
    std::size_t i = 0;
    for (std::size_t at = 0; at < utf8.size(); ++i) {
        if (i == bytes.size())
            return false;
        const auto [c, n] = decodeAt(utf8, at);
        const std::optional<unsigned char> b = c <= 0xFFFF ? unicodeToCp1252(static_cast<char16_t>(c)) : std::nullopt;
        if (static_cast<unsigned char>(bytes[i]) != (b ? *b : '?'))
            return false;
        at += n;
    }
    return i == bytes.size();
}

bool fitsCp1252(std::string_view utf8)
{
    for (std::size_t at = 0; at < utf8.size();) {
        const auto [c, n] = decodeAt(utf8, at);
        if (c > 0xFFFF || !unicodeToCp1252(static_cast<char16_t>(c)))
            return false;
        at += n;
    }
    return true;
}

std::size_t utf8Offset(std::string_view utf8, std::size_t characters)
{
    std::size_t at = 0;
    for (; at < utf8.size() && characters > 0; --characters)
        at += decodeAt(utf8, at).second;
    return std::min(at, utf8.size());
}

} // namespace model
