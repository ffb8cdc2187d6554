#pragma once
// The design matrices of a design, stored sparsely.
//
// Every node row with two or more children (and the top level, keyed by the
// FR tree's hidden root) has two matrices over its children: FR-DP (does DP
// child j affect FR child i?) and DP-PV (does PV child j affect DP child i?).
// The three trees keep the same shape, so the FR tree's nodes key both. Only
// assessed off-diagonal cells are held, keyed by the parent node and the two
// child nodes: node pointers stay valid across moves, undo and redo, so
// reordering children needs no remapping, and a design whose root has 100,000
// children holds nothing until a cell is assessed.
//
// The store holds cells only of parents and children linked in the tree; the
// design keeps it so through every command (see Design).

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace model {

class Node;

enum class MatrixKind : std::uint8_t { FrDp = 1, DpPv = 2 };
inline constexpr int kMatrixKindCount = 2;
inline constexpr std::array<MatrixKind, kMatrixKindCount> kMatrixKinds = {MatrixKind::FrDp, MatrixKind::DpPv};
inline constexpr std::size_t slot(MatrixKind kind) { return static_cast<std::size_t>(kind) - 1; }

// Off-diagonal cells start not assessed; the diagonal is always X.
enum class CellValue : std::uint8_t { NotAssessed = 0, X = 1, O = 2 };

// One cell with its place, as commands record it (the value is the one held
// apart from the store: before or after) and as the store hands cells out.
struct StoredCell {
    const Node* parent;
    MatrixKind kind;
    const Node* row;
    const Node* column;
    CellValue value;
};

// A cell by the children's positions: row i, column j.
struct IndexedCell {
    std::uint32_t row;
    std::uint32_t column;
    CellValue value;
    bool operator==(const IndexedCell&) const = default;
};

class MatrixStore {
public:
    // No assessed cell anywhere: every hook of the commands stops here.
    bool empty() const { return m_parents.empty(); }
    std::size_t cellCount() const { return m_cellCount; }
    std::size_t parentCount() const { return m_parents.size(); }
    void clear();

    CellValue cell(const Node* parent, MatrixKind kind, const Node* row, const Node* column) const;
    // Sets one cell (NotAssessed removes it) and returns what it held.
    CellValue set(const Node* parent, MatrixKind kind, const Node* row, const Node* column, CellValue value);
    // Room for `cells` more cells in one matrix, before a reader sets at least one of them.
    void reserve(const Node* parent, MatrixKind kind, std::size_t cells);

    bool hasCells(const Node* parent) const { return m_parents.contains(parent); }
    std::size_t cellCount(const Node* parent, MatrixKind kind) const;
    // The cells of one matrix by the children's positions, ordered by row,
    // then column, or in no order at all (cheaper, for classifying).
    enum class Order { RowThenColumn, Any };
    std::vector<IndexedCell> indexedCells(const Node* parent, MatrixKind kind, Order order = Order::RowThenColumn) const;
    // Every parent with an assessed cell, in no particular order.
    std::vector<const Node*> parents() const;

    // Takes out every cell in `child`'s row or column of its parent's
    // matrices, resp. every cell of `parent`, appending them to `taken`.
    void takeChild(const Node* parent, const Node* child, std::vector<StoredCell>& taken);
    void takeParent(const Node* parent, std::vector<StoredCell>& taken);

private:
    struct CellKey {
        const Node* row;
        const Node* column;
        bool operator==(const CellKey&) const = default;
    };
    struct CellKeyHash {
        std::size_t operator()(const CellKey& k) const noexcept;
    };
    using CellMap = std::unordered_map<CellKey, CellValue, CellKeyHash>;
    using ParentCells = std::array<CellMap, kMatrixKindCount>;

    template <typename Keep> void take(const Node* parent, std::vector<StoredCell>& taken, Keep&& keep);

    std::unordered_map<const Node*, ParentCells> m_parents; // never an entry without a cell
    std::size_t m_cellCount = 0;
};

} // namespace model
