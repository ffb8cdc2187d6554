#pragma once
// An aspect that keeps one value per row, keyed by the row's FR node (see
// NodeAspect): the information ranges, the notes and the full labels are
// each one. A value goes where its row goes: a subtree that goes takes its
// values along, a duplicate gets copies of those inside the original, copied
// rows carry theirs in a field of CopiedRows, and every change is recorded
// with the value a node held, so undo gives back exactly that.
//
// Store: using Value; find(node) -> const Value*; set(node, value) -> the
// value it held (an empty value takes the row off); static isEmpty(value) and
// bytesOf(value) (memory beyond sizeof, for the history's limit); empty(),
// size(), all().
// Copied: a row of the copy, `row`, and its value in the member given.

#include "model/CopiedRows.h"
#include "model/DesignTree.h"
#include "model/NodeAspect.h"
#include "model/PreOrder.h"

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace model {

template <typename Store, typename Copied>
class RowValueAspect : public NodeAspect {
public:
    using Value = typename Store::Value;

    RowValueAspect(std::vector<Copied> CopiedRows::*copied, Value Copied::*value) : m_copied(copied), m_value(value) {}

    const Store& store() const { return m_store; }
    // The value of one node; false, changing nothing, when it holds it already.
    bool setValue(const Node* node, Value value)
    {
        const Value* now = m_store.find(node);
        if (now ? *now == value : Store::isEmpty(value))
            return false;
        Value old = m_store.set(node, std::move(value));
        changed({{node, std::move(old)}});
        return true;
    }
    // Opening a design: not recorded.
    void replace(Store&& store)
    {
        if (m_store.empty() && store.empty())
            return;
        m_store = std::move(store);
        noteChanged();
    }

    // Found by whichever is shorter: the rows with values, or the subtree.
    void subtreeLeaving(const Node* top) override
    {
        if (m_store.empty())
            return;
        std::vector<Held> taken;
        const DesignTree& fr = frTree();
        if (m_store.size() < static_cast<std::size_t>(fr.subtreeSize(top))) {
            for (const auto& [node, value] : m_store.all())
                if (node == top || fr.isInSubtree(node, top))
                    taken.emplace_back(node, Value{});
        } else {
            preOrder(top, [&](const Node* n, std::size_t) {
                if (m_store.find(n))
                    taken.emplace_back(n, Value{});
            });
        }
        for (Held& h : taken)
            h.second = m_store.set(h.first, Value{});
        changed(std::move(taken));
    }
    void childLeavingParent(const Node*) override {} // the value goes with the row
    void subtreeCopied(const Node* from, const Node* to) override
    {
        if (m_store.empty())
            return;
        std::vector<Held> added;
        std::vector<std::pair<const Node*, const Node*>> stack{{from, to}};
        while (!stack.empty()) {
            const auto [src, dst] = stack.back();
            stack.pop_back();
            if (const Value* v = m_store.find(src))
                added.emplace_back(dst, m_store.set(dst, Value(*v)));
            for (std::size_t i = 0; i < src->children.size(); ++i)
                stack.emplace_back(src->children[i], dst->children[i]);
        }
        changed(std::move(added));
    }
    void copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const override
    {
        if (m_store.empty())
            return;
        for (std::size_t i = 0; i < nodes.size(); ++i)
            if (const Value* v = m_store.find(nodes[i])) {
                Copied c{};
                c.row = static_cast<std::uint32_t>(i);
                c.*m_value = *v;
                (rows.*m_copied).push_back(std::move(c));
            }
    }
    // The copy is well-formed (the paste checked it), so every place is a pasted row.
    void pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows) override
    {
        const std::vector<Copied>& copied = rows.*m_copied;
        if (copied.empty())
            return;
        std::vector<Held> added;
        added.reserve(copied.size());
        for (const Copied& c : copied)
            added.emplace_back(nodes[c.row], m_store.set(nodes[c.row], Value(c.*m_value)));
        changed(std::move(added));
    }
    void treesReplaced() override { replace({}); }

private:
    using Held = std::pair<const Node*, Value>;

    // Nodes, each with the value it held before (or after): swapping them
    // with the store undoes and redoes alike.
    class Change final : public AspectChange {
    public:
        Change(RowValueAspect& aspect, std::vector<Held>&& held) : m_aspect(aspect), m_held(std::move(held)) {}
        void apply() override
        {
            for (Held& h : m_held)
                h.second = m_aspect.m_store.set(h.first, std::move(h.second));
            m_aspect.noteChanged();
        }
        std::size_t bytes() const override
        {
            std::size_t n = m_held.size() * sizeof(Held);
            for (const Held& h : m_held)
                n += Store::bytesOf(h.second);
            return n;
        }

    private:
        RowValueAspect& m_aspect;
        std::vector<Held> m_held;
    };

    void changed(std::vector<Held>&& before)
    {
        if (before.empty())
            return;
        if (recording())
            record(std::make_unique<Change>(*this, std::move(before)));
        noteChanged();
    }

    std::vector<Copied> CopiedRows::*m_copied;
    Value Copied::*m_value;
    Store m_store;
};

} // namespace model
