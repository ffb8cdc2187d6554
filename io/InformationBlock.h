#pragma once
// The information ranges in a design file: a block of the chain behind the
// sections (see BlockChain.h, ExtensionBlocks.h), after the matrix block. A
// design without any range has no block, so its file is byte for byte what it
// was before ranges existed. Little-endian; doubles are IEEE 754 binary64:
//
//   block   0 tag "TDIA"   4 version 1   8 payload length L   12 CRC-32 of the payload
//           16 range records back to back, by row index, at most one per row
//   record  0 row index of the FR row
//           4 design bounds: bit 0 lower present, bit 1 upper present, other bits zero
//           5 system range: 0 none, 1 uniform, 2 normal   6 unit length u (0..16)   7 zero
//           8 design lower (0 when absent)   16 design upper (0 when absent)
//           24 uniform a, normal mean (0 when none)   32 uniform b, normal sigma (0 when none)
//           40 the unit, u Windows-1252 bytes
//
// A record holds at least one of the ranges. A block laid out any other way
// (a record cut short, a row out of range, repeated or not ascending, another
// flag or kind, a number not finite, lower above upper, a above b, sigma not
// above 0, a record with neither range) is refused whole.
//
// The clipboard's rows carry the same record from its byte 4 on (see
// RowsFormat.h): appendRangeFields and readRangeFields are shared.

#include "io/ExtensionBlocks.h"
#include "model/DesignTree.h"
#include "model/InformationRanges.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace io {

inline constexpr std::string_view kInformationTag = "TDIA";
inline constexpr std::uint32_t kInformationBlockVersion = 1;
inline constexpr std::size_t kRangeFieldsSize = 36; // a record behind its row index, without the unit

// The block for `ranges`, keyed by the nodes of `fr`; empty when there is none.
std::string encodeInformationBlock(const model::DesignTree& fr, const model::RangeStore& ranges);

// A record's fields behind its row index.
void appendRangeFields(std::string& out, const model::FrRanges& ranges);
// The fields at `at`, `at` moved past them; nothing when they are cut short or
// not exactly as above.
std::optional<model::FrRanges> readRangeFields(std::string_view bytes, std::size_t& at);

// The module of the block: reads into DesignFileContents::ranges, keyed by
// the nodes of the FR tree read, and writes the design's ranges.
const BlockModule& informationBlockModule();

} // namespace io
