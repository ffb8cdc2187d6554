#pragma once
// The design file (*.vok): a 700-byte header record, then the tree texts of
// FR, DP and PV. All integers little-endian, all text single-byte, unchanged.
//
//   0   magic 314159          100 FR, DP, PV start     124 reserved record (48)
//   4   FR title (32)         112 FR, DP, PV length    172 level records 0..10 (48 each)
//   36  DP title (32)         700 FR section, then DP and PV where their starts say
//   68  PV title (32)
//
// Behind the furthest section end stands a chain of blocks, each of a kind
// of its own, the design matrices the first (see ExtensionBlocks.h). A block
// that cannot be read leaves out what it holds and nothing else; it is kept
// as bytes with the contents.
//
// Reading is all or nothing: a file is parsed into new contents, and the
// caller replaces its design only when no error was thrown. Writing builds the
// whole file in memory and replaces the old file atomically, or not at all.

#include "io/AtomicWriter.h"
#include "io/HeaderCodec.h"
#include "io/ExtensionBlocks.h"
#include "io/MatrixBlock.h"
#include "model/Design.h"
#include "model/HeaderRecord.h"
#include "model/LevelStyle.h"

#include <array>
#include <atomic>
#include <string>
#include <string_view>

namespace io {

// Everything a design file holds, read and checked, ready to be swapped in.
struct DesignFileContents {
    model::HeaderRecord header;              // the loaded header, as read
    std::array<std::string, 3> titles;       // each up to its NUL, or all 32 bytes
    model::ComparedTrees trees;              // FR, DP, PV, of the same shape
    model::MatrixStore matrices;             // keyed by the nodes of trees[0]
    bool matricesLeftOut = false;            // a matrix block was there and not taken in
    model::CrossCellStore crossCells;        // keyed by the nodes of trees[0]
    model::RangeStore ranges;                // keyed by the nodes of trees[0]
    model::RowTextStore fullLabels;          // keyed by the nodes of trees[0], each standing for its node's label
    model::RowTextStore notes;               // keyed by the nodes of trees[0]
    std::array<std::string, 3> fullTitles;   // UTF-8 where a title goes beyond Windows-1252, else empty
    model::KeptBlocks kept;                  // every block not taken in, in file order
};

// How a design file was read, for the tests and benchmarks that must know
// which paths a large file took; filled in as far as the read got, also when
// it fails (every piece is read before any error is reported).
struct ReadReport {
    std::size_t pieces = 0;     // tree texts read apart: a cut section counts twice
    std::array<bool, 3> cut{};  // FR, DP, PV: the section was cut in two at a top-level line
    bool parallel = false;      // large enough to be read on every core
    std::size_t hugePieces = 0; // pieces read from disk into memory on huge pages
};

// Reads and checks a whole design file. Throws model::UserError:
//   "Cannot open file %s"                              unreadable path
//   "%s is not a design file"                          first four bytes not 314159
//   "Stream read error"                                header cut short, a section past the end
//   "Invalid level (%d) for item "%s""                 a line two levels deeper than the one before
//   "The three trees in %s do not have the same shape"
// A block that cannot be read is no error: the design comes without what it
// holds, `kept` has it, and for the matrix block `matricesLeftOut` says so
// (see matricesLeftOutMessage).
// `report`, when given, is told how the file was read.
DesignFileContents readDesignFile(const std::string& path, ReadReport* report = nullptr);
DesignFileContents parseDesignFile(std::string_view bytes, const std::string& pathForMessages,
                                   ReadReport* report = nullptr);

// Puts everything a file held into the design: titles, trees, matrices, cross cells, ranges, the
// blocks kept, and the header with the level styles (DesignLook::opened).
// Used once reading succeeded, so nothing can fail half-way.
void openInto(model::Design& design, DesignFileContents&& contents);

// Whether a file written for a design carries the blocks the design kept
// from its file: a save leaves them out (their meaning may no longer fit the
// design; the user was asked), a recovery copy keeps them, so that the design
// recovered is the design that was open.
enum class KeptBlocksToo { No, Yes };

// The whole file for a design. Its header is the design's current header
// with the magic, section starts and lengths, the titles (bytes behind a NUL
// kept) and the level records from the design's level styles. The design's
// blocks follow the PV section (the matrix block when a cell is assessed),
// then the kept ones if asked. The design stays as it is.
std::string encodeDesignFile(const model::Design& design, KeptBlocksToo kept = KeptBlocksToo::No,
                             const std::atomic<bool>* stop = nullptr);
// With `stop`, for an encode on another thread that gives way: once `stop` is
// set, it throws EncodeStopped (io/TreeText.h) within a few thousand rows.
// Whoever changes the design must first have stopped it or waited for it.

// A save in its two halves, for a save made on another thread: the bytes,
// with `header` (a copy of the design's current header, taken beforehand)
// filled as they give it; then the atomic write, which throws as
// writeDesignFile does. The caller makes the header the design's own
// (DesignLook::saved) once the bytes are there.
std::string encodeForSave(const model::Design& design, model::HeaderRecord& header);
void writeEncoded(const std::string& path, std::string_view bytes, AtomicWriter& writer);

// Encodes and writes atomically, without the kept blocks; the old file stays
// intact on any failure.
// Throws "Cannot create file %s" or "Stream write error". The header encoded
// becomes the design's current header (DesignLook::saved), even when writing fails.
void writeDesignFile(const std::string& path, model::Design& design);
void writeDesignFile(const std::string& path, model::Design& design, AtomicWriter& writer);

} // namespace io
