#pragma once
// The design matrices in a design file: a block of the chain behind the
// sections (see BlockChain.h, ExtensionBlocks.h). A design with no assessed
// cell has no block, so its file is byte for byte what it was before
// matrices existed. All integers little-endian:
//
//   block   0 tag "TDMX"   4 version 1   8 payload length L   12 CRC-32 of the payload   16 payload
//   record  0 kind (1 FR-DP, 2 DP-PV)   1 zero (3)   4 parent row (0xFFFFFFFF: top level)
//           8 n, the parent's children   12 m, the cells   16 m cells of 12 bytes
//   cell    0 row i   4 column j   8 value (1 X, 2 O)   9 zero (3)
//
// Records go by parent row (the top level first), FR-DP before DP-PV, cells
// by row then column; only assessed off-diagonal cells, no empty record, no
// empty payload. A block laid out any other way is refused whole: so a block
// that is read is exactly the block its matrices are written as.

#include "io/ExtensionBlocks.h"
#include "model/DesignTree.h"
#include "model/MatrixStore.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace io {

inline constexpr std::string_view kMatrixTag = "TDMX";
inline constexpr std::uint32_t kMatrixBlockVersion = 1;
inline constexpr std::size_t kMatrixRecordHeadSize = 16;
inline constexpr std::size_t kMatrixCellSize = 12;
inline constexpr std::uint32_t kTopLevelParent = 0xFFFFFFFFu;

// "The design matrices in <path> could not be read and are left out".
std::string matricesLeftOutMessage(const std::string& path);

// The block for `matrices`, keyed by the nodes of `fr`; empty when no cell is
// assessed. Throws "Stream write error" when a length would not fit its field.
std::string encodeMatrixBlock(const model::DesignTree& fr, const model::MatrixStore& matrices);

// The module of the block: reads into DesignFileContents::matrices, keyed by
// the nodes of the FR tree read, and writes the design's matrices.
const BlockModule& matrixBlockModule();

} // namespace io
