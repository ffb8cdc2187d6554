#pragma once
// One node of a design tree: its text and its place among its siblings.
// 64 bytes, kept in slabs (NodePool), so that a node costs no more than
// its links and its text.

#include "model/ChildList.h"
#include "model/NodePool.h"

#include <cstdint>
#include <string>

namespace model {

struct Node {
    std::string text;            // single-byte Windows-1252 bytes, kept unchanged
    Node* parent = nullptr;      // the tree's hidden root for top-level nodes
    ChildList children;          // owned; freed without recursion by DesignTree
    std::uint32_t siblingIndex = 0; // kept up to date by every structural change
    std::uint32_t row = 0;          // pre-order position; valid while the tree's row cache is

    Node() = default;
    explicit Node(std::string t) : text(std::move(t)) {}
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    static void* operator new(std::size_t size) { return NodePool::allocate(size); }
    static void operator delete(void* p, std::size_t size) noexcept { NodePool::release(p, size); }
};

static_assert(sizeof(Node) == NodePool::kSlotSize, "a node fills one pool slot");

} // namespace model
