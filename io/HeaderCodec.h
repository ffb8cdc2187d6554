#pragma once
// The byte form of the 700-byte header record and its 48-byte level records.
//
// Level record:  0 charset   1 zero (3)   4 colour   8 face name (32)
//                40 size (signed)   44 style flags   45 zero (3)

#include "model/HeaderRecord.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace io {

inline constexpr std::size_t kMagicOffset = 0;
inline constexpr std::size_t kTitlesOffset = 4;
inline constexpr std::size_t kStartsOffset = 100;
inline constexpr std::size_t kLengthsOffset = 112;
inline constexpr std::size_t kReservedOffset = 124;
inline constexpr std::size_t kLevelsOffset = 172;
inline constexpr std::size_t kLevelRecordSize = 48;

// The 700 bytes of a header record; padding zero, text fields raw (tails kept).
std::string encodeHeader(const model::HeaderRecord& header);

// The record in the first 700 bytes; throws "Stream read error" on fewer.
// Every byte that means something is kept as read, style bits 4 to 7 included.
model::HeaderRecord decodeHeader(std::string_view first700);

} // namespace io
