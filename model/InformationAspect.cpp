#include "model/InformationAspect.h"

#include "model/CopiedRows.h"
#include "model/Design.h"
#include "model/PreOrder.h"

namespace model {

// Nodes, each with the ranges it held before (or after): swapping them with
// the store undoes and redoes alike.
class InformationAspect::RangesChange final : public AspectChange {
public:
    RangesChange(InformationAspect& aspect, std::vector<Held>&& held) : m_aspect(aspect), m_held(std::move(held)) {}
    void apply() override { m_aspect.swapRanges(m_held); }
    std::size_t bytes() const override { return m_held.size() * sizeof(Held); }

private:
    InformationAspect& m_aspect;
    std::vector<Held> m_held;
};

bool InformationAspect::setRanges(const Node* node, FrRanges ranges)
{
    const FrRanges* now = m_store.find(node);
    if (now ? *now == ranges : ranges.empty())
        return false;
    FrRanges old = m_store.set(node, std::move(ranges));
    changed({{node, std::move(old)}});
    return true;
}

void InformationAspect::replace(RangeStore&& store)
{
    if (m_store.empty() && store.empty())
        return;
    m_store = std::move(store);
    noteChanged();
}

void InformationAspect::swapRanges(std::span<Held> held)
{
    for (Held& h : held)
        h.second = m_store.set(h.first, std::move(h.second));
    noteChanged();
}

void InformationAspect::changed(std::vector<Held>&& before)
{
    if (before.empty())
        return;
    if (recording())
        record(std::make_unique<RangesChange>(*this, std::move(before)));
    noteChanged();
}

// Found by whichever is shorter: the rows with ranges, or the subtree.
void InformationAspect::subtreeLeaving(const Node* top)
{
    if (m_store.empty())
        return;
    std::vector<Held> taken;
    const DesignTree& fr = design().tree(TreeId::FR);
    if (m_store.size() < static_cast<std::size_t>(fr.subtreeSize(top))) {
        for (const auto& [node, ranges] : m_store.all())
            if (node == top || fr.isInSubtree(node, top))
                taken.emplace_back(node, FrRanges{});
    } else {
        preOrder(top, [&](const Node* n, std::size_t) {
            if (m_store.find(n))
                taken.emplace_back(n, FrRanges{});
        });
    }
    for (Held& h : taken)
        h.second = m_store.set(h.first, {});
    changed(std::move(taken));
}

void InformationAspect::subtreeCopied(const Node* from, const Node* to)
{
    if (m_store.empty())
        return;
    std::vector<Held> added;
    std::vector<std::pair<const Node*, const Node*>> stack{{from, to}};
    while (!stack.empty()) {
        const auto [src, dst] = stack.back();
        stack.pop_back();
        if (const FrRanges* r = m_store.find(src))
            added.emplace_back(dst, m_store.set(dst, *r));
        for (std::size_t i = 0; i < src->children.size(); ++i)
            stack.emplace_back(src->children[i], dst->children[i]);
    }
    changed(std::move(added));
}

void InformationAspect::copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const
{
    if (m_store.empty())
        return;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (const FrRanges* r = m_store.find(nodes[i]))
            rows.ranges.push_back({static_cast<std::uint32_t>(i), *r});
}

// The copy is well-formed (the paste checked it), so every place is a pasted row.
void InformationAspect::pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows)
{
    if (rows.ranges.empty())
        return;
    std::vector<Held> added;
    added.reserve(rows.ranges.size());
    for (const CopiedRanges& r : rows.ranges)
        added.emplace_back(nodes[r.row], m_store.set(nodes[r.row], r.ranges));
    changed(std::move(added));
}

} // namespace model
