#pragma once
// Where a tree's nodes live: blocks of nodes handed out one by one, and taken
// back onto a free list. No allocation per node and no allocator overhead,
// which matters at a million nodes; a node is constructed only when it is
// first handed out, and every node is destroyed with the pool.

#include "model/Node.h"

#include <utility>
#include <vector>

namespace model {

class NodePool {
public:
    NodePool() = default;
    ~NodePool();
    NodePool(NodePool&& other) noexcept { swap(other); }
    NodePool& operator=(NodePool&& other) noexcept { swap(other); return *this; }
    NodePool(const NodePool&) = delete;
    NodePool& operator=(const NodePool&) = delete;
    void swap(NodePool& other) noexcept
    {
        m_blocks.swap(other.m_blocks);
        std::swap(m_usedInLastBlock, other.m_usedInLastBlock);
        std::swap(m_free, other.m_free);
        std::swap(m_inUse, other.m_inUse);
        std::swap(m_nothingToDestroy, other.m_nothingToDestroy);
    }

    Node* take();            // a fresh, empty node
    void give(Node* node);   // frees its text, keeps the node for reuse (its child list is the tree's)

    // The owner vouches that no node holds memory of its own (every text is
    // borrowed or empty): the pool then frees its blocks without visiting them.
    void nothingToDestroy() { m_nothingToDestroy = true; }

    // Nodes handed out and not yet given back or destroyed, over all pools.
    static std::size_t inUse() { return s_inUse; }
    static constexpr bool kPooled = true;

private:
    static constexpr std::size_t kBlockNodes = 4096;

    std::vector<Node*> m_blocks; // raw storage for kBlockNodes nodes each
    std::size_t m_usedInLastBlock = kBlockNodes;
    Node* m_free = nullptr; // linked through `parent`
    std::size_t m_inUse = 0;
    bool m_nothingToDestroy = false;
    static inline std::size_t s_inUse = 0;
};

} // namespace model
