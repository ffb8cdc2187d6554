#pragma once
// The texts that go beyond Windows-1252, in a block of the chain behind the
// sections (see BlockChain.h, ExtensionBlocks.h), after the information
// block. The sections keep each such label in its question form ("?" for
// every character the code page lacks, see model/Utf8.h), so any reader of
// the sections alone still finds every node; the block gives the whole text.
// Little-endian:
//
//   block   0 tag "TUTF"   4 version 1   8 payload length L   12 CRC-32 of the payload
//           16 text records (see TextRecords.h) by tree, then row
//   record  0 tree: 1 FR, 2 DP, 3 PV, 4 a column title   1 zero (3)
//           4 row index (for a title: 0 FR, 1 DP, 2 PV)   8 byte length n   12 n bytes of UTF-8
//
// A node's record holds its whole text, outline number included, and is
// written only for a node whose full label stands and goes beyond
// Windows-1252; a title's record holds the whole title. A design with neither
// has no block, so its file is byte for byte what it was before.
//
// A record counts only while its question form is still what the file
// holds in its place: the node's section text, or the title field (at most
// its 32 bytes). A program that knows nothing of the block may have changed
// that text; then the section's text stands, and nothing is said about it.
// A block laid out any other way (a record cut short, a tree or row out of
// range, repeated or out of order, padding not zero, a text that is not
// UTF-8 or holds a NUL) is refused whole.

#include "io/ExtensionBlocks.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace io {

inline constexpr std::string_view kUnicodeTextTag = "TUTF";
inline constexpr std::uint32_t kUnicodeTextBlockVersion = 1;

// The block for `design` appended to `out`; nothing when no text goes beyond Windows-1252.
void appendUnicodeTextBlock(const model::Design& design, std::string& out);

// The module of the block: reads into DesignFileContents::fullLabels (keyed
// by the nodes of the FR tree read) and fullTitles.
const BlockModule& unicodeTextBlockModule();

} // namespace io
