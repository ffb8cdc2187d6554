#pragma once
// One node of a design tree: its text and its place among its siblings.
// 48 bytes; nodes live in their tree's pool (see NodePool).

#include "model/ChildList.h"
#include "model/NodeText.h"

#include <cstdint>

namespace model {

struct Node {
    NodeText text;               // single-byte Windows-1252 bytes, kept unchanged; changed only through DesignTree
    Node* parent = nullptr;      // the tree's hidden root for top-level nodes
    ChildList children;          // owned through the tree
    std::uint32_t siblingIndex = 0; // kept up to date by every structural change
    std::uint32_t row = 0;          // pre-order position; valid while the tree's row cache is

    Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
};

// A million-row design holds three million of these: every byte counts.
static_assert(sizeof(Node) == 48, "a node is 48 bytes: text 16, parent 8, children 16, two indexes 4 each");

} // namespace model
