#pragma once
// What changed from one design to another, in the design's own terms: rows
// added, removed, moved and relabelled, titles, matrix cells and classes,
// cross cells, ranges and information content, notes, level colours. Rows
// are matched by their content and place, not by outline number, so a row
// inserted at the top does not make every later row look relabelled.
//
// The changes come in row order of the newer design; a removed row stands
// where it was in the older one. Each carries the line `--diff` prints and
// the rows it concerns, so the window can mark them and step through them.

#include "model/TreeId.h"

#include <cstddef>
#include <string>
#include <vector>

namespace model {

class Design;

struct DesignChange {
    enum class Kind {
        RowAdded,     // newRow (its subtree with it: `rows` rows)
        RowRemoved,   // oldRow (its subtree with it: `rows` rows)
        RowMoved,     // oldRow -> newRow
        Relabelled,   // oldRow -> newRow, in `tree`
        TitleChanged, // in `tree`
        CellChanged,  // a matrix or cross cell; newRow the row it is filed under
        ClassChanged, // a matrix's class; newRow its parent (kNoRow: the top level)
        RangesChanged,
        NoteChanged,  // in `tree`
        LookChanged,  // a level style
    };
    Kind kind;
    int oldRow = -1;        // -1 where the change has no row in the older design
    int newRow = -1;        // -1 where it has none in the newer one
    TreeId tree = TreeId::FR;
    std::size_t rows = 1;   // for RowAdded / RowRemoved: the rows of the subtree
    std::string line;       // UTF-8, as printed: "1.2 FR: I 0.415 → 0.000 bits"
};

struct DesignDiff {
    std::vector<DesignChange> changes;
    // For each row of the newer design, its row in the older one, or -1 when it is new.
    std::vector<int> oldRowOf;
    bool same() const { return changes.empty(); }
};

DesignDiff compareDesigns(const Design& older, const Design& newer);

} // namespace model
