#include "model/NodePool.h"

#include <new>

namespace model {

NodePool::~NodePool()
{
    s_inUse -= m_inUse;
    for (std::size_t b = 0; b < m_blocks.size(); ++b) {
        const std::size_t constructed = b + 1 == m_blocks.size() ? m_usedInLastBlock : kBlockNodes;
        for (std::size_t i = 0; i < constructed && !m_nothingToDestroy; ++i)
            m_blocks[b][i].~Node();
        ::operator delete(m_blocks[b]);
    }
}

Node* NodePool::take()
{
    ++m_inUse;
    ++s_inUse;
    if (Node* n = m_free) {
        m_free = n->parent;
        n->parent = nullptr;
        return n;
    }
    if (m_usedInLastBlock == kBlockNodes) {
        m_blocks.reserve(m_blocks.size() + 1);
        m_blocks.push_back(static_cast<Node*>(::operator new(kBlockNodes * sizeof(Node))));
        m_usedInLastBlock = 0;
    }
    return new (&m_blocks.back()[m_usedInLastBlock++]) Node();
}

void NodePool::give(Node* node)
{
    --m_inUse;
    --s_inUse;
    node->text.release(); // its child list went back to the tree's arena first
    node->siblingIndex = 0;
    node->row = 0;
    node->parent = m_free;
    m_free = node;
}

} // namespace model
