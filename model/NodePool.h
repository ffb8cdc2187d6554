#pragma once
// Where a tree's nodes live: blocks of nodes handed out one by one, and taken
// back onto a free list. No allocation per node and no allocator overhead,
// which matters at a million nodes; a node is constructed only when it is
// first handed out, and every node is destroyed with the pool.

#include "model/HugeBlock.h"
#include "model/Node.h"

#include <atomic>
#include <new>
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
        std::swap(m_capacityOfLastBlock, other.m_capacityOfLastBlock);
        std::swap(m_usedInLastBlock, other.m_usedInLastBlock);
        std::swap(m_free, other.m_free);
        std::swap(m_nothingToDestroy, other.m_nothingToDestroy);
    }

    Node* take()             // a fresh, empty node
    {
        if (Node* n = m_free) {
            m_free = n->parent;
            n->parent = nullptr;
            return n;
        }
        if (m_usedInLastBlock == m_capacityOfLastBlock)
            addBlock();
        return new (&m_blocks.back().nodes[m_usedInLastBlock++]) Node();
    }
    void give(Node* node);   // frees its text, keeps the node for reuse (its child list is the tree's)
    // Takes over every node of `other`, which is left empty; nodes stay where they are.
    void absorb(NodePool&& other);

    // The owner vouches that no node holds memory of its own (every text is
    // borrowed or empty): the pool then frees its blocks without visiting them.
    void nothingToDestroy() { m_nothingToDestroy = true; }

    // Node slots held by all pools alive, in whole blocks. Counted per block,
    // not per node, so trees on different threads share no counter per node.
    static std::size_t slotsHeld() { return s_slotsHeld.load(std::memory_order_relaxed); }
    static constexpr bool kPooled = true;

private:
    // Small blocks first, so that small trees stay small; a tree past a
    // quarter of a million nodes goes on in huge-page blocks.
    static constexpr std::size_t kBlockNodes = 4096;
    static constexpr std::size_t kSmallBlocks = 64;
    static constexpr std::size_t kHugeBlockNodes = kHugePageBytes / sizeof(Node);

    struct Block {
        Node* nodes;      // raw storage for `capacity` nodes
        std::size_t capacity;
        std::size_t constructed; // of a block before the last; the last counts in m_usedInLastBlock
    };
    void addBlock();

    std::vector<Block> m_blocks;
    std::size_t m_usedInLastBlock = 0;
    std::size_t m_capacityOfLastBlock = 0;
    Node* m_free = nullptr; // linked through `parent`
    bool m_nothingToDestroy = false;
    static inline std::atomic<std::size_t> s_slotsHeld = 0;
};

} // namespace model
