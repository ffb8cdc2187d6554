#pragma once
// Which row of one design is which row of another, for the comparison of two
// designs (see DesignDiff.h). A row is its three labels (FR, DP, PV, behind
// the outline numbers, in UTF-8); rows are matched by what they say and where
// they stand, never by their numbers:
//   1. rows whose three labels occur once in each design;
//   2. then, below every pair of matched parents (the two top levels first),
//      their children that are still free: the same three labels, then two
//      of the three the same, then a child that stands where the other did
//      (the first child, or right behind the match of its previous sibling).
// So a row inserted at the top leaves every later row matched, a moved
// subtree keeps its rows, and a row whose three labels changed is matched
// only where it stood. Linear in the rows, with hashing.

#include "model/TreeId.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace model {

class Design;

// The labels of every row of a design, and their hashes.
class RowLabels {
public:
    explicit RowLabels(const Design& design);
    std::string_view label(TreeId id, int row) const { return m_labels[static_cast<std::size_t>(index(id))][static_cast<std::size_t>(row)]; }
    std::uint64_t hash(TreeId id, int row) const { return m_hashes[static_cast<std::size_t>(index(id))][static_cast<std::size_t>(row)]; }

private:
    std::array<std::vector<std::string_view>, kTreeCount> m_labels;
    std::array<std::vector<std::uint64_t>, kTreeCount> m_hashes;
    std::deque<std::string> m_owned; // labels that are not the node's own bytes
};

struct RowMatch {
    std::vector<int> oldRowOf; // per row of the newer design; -1: new
    std::vector<int> newRowOf; // per row of the older design; -1: gone
};

RowMatch matchRows(const Design& older, const RowLabels& oldLabels,
                   const Design& newer, const RowLabels& newLabels);

} // namespace model
