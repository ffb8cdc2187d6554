#include "ui/VisibleRows.h"

#include "model/PreOrder.h"

#include <algorithm>
#include <cassert>

namespace ui {

using model::Node;

int VisibleRows::positionOf(const Node* node) const
{
    if (!node || !m_tree || node == m_tree->root() || m_rows.empty())
        return -1;
    // The list is a sub-sequence of the tree's pre-order: its tree rows rise.
    const int row = m_tree->rowOf(node);
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                                     [this](const Row& r, int wanted) { return m_tree->rowOf(r.node) < wanted; });
    return it != m_rows.end() && it->node == node ? static_cast<int>(it - m_rows.begin()) : -1;
}

int VisibleRows::endOfSubtree(int position) const
{
    const int level = m_rows[static_cast<std::size_t>(position)].level;
    int end = position + 1;
    while (end < size() && m_rows[static_cast<std::size_t>(end)].level > level)
        ++end;
    return end;
}

bool VisibleRows::showsChildrenOf(const Node* parent) const
{
    if (!m_tree)
        return false;
    return parent == m_tree->root() || (isExpanded(parent) && positionOf(parent) >= 0);
}

int VisibleRows::levelOfChildren(const Node* parent) const
{
    return parent == m_tree->root() ? 0 : m_tree->levelOf(parent) + 1;
}

void VisibleRows::appendShownBelow(const Node* node, int level, std::vector<Row>& out) const
{
    // Iterative: a design may be thousands of levels deep.
    model::preOrderBelowWhere(
        node, [this](const Node* child, std::size_t) { return isExpanded(child); },
        [&](const Node* child, std::size_t depth) { out.push_back({child, level + static_cast<int>(depth)}); });
}

bool VisibleRows::expand(const Node* node)
{
    if (!m_expanded.insert(node).second)
        return false;
    if (const int at = positionOf(node); at >= 0) {
        std::vector<Row> below;
        appendShownBelow(node, m_rows[static_cast<std::size_t>(at)].level + 1, below);
        m_rows.insert(m_rows.begin() + at + 1, below.begin(), below.end());
    }
    return true;
}

bool VisibleRows::collapse(const Node* node)
{
    if (m_expanded.erase(node) == 0)
        return false;
    if (const int at = positionOf(node); at >= 0)
        m_rows.erase(m_rows.begin() + at + 1, m_rows.begin() + endOfSubtree(at));
    return true;
}

void VisibleRows::markWithin(const Node* top, int topLevel, int depthLimit)
{
    // One pre-order walk: every node above the limit is marked.
    if (top != m_tree->root())
        m_expanded.insert(top);
    auto aboveLimit = [&](std::size_t depth) { return topLevel + 1 + static_cast<int>(depth) < depthLimit; };
    model::preOrderBelowWhere(
        top, [&](const Node*, std::size_t depth) { return aboveLimit(depth); },
        [&](const Node* child, std::size_t depth) {
            if (aboveLimit(depth))
                m_expanded.insert(child);
        });
}

void VisibleRows::expandAllWithin(int depthLimit)
{
    m_expanded.reserve(static_cast<std::size_t>(m_tree->size()));
    markWithin(m_tree->root(), -1, depthLimit);
    m_rows.reserve(static_cast<std::size_t>(m_tree->size()));
    rebuild();
}

void VisibleRows::expandWithin(std::span<const Node* const> tops, int depthLimit)
{
    std::vector<int> shown; // where the tops show, each laid out again below
    for (const Node* top : tops) {
        const int level = m_tree->levelOf(top);
        if (level >= depthLimit)
            continue;
        markWithin(top, level, depthLimit);
        if (const int at = positionOf(top); at >= 0)
            shown.push_back(at);
    }
    if (shown.empty())
        return;
    std::sort(shown.begin(), shown.end());
    std::vector<Row> rows;
    rows.reserve(m_rows.size());
    int copied = 0;
    for (const int at : shown) {
        if (at < copied)
            continue; // inside a subtree laid out already
        rows.insert(rows.end(), m_rows.begin() + copied, m_rows.begin() + at + 1);
        appendShownBelow(m_rows[static_cast<std::size_t>(at)].node, m_rows[static_cast<std::size_t>(at)].level + 1, rows);
        copied = endOfSubtree(at);
    }
    rows.insert(rows.end(), m_rows.begin() + copied, m_rows.end());
    m_rows = std::move(rows);
}

void VisibleRows::collapseAll()
{
    m_expanded.clear();
    rebuild();
}

void VisibleRows::rebuild()
{
    m_rows.clear();
    if (!m_tree)
        return;
    appendShownBelow(m_tree->root(), 0, m_rows);
}

void VisibleRows::reset()
{
    m_expanded.clear();
    rebuild();
}

void VisibleRows::forgetSubtree(const Node* top)
{
    if (m_expanded.empty())
        return;
    std::vector<const Node*> stack{top};
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        m_expanded.erase(n);
        for (const Node* child : n->children)
            stack.push_back(child);
    }
}

void VisibleRows::takeRun(const Node* parent, int first, int last, bool forget)
{
    const auto& children = parent->children;
    const int count = last - first + 1;
    // Found while the run is still in the tree, its rows in order.
    const int at = showsChildrenOf(parent) ? positionOf(children[static_cast<std::size_t>(first)]) : -1;
    if (forget)
        for (int i = first; i <= last; ++i)
            forgetSubtree(children[static_cast<std::size_t>(i)]);
    if (at < 0)
        return;
    const int level = m_rows[static_cast<std::size_t>(at)].level;
    int end = at;
    for (int taken = 0; end < size(); ++end) {
        const int l = m_rows[static_cast<std::size_t>(end)].level;
        if (l < level || (l == level && taken++ == count))
            break;
    }
    m_rows.erase(m_rows.begin() + at, m_rows.begin() + end);
}

void VisibleRows::insertRun(const Node* parent, int first, int last)
{
    if (!showsChildrenOf(parent))
        return;
    const auto& children = parent->children;
    const int row = m_tree->rowOf(children[static_cast<std::size_t>(first)]);
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                                     [this](const Row& r, int wanted) { return m_tree->rowOf(r.node) < wanted; });
    const int level = levelOfChildren(parent);
    std::vector<Row> run;
    for (int i = first; i <= last; ++i) {
        const Node* child = children[static_cast<std::size_t>(i)];
        run.push_back({child, level});
        if (isExpanded(child))
            appendShownBelow(child, level + 1, run);
    }
    m_rows.insert(at, run.begin(), run.end());
}

} // namespace ui
