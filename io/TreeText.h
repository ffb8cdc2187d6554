#pragma once
// The text form of one design tree: one line per node in row order, the level
// as leading tabs, the node text byte for byte, CR LF after every line.

#include "model/DesignTree.h"

#include <atomic>
#include <cstddef>
#include <exception>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace io {

// Appends the tree text of `tree` to `out`; an empty tree appends nothing.
void writeTreeText(const model::DesignTree& tree, std::string& out);

// What an encode throws when it was asked to stop part-way (a copy made on
// another thread gives way to the user's next step).
struct EncodeStopped : std::exception {
    const char* what() const noexcept override { return "the encode was stopped"; }
};

// The same, looking at `stop` every few thousand rows (a fraction of a
// millisecond apart) and throwing EncodeStopped once it is set; `out` then
// holds part of the text.
void writeTreeText(const model::DesignTree& tree, std::string& out, const std::atomic<bool>* stop);

// The number of bytes writeTreeText appends (to size a buffer once).
std::size_t treeTextSize(const model::DesignTree& tree);

// A new tree built from a tree text. Lines end at CR, LF, CR LF or LF CR (the
// last giving an extra empty line); a NUL ends the text. Leading tabs and
// spaces each count one level. Throws model::UserError
// "Invalid level (%d) for item "%s"" for a line two or more levels deeper
// than the line before it.
model::DesignTree readTreeText(std::string_view text);

// The level of every node in row order: two trees have the same shape exactly
// when their levels are equal. (A text of 4 GB or less has levels below 2^32.)
using TreeLevels = std::vector<std::uint32_t>;

// readTreeText that also appends the levels of the tree it reads to `levels`.
model::DesignTree readTreeText(std::string_view text, TreeLevels& levels);

// The same into the empty `tree`, over bytes that `keeper` keeps alive: the
// tree keeps the keeper, and its node texts stay in those bytes, uncopied.
// False when a NUL ended the text before its last byte.
bool readTreeTextInto(std::string_view text, std::shared_ptr<const void> keeper, TreeLevels& levels,
                      model::DesignTree& tree);

// Where a tree text can be cut so that both parts read on their own and,
// joined, give the same tree: the start of a top-level line (behind an LF,
// at a byte that neither indents nor ends a line). The first such point at
// or after `from`, or std::string_view::npos.
std::size_t topLevelLineFrom(std::string_view text, std::size_t from);

} // namespace io
