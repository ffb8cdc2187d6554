#pragma once
// Cells between rows that are not siblings: a cross cell (kind, a, b) says
// whether DP b affects FR a (FR-DP), or PV b affects DP a (DP-PV), for two
// rows that are neither siblings nor one inside the other. Rows are keyed by
// their FR nodes, as the sibling matrices are; only assessed cells are kept.
//
// As an aspect of the FR nodes (see NodeAspect) the cells go with their rows:
// a subtree that goes takes every cell it is a side of, a duplicate or a
// paste gets copies of the cells that lie inside what was copied, and a drop
// that makes a pair siblings or one inside the other takes that cell (the
// pair has a sibling cell, or none, from then on). Every cell taken or put in
// is recorded with the value it held, so undo gives back exactly those.

#include "model/MatrixStore.h"
#include "model/NodeAspect.h"

#include <cstddef>
#include <functional>
#include <span>
#include <unordered_map>
#include <vector>

namespace model {

class DesignTree;

struct CrossKey {
    MatrixKind kind;
    const Node* a; // the FR side for FR-DP, the DP side for DP-PV
    const Node* b;
    bool operator==(const CrossKey&) const = default;
};

struct CrossKeyHash {
    std::size_t operator()(const CrossKey& k) const noexcept
    {
        const std::size_t h = std::hash<const void*>()(k.a) * 31 + std::hash<const void*>()(k.b);
        return h * 3 + static_cast<std::size_t>(k.kind);
    }
};

class CrossCellStore {
public:
    CellValue cell(MatrixKind kind, const Node* a, const Node* b) const;
    // Sets the cell (NotAssessed takes it out) and returns what it held.
    CellValue set(MatrixKind kind, const Node* a, const Node* b, CellValue value);
    bool empty() const { return m_cells.empty(); }
    std::size_t size() const { return m_cells.size(); }
    void clear() { m_cells.clear(); }
    void reserve(std::size_t n) { m_cells.reserve(n); }
    const std::unordered_map<CrossKey, CellValue, CrossKeyHash>& all() const { return m_cells; }

private:
    std::unordered_map<CrossKey, CellValue, CrossKeyHash> m_cells;
};

// Whether two rows may hold a cross cell: not the same, not siblings, neither
// inside the other. O(depth).
bool crossPair(const DesignTree& fr, const Node* a, const Node* b);

class CrossCellAspect final : public NodeAspect {
public:
    const CrossCellStore& store() const { return m_store; }
    // One cell of a cross pair; false, changing nothing, when it holds `value` already.
    bool setCell(MatrixKind kind, const Node* a, const Node* b, CellValue value);
    // Opening a design: not recorded.
    void replace(CrossCellStore&& store);

    void subtreeLeaving(const Node* top) override;
    void childLeavingParent(const Node*) override {}
    void subtreeArrived(const Node* top) override;
    void subtreeCopied(const Node* from, const Node* to) override;
    void copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const override;
    void pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows) override;
    void treesReplaced() override { replace({}); }

private:
    struct Held {
        CrossKey key;
        CellValue value;
    };
    class CellsChange;
    void swapCells(std::span<Held> held);
    void changed(std::vector<Held>&& before);
    // Takes every cell for which `goes` says so.
    template <typename Pred> void takeWhere(Pred goes);

    CrossCellStore m_store;
};

} // namespace model
