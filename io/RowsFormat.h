#pragma once
// Copied rows on the clipboard in our own format (application/x-tessaric-rows):
// the three subtrees exactly, texts byte for byte, and the design matrices
// inside them, so that a paste into any running instance of the program
// gives back what was copied. All integers little-endian:
//
//   0   "TSRW"                         12      n levels (4 each), row order
//   4   format version (1, 2 or 3)     12+4n   the FR texts, then DP, then PV:
//   8   row count n                            each a length (4) and its bytes
//
// Version 2 is version 1 with matrix records behind the last text, at least
// one, back to back up to the end, laid out as in the design file's matrix
// block (see io/MatrixBlock.h) with the parent counted among the copied rows:
//
//   record  0 kind (1 FR-DP, 2 DP-PV)   1 zero (3)   4 parent, the row's place in the copy
//           8 n, its children   12 m, the cells (1 .. n(n-1))   16 m cells of 12 bytes
//   cell    0 row i   4 column j   8 value (1 X, 2 O)   9 zero (3)
//
// Records go by parent, FR-DP before DP-PV, cells by row then column.
//
// Version 3 is version 2 with, after the matrix records (there may be none),
// at least one record more: range records, by row, laid out from byte 4 on as a record of
// the design file's information block (see io/InformationBlock.h):
//
//   record  0 kind 3   1 zero (3)   4 row, its place in the copy   8 the range fields (36 + unit)
//
// and then cross cells between the copied rows, by kind, a, b:
//
//   record  0 kind 4   1 matrix kind (1 FR-DP, 2 DP-PV)   2 value (1 X, 2 O)   3 zero
//           4 row a, 8 row b, their places in the copy
//
// Version 4 is version 3 with, after the cross cells, the texts beside the
// trees: the full labels of the rows (see model/RowTexts.h), then their
// notes, each by row, then tree (FR, DP, PV), each text not empty:
//
//   record  0 kind (5 full label, 6 note)   1 tree (1 FR, 2 DP, 3 PV)   2 zero (2)
//           4 row, its place in the copy   8 n   12 n bytes of UTF-8
//
// Rows with notes or full labels are written as version 4; rows with ranges
// or cross cells as version 3, others as before. Rows
// without an assessed cell are written as version 1, byte for byte as before
// matrices travelled, so that an older program still pastes them; it refuses
// version 2 as a newer version. Nothing may follow the last text or record.

#include "model/CopiedRows.h"

#include <string>
#include <string_view>

namespace io {

inline constexpr const char* kRowsMimeType = "application/x-tessaric-rows";
inline constexpr std::uint32_t kRowsFormatVersion = 4;       // the newest read: notes and full labels travel
inline constexpr std::uint32_t kRowsWithRanges = 3;          // written when ranges or cross cells travel, no text
inline constexpr std::uint32_t kRowsWithMatrices = 2;        // written when cells travel and no range
inline constexpr std::uint32_t kRowsWithoutMatrices = 1;     // written when neither travels

std::string encodeRows(const model::CopiedRows& rows);

// Reads and checks the bytes: well-formed rows or model::UserError
// ("Stream read error" for bytes cut short, too long, with levels that
// skip one, a text holding a line break or a NUL or a matrix record not
// exactly as above; "The clipboard holds rows of a newer version" for a later format).
// The rows are to be pasted at level `placeLevel`: rows that would lie deeper
// than model::kDeepestLevel are refused before any text is read, and labels
// longer than model::kLongestLabel are cut (counted in `labelsCut`).
model::CopiedRows decodeRows(std::string_view bytes, std::uint32_t placeLevel = 0);

} // namespace io
