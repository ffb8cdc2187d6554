#include "model/MatrixAspect.h"

#include "model/CopiedRows.h"
#include "model/Design.h"
#include "model/PreOrder.h"
#include "model/TreeObserver.h"

namespace model {

// Cells, each with the value it held before (or after): swapping them with
// the store undoes and redoes alike.
class MatrixAspect::CellsChange final : public AspectChange {
public:
    CellsChange(MatrixAspect& aspect, std::vector<StoredCell>&& cells) : m_aspect(aspect), m_cells(std::move(cells)) {}
    void apply() override { m_aspect.swapCells(m_cells); }
    std::size_t bytes() const override { return m_cells.size() * sizeof(StoredCell); }

private:
    MatrixAspect& m_aspect;
    std::vector<StoredCell> m_cells;
};

bool MatrixAspect::setCell(const Node* parent, MatrixKind kind, const Node* row, const Node* column, CellValue value)
{
    const CellValue old = m_store.set(parent, kind, row, column, value);
    if (old == value)
        return false;
    if (recording())
        record(std::make_unique<CellsChange>(*this, std::vector<StoredCell>{StoredCell{parent, kind, row, column, old}}));
    announce(parent);
    return true;
}

void MatrixAspect::replace(MatrixStore&& store)
{
    if (m_store.empty() && store.empty())
        return;
    m_store = std::move(store);
    announce(nullptr);
}

void MatrixAspect::swapCells(std::span<StoredCell> cells)
{
    for (StoredCell& c : cells)
        c.value = m_store.set(c.parent, c.kind, c.row, c.column, c.value);
    announce(nullptr);
}

void MatrixAspect::announce(const Node* parent)
{
    noteChanged();
    for (TreeObserver* o : observers())
        o->matricesChanged(parent);
}

void MatrixAspect::cellsChanged(std::vector<StoredCell>&& before)
{
    if (before.empty())
        return;
    if (recording())
        record(std::make_unique<CellsChange>(*this, std::move(before)));
    announce(nullptr);
}

void MatrixAspect::childLeavingParent(const Node* child)
{
    if (m_store.empty())
        return;
    std::vector<StoredCell> taken;
    m_store.takeChild(child->parent, child, taken);
    cellsChanged(std::move(taken));
}

// A subtree that goes takes its row and column in its parent's matrices and
// the matrices of every parent inside it, found by whichever is shorter: the
// parents with cells, or the subtree.
void MatrixAspect::subtreeLeaving(const Node* top)
{
    if (m_store.empty())
        return;
    std::vector<StoredCell> taken;
    m_store.takeChild(top->parent, top, taken);
    const DesignTree& fr = design().tree(TreeId::FR);
    if (m_store.parentCount() < static_cast<std::size_t>(fr.subtreeSize(top))) {
        for (const Node* p : m_store.parents())
            if (fr.isInSubtree(p, top))
                m_store.takeParent(p, taken);
    } else {
        preOrder(top, [&](const Node* n, std::size_t) {
            if (!n->children.empty()) // only a node with children is a matrix parent
                m_store.takeParent(n, taken);
        });
    }
    cellsChanged(std::move(taken));
}

// The copy of a subtree gets the matrices inside the original; its own row and
// column in its parent's matrices stay not assessed.
void MatrixAspect::subtreeCopied(const Node* from, const Node* to)
{
    if (m_store.empty())
        return;
    std::vector<StoredCell> added;
    std::vector<std::pair<const Node*, const Node*>> stack{{from, to}};
    while (!stack.empty()) {
        const auto [src, dst] = stack.back();
        stack.pop_back();
        if (m_store.hasCells(src))
            for (MatrixKind kind : kMatrixKinds)
                for (const IndexedCell& c : m_store.indexedCells(src, kind)) {
                    const Node* r = dst->children[c.row];
                    const Node* col = dst->children[c.column];
                    m_store.set(dst, kind, r, col, c.value);
                    added.push_back({dst, kind, r, col, CellValue::NotAssessed});
                }
        for (std::size_t i = 0; i < src->children.size(); ++i)
            if (!src->children[i]->children.empty())
                stack.emplace_back(src->children[i], dst->children[i]);
    }
    cellsChanged(std::move(added));
}

void MatrixAspect::copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const
{
    if (m_store.empty())
        return;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!m_store.hasCells(nodes[i]))
            continue;
        for (MatrixKind kind : kMatrixKinds) {
            std::vector<IndexedCell> cells = m_store.indexedCells(nodes[i], kind);
            if (!cells.empty())
                rows.matrices.push_back({static_cast<std::uint32_t>(i), kind, std::move(cells)});
        }
    }
}

// The copy is well-formed (the paste checked it), so every cell fits its parent.
void MatrixAspect::pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows)
{
    if (rows.matrices.empty())
        return;
    std::vector<StoredCell> added;
    for (const CopiedMatrix& m : rows.matrices) {
        const Node* parent = nodes[m.parent];
        m_store.reserve(parent, m.kind, m.cells.size());
        for (const IndexedCell& c : m.cells) {
            const Node* r = parent->children[c.row];
            const Node* col = parent->children[c.column];
            m_store.set(parent, m.kind, r, col, c.value);
            added.push_back({parent, m.kind, r, col, CellValue::NotAssessed});
        }
    }
    cellsChanged(std::move(added));
}

} // namespace model
