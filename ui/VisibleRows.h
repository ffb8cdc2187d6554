#pragma once
// The rows a tree view shows, top to bottom: every node whose ancestors are
// all expanded, in pre-order, each with its level, and the set of expanded
// nodes. It follows the tree by splicing: a run of rows inserted, removed or
// moved changes only its own stretch of the list, found by a binary search
// on the rows' positions in the tree. Only a reset or a relayout walks the
// whole tree again. Plain C++ over model::DesignTree: no Qt here.
//
// Any node may be marked expanded, a leaf or a row hidden in a collapsed
// branch as well: its children show as soon as it has some and it shows.
// Rows removed from the tree are forgotten, expanded or not, so rows that
// come back (undo) come back collapsed.

#include "model/DesignTree.h"

#include <span>
#include <unordered_set>
#include <vector>

namespace ui {

class VisibleRows {
public:
    struct Row {
        const model::Node* node;
        int level;
    };

    void setTree(const model::DesignTree* tree) { m_tree = tree; }
    const model::DesignTree* tree() const { return m_tree; }

    int size() const { return static_cast<int>(m_rows.size()); }
    const Row& operator[](int position) const { return m_rows[static_cast<std::size_t>(position)]; }
    // Where the node shows, -1 when a collapsed branch hides it.
    int positionOf(const model::Node* node) const;
    // One past the last row of the node shown at `position` and its shown descendants.
    int endOfSubtree(int position) const;

    bool isExpanded(const model::Node* node) const { return m_expanded.count(node) != 0; }
    // Both say whether the node's state changed.
    bool expand(const model::Node* node);
    bool collapse(const model::Node* node);
    // Every node down to level depthLimit - 1: of the whole tree, or of the
    // subtrees of `tops`, spliced in one pass however many there are (the
    // tops of a paste). Deeper nodes keep their state.
    void expandAllWithin(int depthLimit);
    void expandWithin(std::span<const model::Node* const> tops, int depthLimit);
    void collapseAll();

    // Following the tree: a relayout keeps the expanded set, a reset forgets it.
    void rebuild();
    void reset();
    // Before children first..last of `parent` leave the tree (`forget`) or
    // move elsewhere in it (their expansion goes with them).
    void takeRun(const model::Node* parent, int first, int last, bool forget);
    // After children first..last of `parent` arrived, by insertion or a move.
    void insertRun(const model::Node* parent, int first, int last);

private:
    bool showsChildrenOf(const model::Node* parent) const;
    int levelOfChildren(const model::Node* parent) const;
    // Appends the shown rows below `node`, whose children stand at `level`.
    void appendShownBelow(const model::Node* node, int level, std::vector<Row>& out) const;
    void forgetSubtree(const model::Node* top);
    void markWithin(const model::Node* top, int topLevel, int depthLimit);

    const model::DesignTree* m_tree = nullptr;
    std::vector<Row> m_rows;
    std::unordered_set<const model::Node*> m_expanded;
};

} // namespace ui
