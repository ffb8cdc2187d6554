#include "model/NodePool.h"

namespace model {

Node* NodePool::take()
{
    if (Node* n = m_free) {
        m_free = n->parent;
        n->parent = nullptr;
        return n;
    }
    if (m_usedInLastBlock == kBlockNodes) {
        m_blocks.push_back(std::make_unique<Node[]>(kBlockNodes));
        m_usedInLastBlock = 0;
    }
    return &m_blocks.back()[m_usedInLastBlock++];
}

void NodePool::give(Node* node)
{
    node->text.release();
    node->children.clear();
    node->siblingIndex = 0;
    node->row = 0;
    node->parent = m_free;
    m_free = node;
}

} // namespace model
