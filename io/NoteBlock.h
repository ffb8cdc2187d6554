#pragma once
// The notes of the nodes, in a block of the chain behind the sections (see
// BlockChain.h, ExtensionBlocks.h), after the Unicode texts. A design without
// a note has no block, so its file is byte for byte what it was before.
// Little-endian:
//
//   block   0 tag "TNOT"   4 version 1   8 payload length L   12 CRC-32 of the payload
//           16 text records (see TextRecords.h) by tree, then row
//   record  0 tree: 1 FR, 2 DP, 3 PV   1 zero (3)   4 row index
//           8 byte length n (1 to 1,048,576)   12 n bytes of UTF-8, the note
//
// A block laid out any other way (a record cut short, a tree or row out of
// range, repeated or out of order, padding not zero, a note empty, longer
// than a note may be, not UTF-8 or holding a NUL) is refused whole.

#include "io/ExtensionBlocks.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace io {

inline constexpr std::string_view kNoteTag = "TNOT";
inline constexpr std::uint32_t kNoteBlockVersion = 1;

// The block for `design` appended to `out`; nothing when no node has a note.
void appendNoteBlock(const model::Design& design, std::string& out);

// The module of the block: reads into DesignFileContents::notes, keyed by the
// nodes of the FR tree read.
const BlockModule& noteBlockModule();

} // namespace io
