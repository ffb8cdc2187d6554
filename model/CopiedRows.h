#pragma once
// Node rows taken out of a design or about to go into one: whole subtrees of
// all three trees at once. The three trees always keep the same shape, so
// the rows hold one level each and three texts, the FR, DP and PV texts of
// the row, byte for byte as the trees store them.
//
//   levels 0 1 1 2 0   is   a          (two subtrees, a and e)
//                             b
//                             c
//                               d
//                           e

#include "model/TreeId.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace model {

class Design;

struct CopiedRows {
    std::vector<std::uint32_t> levels; // row order, 0 for the top of each subtree
    std::array<std::vector<std::string>, kTreeCount> texts; // one per row in each tree
    std::size_t labelsCut = 0; // labels a paste read cut to kLongestLabel (see Limits.h)

    std::size_t size() const { return levels.size(); }
    bool empty() const { return levels.empty(); }
    std::vector<std::string>& textsOf(TreeId id) { return texts[static_cast<std::size_t>(index(id))]; }
    const std::vector<std::string>& textsOf(TreeId id) const { return texts[static_cast<std::size_t>(index(id))]; }

    void append(std::uint32_t level, std::array<std::string, kTreeCount> rowTexts);
    // The first row at level 0, no row more than one level deeper than the
    // row before it, and a text for every row in every tree.
    bool wellFormed() const;
};

// Row k of the design with everything below it, in all three trees; empty
// when there is no row k. Linear in the size of the subtree.
CopiedRows copySubtree(const Design& design, int k);

} // namespace model
