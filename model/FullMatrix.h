#pragma once
// The whole design at once, over its leaf rows (rows without children) in row
// order: the full design matrix of each kind, and whether the levels agree.
//
// A leaf pair (a, b) of the full matrix: the diagonal is X; siblings take
// their parent's cell; any other pair its cross cell, or O when a pair above
// holds O ("O above means O below"), or not assessed. A pair above is
// (a', b') with a' equal to or above a, b' equal to or above b, neither the
// same nor one inside the other, other than (a, b): only the rows between a
// and b's common ancestor qualify, and the topmost such pair is the sibling
// pair under it.
//
// The leaves below a row are a run of the leaf order, so an O at (a', b')
// makes a rectangle of O in the full matrix: its counts come from the area of
// a union of rectangles, never from visiting N x N pairs.

#include "model/CrossCells.h"
#include "model/MatrixClassification.h"
#include "model/MatrixStore.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace model {

class DesignTree;
using NodePair = std::pair<const Node*, const Node*>;

// A full matrix over more leaves than this is not shown cell by cell (the
// window and the documents give its classification alone).
inline constexpr int kMostFullLeaves = 400;

// The leaf rows in row order, and for every row the run of leaves below it.
class LeafIndex {
public:
    explicit LeafIndex(const DesignTree& fr);
    std::size_t size() const { return m_leaves.size(); }
    std::span<const Node* const> leaves() const { return m_leaves; }
    // The leaves first(n) .. end(n)-1 are n itself or below it.
    std::uint32_t first(const Node* n) const;
    std::uint32_t end(const Node* n) const;

private:
    const DesignTree& m_fr;
    std::vector<const Node*> m_leaves;
    std::vector<std::uint32_t> m_first; // by row
    std::vector<std::uint32_t> m_end;
};

// The pair above (a, b) that holds O, the topmost; nothing when none does.
std::optional<NodePair> oPairAbove(const MatrixStore& matrices, const CrossCellStore& cross, MatrixKind kind,
                                   const Node* a, const Node* b);

// "FR 1 and DP 2 are marked O one level up" ("DP 1 and PV 2" for DP-PV),
// naming the pair above by the outline numbers of its rows.
std::string markedOMessage(MatrixKind kind, NodePair above);

// The full matrix classified like one matrix, positions being leaf indexes.
// Linear in the cells stored (times a logarithm), whatever the leaf count.
Classification classifyFull(const MatrixStore& matrices, const CrossCellStore& cross, MatrixKind kind,
                            const LeafIndex& leaves);

// One cell of the full matrix as the window draws it.
enum class FullCell : std::uint8_t { NotAssessed, X, O, ImpliedO };
// All N x N cells, row by row; empty when N > kMostFullLeaves.
std::vector<FullCell> fullMatrixCells(const MatrixStore& matrices, const CrossCellStore& cross, MatrixKind kind,
                                      const LeafIndex& leaves);

// Where the levels do not agree, found in the cells stored:
//   XBelowO       a cross cell holds X where a pair above holds O;
//   XNotBorneOut  a pair of which at least one row has children holds X
//                 (a sibling or a cross cell), yet every leaf pair below it
//                 is O, stored or made O by an O at or below the X.
struct Finding {
    enum class Type { XBelowO, XNotBorneOut };
    Type type;
    MatrixKind kind;
    const Node* a;
    const Node* b;
};
// Ordered by a's row, FR-DP before DP-PV, then b's row.
std::vector<Finding> consistencyFindings(const DesignTree& fr, const MatrixStore& matrices, const CrossCellStore& cross);

} // namespace model
