#pragma once
// Little-endian integers at fixed offsets of a byte buffer. Every access is
// bounds-checked: a field that does not fit is a read error, never a stray read.

#include "model/UserError.h"

#include <bit>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace io {

inline constexpr const char* kStreamReadError = "Stream read error";

inline void requireRange(std::string_view bytes, std::size_t offset, std::size_t size)
{
    if (offset > bytes.size() || size > bytes.size() - offset)
        throw model::UserError(kStreamReadError);
}

inline std::uint32_t getU32(std::string_view bytes, std::size_t offset)
{
    requireRange(bytes, offset, 4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    return v;
}

inline std::uint64_t getU64(std::string_view bytes, std::size_t offset)
{
    requireRange(bytes, offset, 8);
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    return v;
}

// An IEEE 754 binary64, little-endian.
inline double getF64(std::string_view bytes, std::size_t offset)
{
    return std::bit_cast<double>(getU64(bytes, offset));
}

inline std::uint8_t getU8(std::string_view bytes, std::size_t offset)
{
    requireRange(bytes, offset, 1);
    return static_cast<std::uint8_t>(bytes[offset]);
}

// Writing goes into a buffer the encoder sized itself: a field outside it is
// a fault of the encoder, not of any file.
inline void putU32(std::string& out, std::size_t offset, std::uint32_t v)
{
    if (offset > out.size() || out.size() - offset < 4)
        throw std::logic_error("putU32 outside the buffer");
    for (std::size_t i = 0; i < 4; ++i)
        out[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFFu);
}

inline void putU8(std::string& out, std::size_t offset, std::uint8_t v)
{
    if (offset >= out.size())
        throw std::logic_error("putU8 outside the buffer");
    out[offset] = static_cast<char>(v);
}

// Appending little-endian fields to a stream being made (a zip package).
inline void appendU16(std::string& out, std::uint16_t v)
{
    out += static_cast<char>(v & 0xFFu);
    out += static_cast<char>(v >> 8);
}

inline void appendU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFFu);
}

inline void appendU64(std::string& out, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFFu);
}

inline void appendF64(std::string& out, double v)
{
    appendU64(out, std::bit_cast<std::uint64_t>(v));
}

} // namespace io
