#pragma once
// The design matrices as an aspect of the FR nodes (see NodeAspect): a child
// that leaves its parent takes its row and column out of the parent's
// matrices, a subtree that goes takes the matrices inside it, a duplicate
// gets copies of the matrices inside the original, and copied rows carry
// theirs (CopiedRows::matrices). A new child joins not assessed, which costs
// nothing: only assessed cells are stored. Every cell taken or put in is
// recorded with the value it held, so undo gives back exactly those cells.

#include "model/MatrixStore.h"
#include "model/NodeAspect.h"

#include <span>
#include <vector>

namespace model {

class MatrixAspect final : public NodeAspect {
public:
    const MatrixStore& store() const { return m_store; }
    // One cell; false, changing nothing, when it holds `value` already.
    bool setCell(const Node* parent, MatrixKind kind, const Node* row, const Node* column, CellValue value);
    // Opening a design: not recorded.
    void replace(MatrixStore&& store);
    // Every cell takes the value given, which then holds the cell's old one.
    void swapCells(std::span<StoredCell> cells);

    void subtreeLeaving(const Node* top) override;
    void childLeavingParent(const Node* child) override;
    void subtreeCopied(const Node* from, const Node* to) override;
    void copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const override;
    void pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows) override;
    void treesReplaced() override { replace({}); }

private:
    class CellsChange;
    void cellsChanged(std::vector<StoredCell>&& before);
    void announce(const Node* parent);

    MatrixStore m_store;
};

} // namespace model
