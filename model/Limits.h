#pragma once
// How deep and how long what comes into a design from outside may be: rows
// pasted from a clipboard, a label typed or pasted into the label editor.
// Every row stores its full outline number in all three trees, so a chain n
// levels deep costs some n² bytes; and a label of megabytes freezes the
// views that lay it out. A design file is read as it stands: a design that
// already holds deeper rows or longer labels opens and keeps them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace model {

// The deepest level (the top level is 0) whose rows Expand all shows: the
// views expand at most this many levels, and a paste may reach no deeper.
inline constexpr std::uint32_t kDeepestLevel = 4096;

// The longest label, in bytes (one a character), a paste or the label
// editor leaves; the outline number in front of it is not counted.
inline constexpr std::size_t kLongestLabel = 65536;

// The longest note of a node, in bytes of UTF-8.
inline constexpr std::size_t kLongestNote = 1048576;

// Whether a pasted row `level` levels below the pasted top rows lies no
// deeper than kDeepestLevel, the top rows taking level `placeLevel`.
inline bool fitsBelow(std::uint32_t placeLevel, std::uint32_t level)
{
    return std::uint64_t{placeLevel} + level <= kDeepestLevel;
}

// The refusal of rows that do not: "Cannot paste: the rows would lie deeper than level 4096".
std::string tooDeepToPaste();

// The node text with its label cut to kLongestLabel bytes, its number kept.
std::string_view withLabelCut(std::string_view text);

} // namespace model
