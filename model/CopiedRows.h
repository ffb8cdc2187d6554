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
//
// The design matrices inside the copied subtrees travel with them: those of
// every copied row with two or more children, keyed by the row's place in
// the copy and its children's positions; so do the information ranges, the
// cross cells between copied rows, the notes and the full labels, each in a
// field of its own that the clipboard's bytes hold. A copy's top rows join
// their new parent not assessed, as a duplicate does. Another aspect of the
// nodes (see NodeAspect) carries its own under its name in `aspects`, within
// one run of the program.

#include "model/InformationRanges.h"
#include "model/MatrixStore.h"
#include "model/RowTexts.h"
#include "model/TreeId.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace model {

class Design;

// One assessed matrix over the children of copied row `parent`.
struct CopiedMatrix {
    std::uint32_t parent;           // the row's place in the copy
    MatrixKind kind;
    std::vector<IndexedCell> cells; // assessed, off-diagonal, by row then column
    bool operator==(const CopiedMatrix&) const = default;
};

// The information ranges of copied row `row` (its place in the copy).
struct CopiedRanges {
    std::uint32_t row;
    FrRanges ranges; // valid and not empty
    bool operator==(const CopiedRanges&) const = default;
};

// A cross cell between copied rows `a` and `b` (their places in the copy).
struct CopiedCrossCell {
    MatrixKind kind;
    std::uint32_t a;
    std::uint32_t b;
    CellValue value;
    auto operator<=>(const CopiedCrossCell&) const = default; // by kind, a, b
};

// The notes, or the full labels, of copied row `row` (its place in the copy).
struct CopiedRowTexts {
    std::uint32_t row;
    RowTextArray texts; // valid UTF-8, not all empty
    bool operator==(const CopiedRowTexts&) const = default;
};

struct CopiedRows {
    std::vector<std::uint32_t> levels; // row order, 0 for the top of each subtree
    std::array<std::vector<std::string>, kTreeCount> texts; // one per row in each tree
    std::vector<CopiedMatrix> matrices; // by parent, FR-DP before DP-PV; none empty
    std::vector<CopiedRanges> ranges;   // by row, each row once
    std::vector<CopiedCrossCell> crossCells; // by kind, a, b; each a cross pair within the copy
    std::vector<CopiedRowTexts> notes;      // by row, each row once
    std::vector<CopiedRowTexts> fullLabels; // by row, each row once (see RowTexts.h)
    std::map<std::string, std::shared_ptr<const void>, std::less<>> aspects; // each aspect checks its own
    std::size_t labelsCut = 0; // labels a paste read cut to kLongestLabel (see Limits.h)

    std::size_t size() const { return levels.size(); }
    bool empty() const { return levels.empty(); }
    std::vector<std::string>& textsOf(TreeId id) { return texts[static_cast<std::size_t>(index(id))]; }
    const std::vector<std::string>& textsOf(TreeId id) const { return texts[static_cast<std::size_t>(index(id))]; }

    void append(std::uint32_t level, std::array<std::string, kTreeCount> rowTexts);
    // The number of children of every row.
    std::vector<std::uint32_t> childCounts() const;
    // The first row at level 0, no row more than one level deeper than the
    // row before it, a text for every row in every tree, and matrices in
    // their order, each over a row's children and holding only cells a
    // design can hold (so at most n(n-1) for n children), and valid ranges
    // on rows of the copy, in row order.
    bool wellFormed() const;

private:
    bool crossCellsFit() const;
    bool rowTextsFit(const std::vector<CopiedRowTexts>& rowTexts) const;
};

// Row k of the design with everything below it, in all three trees, and the
// matrices and ranges of the rows copied; empty when there is no row k. Linear in the
// size of the subtree and the cells copied.
CopiedRows copySubtree(const Design& design, int k);

} // namespace model
