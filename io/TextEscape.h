#pragma once
// The escapes of the design text form (see DesignText.h): every text goes on
// one line, "|" separates labels, and nothing invisible hides at a line end.

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace io::text {

inline void appendHexByte(std::string& out, unsigned value)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[(value >> 4) & 0xF];
    out += kDigits[value & 0xF];
}

inline std::string hexOf(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes)
        appendHexByte(out, static_cast<unsigned char>(c));
    return out;
}

inline int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

inline std::optional<std::string> bytesOfHex(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

// UTF-8 in, escaped UTF-8 out. U+0080 to U+009F are two bytes C2 80..C2 9F.
inline void appendEscaped(std::string& out, std::string_view utf8)
{
    std::size_t end = utf8.size();
    while (end > 0 && utf8[end - 1] == ' ')
        --end;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (i >= end) {
            out += "\\x20";
        } else if (b == '\\' || b == '|') {
            out += '\\';
            out += static_cast<char>(b);
        } else if (b < 0x20 || b == 0x7F) {
            out += "\\x";
            appendHexByte(out, b);
        } else if (b == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
            out += "\\x";
            appendHexByte(out, static_cast<unsigned char>(utf8[++i]));
        } else {
            out += static_cast<char>(b);
        }
    }
}

inline std::string escaped(std::string_view utf8)
{
    std::string out;
    appendEscaped(out, utf8);
    return out;
}

// The text an escaped one stands for, or the reason it does not stand for any.
struct Unescaped {
    std::string text;
    const char* error = nullptr;
};

inline Unescaped unescape(std::string_view in)
{
    Unescaped r;
    r.text.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c == '|') {
            r.error = "a \"|\" in a text must be written \"\\|\"";
            return r;
        }
        if (c != '\\') {
            r.text += c;
            continue;
        }
        const char next = i + 1 < in.size() ? in[i + 1] : '\0';
        if (next == '\\' || next == '|') {
            r.text += next;
            ++i;
        } else if (next == 'x' && i + 3 < in.size() && hexDigit(in[i + 2]) >= 0 && hexDigit(in[i + 3]) >= 0) {
            const unsigned v = static_cast<unsigned>(hexDigit(in[i + 2]) * 16 + hexDigit(in[i + 3]));
            if (v >= 0x80 && v < 0xA0) {
                r.text += static_cast<char>(0xC2);
                r.text += static_cast<char>(v);
            } else if (v < 0x80) {
                r.text += static_cast<char>(v);
            } else {
                r.error = "\\x stands for a character below U+00A0 only";
                return r;
            }
            i += 3;
        } else {
            r.error = "unknown escape (use \\\\, \\| or \\xHH)";
            return r;
        }
    }
    return r;
}

// Doubles in their shortest form that reads back as the same value.
inline std::string numberOf(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

inline std::optional<double> doubleOf(std::string_view text)
{
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

template <typename Int>
std::optional<Int> integerOf(std::string_view text, int base = 10)
{
    Int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace io::text
