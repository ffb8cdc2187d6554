#pragma once
// One node of a design tree: its text and its place among its siblings.
// 48 bytes; nodes live in their tree's pool (see NodePool).
//
// Anyone may read a node; only its tree changes its text, so that the tree
// always knows whether some text holds memory of its own (see DesignTree).

#include "model/ChildList.h"
#include "model/NodeText.h"

#include <cstdint>

namespace model {

class Node {
public:
    Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Single-byte Windows-1252 bytes, kept unchanged.
    const NodeText& text() const { return m_text; }

    Node* parent = nullptr;      // the tree's hidden root for top-level nodes
    ChildList children;          // owned through the tree
    std::uint32_t siblingIndex = 0; // kept up to date by every structural change
    std::uint32_t row = 0;          // pre-order position; valid while the tree's row cache is

private:
    friend class DesignTree;
    friend class NodePool;
    NodeText m_text;
};

// A million-row design holds three million of these: every byte counts.
static_assert(sizeof(Node) == 48, "a node is 48 bytes: text 16, parent 8, children 16, two indexes 4 each");

} // namespace model
