#pragma once
// Copied rows on the clipboard in our own format (application/x-tessaric-rows):
// the three subtrees exactly, texts byte for byte, so that a paste into any
// running instance of the program gives back what was copied. All integers
// little-endian:
//
//   0   "TSRW"                         12      n levels (4 each), row order
//   4   format version (1)             12+4n   the FR texts, then DP, then PV:
//   8   row count n                            each a length (4) and its bytes
//
// The format carries its version so that a later program can tell an older
// clipboard from its own; nothing may follow the last text.

#include "model/CopiedRows.h"

#include <string>
#include <string_view>

namespace io {

inline constexpr const char* kRowsMimeType = "application/x-tessaric-rows";
inline constexpr std::uint32_t kRowsFormatVersion = 1;

std::string encodeRows(const model::CopiedRows& rows);

// Reads and checks the bytes: well-formed rows or model::UserError
// ("Stream read error" for bytes cut short, too long, with levels that
// skip one or a text holding a line break or a NUL; "The clipboard holds rows of a newer version" for a later format).
// The rows are to be pasted at level `placeLevel`: rows that would lie deeper
// than model::kDeepestLevel are refused before any text is read, and labels
// longer than model::kLongestLabel are cut (counted in `labelsCut`).
model::CopiedRows decodeRows(std::string_view bytes, std::uint32_t placeLevel = 0);

} // namespace io
