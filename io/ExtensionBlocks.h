#pragma once
// The kinds of block this version knows, one module each, in the chain behind
// the sections (see BlockChain.h):
//
//   TDMX  the design matrices       MatrixBlock.h
//   TDMC  the cross-level cells     CrossCellBlock.h
//   TDIA  the information ranges    InformationBlock.h
//   TUTF  the Unicode texts         UnicodeTextBlock.h
//   TNOT  the notes                 NoteBlock.h
//
// Reading, a module takes in the first intact block of its tag; writing, it
// appends its block for the design, or nothing when the design has nothing of
// its kind, so a design that uses no block is saved as it was before blocks
// existed. Every block that is not taken in (refused or damaged, a second of
// its tag, a tag no module knows) is kept with the contents as the bytes it
// was: the save then asks before it leaves it out.
//
// A new kind of block is a module of its own (io/<Kind>Block.h/.cpp) giving
// a BlockModule, one line in blockModules() (the order there is the order
// written), and a home for what it reads in DesignFileContents and
// model::Design. Nothing else changes: the chain, keeping what is not taken
// in, and the question before a save come with it.

#include "io/BlockChain.h"
#include "model/KeptBlocks.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace model { class Design; }

namespace io {

struct DesignFileContents;

struct BlockModule {
    std::string_view tag;  // four upper-case letters or digits
    std::string_view name; // what a block holds, for the question: "the design matrices"
    // Takes in the payload of an intact block (its CRC checked) of the tag,
    // the trees read already; false refuses it whole and leaves `into` as it was.
    bool (*read)(std::uint32_t version, std::string_view payload, DesignFileContents& into);
    // Appends the whole block for `design` to `out`, or nothing.
    void (*write)(const model::Design& design, std::string& out);
};

// Every module, in the order their blocks are written.
std::span<const BlockModule> blockModules();

// Walks the chain of `behind` bytes and hands each module its block; the
// blocks not taken in go to `into.kept`, in file order.
void readBlocks(std::uint64_t behind, const BytesAt& bytesAt, DesignFileContents& into);

// Every module's block for `design`, appended to `out`.
void writeBlocks(const model::Design& design, std::string& out);

// One line for each known kind of block the file held and the design could
// not take in, in the order of the modules: "The design matrices in <path>
// could not be read and are left out", shown once the design is.
std::vector<std::string> leftOutMessages(const model::KeptBlocks& kept, const std::string& path);

// The tag a kept block has ("TDMX").
std::string_view tagOf(const model::KeptBlock& block);

} // namespace io
