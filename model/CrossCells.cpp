#include "model/CrossCells.h"

#include "model/CopiedRows.h"
#include "model/Design.h"
#include "model/PreOrder.h"

#include <algorithm>

namespace model {

CellValue CrossCellStore::cell(MatrixKind kind, const Node* a, const Node* b) const
{
    const auto it = m_cells.find({kind, a, b});
    return it == m_cells.end() ? CellValue::NotAssessed : it->second;
}

CellValue CrossCellStore::set(MatrixKind kind, const Node* a, const Node* b, CellValue value)
{
    const CrossKey key{kind, a, b};
    const auto it = m_cells.find(key);
    const CellValue old = it == m_cells.end() ? CellValue::NotAssessed : it->second;
    if (value == CellValue::NotAssessed) {
        if (it != m_cells.end())
            m_cells.erase(it);
    } else if (it != m_cells.end()) {
        it->second = value;
    } else {
        m_cells.emplace(key, value);
    }
    return old;
}

bool crossPair(const DesignTree& fr, const Node* a, const Node* b)
{
    return a != b && a->parent != b->parent && !fr.isInSubtree(a, b) && !fr.isInSubtree(b, a);
}

// Cells, each with the value it held before (or after): swapping them with
// the store undoes and redoes alike.
class CrossCellAspect::CellsChange final : public AspectChange {
public:
    CellsChange(CrossCellAspect& aspect, std::vector<Held>&& held) : m_aspect(aspect), m_held(std::move(held)) {}
    void apply() override { m_aspect.swapCells(m_held); }
    std::size_t bytes() const override { return m_held.size() * sizeof(Held); }

private:
    CrossCellAspect& m_aspect;
    std::vector<Held> m_held;
};

bool CrossCellAspect::setCell(MatrixKind kind, const Node* a, const Node* b, CellValue value)
{
    const CellValue old = m_store.set(kind, a, b, value);
    if (old == value)
        return false;
    changed({{{kind, a, b}, old}});
    return true;
}

void CrossCellAspect::replace(CrossCellStore&& store)
{
    if (m_store.empty() && store.empty())
        return;
    m_store = std::move(store);
    noteChanged();
}

void CrossCellAspect::swapCells(std::span<Held> held)
{
    for (Held& h : held)
        h.value = m_store.set(h.key.kind, h.key.a, h.key.b, h.value);
    noteChanged();
}

void CrossCellAspect::changed(std::vector<Held>&& before)
{
    if (before.empty())
        return;
    if (recording())
        record(std::make_unique<CellsChange>(*this, std::move(before)));
    noteChanged();
}

template <typename Pred> void CrossCellAspect::takeWhere(Pred goes)
{
    std::vector<Held> taken;
    for (const auto& [key, value] : m_store.all())
        if (goes(key))
            taken.push_back({key, value});
    for (const Held& h : taken)
        m_store.set(h.key.kind, h.key.a, h.key.b, CellValue::NotAssessed);
    changed(std::move(taken));
}

// Linear in the cells, each told by the depth of its rows.
void CrossCellAspect::subtreeLeaving(const Node* top)
{
    if (m_store.empty())
        return;
    const DesignTree& fr = design().tree(TreeId::FR);
    takeWhere([&](const CrossKey& k) {
        return k.a == top || k.b == top || fr.isInSubtree(k.a, top) || fr.isInSubtree(k.b, top);
    });
}

// After a drop: a pair the move made siblings, or one inside the other, has no cross cell.
void CrossCellAspect::subtreeArrived(const Node* top)
{
    if (m_store.empty())
        return;
    const DesignTree& fr = design().tree(TreeId::FR);
    takeWhere([&](const CrossKey& k) {
        const bool moved = k.a == top || k.b == top || fr.isInSubtree(k.a, top) || fr.isInSubtree(k.b, top);
        return moved && !crossPair(fr, k.a, k.b);
    });
}

// The copy gets the cells that lie inside the original, both rows in it.
void CrossCellAspect::subtreeCopied(const Node* from, const Node* to)
{
    if (m_store.empty())
        return;
    std::unordered_map<const Node*, const Node*> copyOf;
    std::vector<std::pair<const Node*, const Node*>> stack{{from, to}};
    while (!stack.empty()) {
        const auto [src, dst] = stack.back();
        stack.pop_back();
        copyOf.emplace(src, dst);
        for (std::size_t i = 0; i < src->children.size(); ++i)
            stack.emplace_back(src->children[i], dst->children[i]);
    }
    std::vector<Held> added;
    for (const auto& [key, value] : m_store.all()) {
        const auto a = copyOf.find(key.a);
        const auto b = copyOf.find(key.b);
        if (a != copyOf.end() && b != copyOf.end())
            added.push_back({{key.kind, a->second, b->second}, value});
    }
    for (Held& h : added)
        h.value = m_store.set(h.key.kind, h.key.a, h.key.b, h.value);
    changed(std::move(added));
}

void CrossCellAspect::copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const
{
    if (m_store.empty())
        return;
    std::unordered_map<const Node*, std::uint32_t> place;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        place.emplace(nodes[i], static_cast<std::uint32_t>(i));
    for (const auto& [key, value] : m_store.all()) {
        const auto a = place.find(key.a);
        const auto b = place.find(key.b);
        if (a != place.end() && b != place.end())
            rows.crossCells.push_back({key.kind, a->second, b->second, value});
    }
    std::sort(rows.crossCells.begin(), rows.crossCells.end());
}

// The copy is well-formed (the paste checked it): every pair is a cross pair in the copy.
void CrossCellAspect::pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows)
{
    if (rows.crossCells.empty())
        return;
    std::vector<Held> added;
    added.reserve(rows.crossCells.size());
    for (const CopiedCrossCell& c : rows.crossCells) {
        const CrossKey key{c.kind, nodes[c.a], nodes[c.b]};
        added.push_back({key, m_store.set(key.kind, key.a, key.b, c.value)});
    }
    changed(std::move(added));
}

} // namespace model
