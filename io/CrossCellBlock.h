#pragma once
// The cross cells in a design file: a block of the chain behind the sections
// (see BlockChain.h, ExtensionBlocks.h), right after the matrix block. A
// design with no assessed cross cell has no block. Little-endian:
//
//   block  0 tag "TDMC"   4 version 1   8 payload length L (a multiple of 12)   12 CRC-32 of the payload
//   cell   0 kind (1 FR-DP, 2 DP-PV)   1 value (1 X, 2 O)   2 zero (2)
//          4 row a (the FR side for FR-DP, the DP side for DP-PV)   8 row b
//
// Cells go by kind, then a, then b. A block laid out any other way (a row out
// of range, a and b the same, siblings or one inside the other, a pair
// repeated, the order broken, another kind, value or padding, an empty
// payload) is refused whole.

#include "io/ExtensionBlocks.h"
#include "model/CrossCells.h"
#include "model/DesignTree.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace io {

inline constexpr std::string_view kCrossCellTag = "TDMC";
inline constexpr std::uint32_t kCrossCellBlockVersion = 1;
inline constexpr std::size_t kCrossCellSize = 12;

// The block for `cells`, keyed by the nodes of `fr`; empty when there is none.
std::string encodeCrossCellBlock(const model::DesignTree& fr, const model::CrossCellStore& cells);

// The module of the block: reads into DesignFileContents::crossCells, keyed
// by the nodes of the FR tree read, and writes the design's cross cells.
const BlockModule& crossCellBlockModule();

} // namespace io
