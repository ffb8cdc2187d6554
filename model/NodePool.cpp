#include "model/NodePool.h"

#include <new>

namespace model {

NodePool::~NodePool()
{
    for (std::size_t b = 0; b < m_blocks.size(); ++b) {
        const Block& block = m_blocks[b];
        const std::size_t constructed = b + 1 == m_blocks.size() ? m_usedInLastBlock : block.constructed;
        for (std::size_t i = 0; i < constructed && !m_nothingToDestroy; ++i)
            block.nodes[i].~Node();
        if (block.capacity == kBlockNodes)
            ::operator delete(block.nodes);
        else
            freeHugeBlock(block.nodes, block.capacity * sizeof(Node));
        s_slotsHeld.fetch_sub(block.capacity, std::memory_order_relaxed);
    }
}

void NodePool::addBlock()
{
    m_blocks.reserve(m_blocks.size() + 1);
    if (!m_blocks.empty())
        m_blocks.back().constructed = m_usedInLastBlock;
    const bool huge = m_blocks.size() >= kSmallBlocks;
    const std::size_t capacity = huge ? kHugeBlockNodes : kBlockNodes;
    void* storage = huge ? allocateHugeBlock(capacity * sizeof(Node)) : ::operator new(capacity * sizeof(Node));
    m_blocks.push_back({static_cast<Node*>(storage), capacity, 0});
    m_usedInLastBlock = 0;
    m_capacityOfLastBlock = capacity;
    s_slotsHeld.fetch_add(capacity, std::memory_order_relaxed);
}

void NodePool::give(Node* node)
{
    node->m_text.release(); // its child list went back to the tree's arena first
    node->siblingIndex = 0;
    node->row = 0;
    node->parent = m_free;
    m_free = node;
}

void NodePool::absorb(NodePool&& other)
{
    if (other.m_blocks.empty())
        return;
    if (!m_blocks.empty())
        m_blocks.back().constructed = m_usedInLastBlock;
    m_blocks.insert(m_blocks.end(), other.m_blocks.begin(), other.m_blocks.end());
    m_usedInLastBlock = other.m_usedInLastBlock;
    m_capacityOfLastBlock = other.m_capacityOfLastBlock;
    // Joining two free lists means walking one of them through cold memory;
    // where both have nodes, other's stay unused until the pool is freed.
    if (!m_free)
        m_free = other.m_free;
    m_nothingToDestroy = m_nothingToDestroy && other.m_nothingToDestroy;
    other.m_blocks.clear();
    other.m_free = nullptr;
    other.m_usedInLastBlock = other.m_capacityOfLastBlock = 0;
}

} // namespace model
