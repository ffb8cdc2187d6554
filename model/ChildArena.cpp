#include "model/ChildArena.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <new>
#include <utility>

namespace model {

ChildArena::~ChildArena()
{
    for (Node** list : m_large)
        std::free(list);
}

void ChildArena::swap(ChildArena& other) noexcept
{
    m_free.swap(other.m_free);
    m_blocks.swap(other.m_blocks);
    std::swap(m_usedInLastBlock, other.m_usedInLastBlock);
    m_large.swap(other.m_large);
}

std::size_t ChildArena::classOf(std::uint32_t capacity)
{
    return static_cast<std::size_t>(std::countr_zero(capacity) - std::countr_zero(kSmallest));
}

Node** ChildArena::allocate(std::uint32_t wanted, std::uint32_t& granted)
{
    granted = std::bit_ceil(std::max(wanted, kSmallest));
    if (granted > kLargestPooled) {
        auto* list = static_cast<Node**>(std::malloc(granted * sizeof(Node*)));
        if (!list)
            throw std::bad_alloc();
        m_large.push_back(list);
        return list;
    }
    Node**& head = m_free[classOf(granted)];
    if (Node** list = head) {
        head = reinterpret_cast<Node**>(list[0]);
        return list;
    }
    if (m_usedInLastBlock + granted > kBlockPointers) {
        m_blocks.push_back(std::make_unique_for_overwrite<Node*[]>(kBlockPointers));
        m_usedInLastBlock = 0;
    }
    Node** list = m_blocks.back().get() + m_usedInLastBlock;
    m_usedInLastBlock += granted;
    return list;
}

void ChildArena::free(Node** list, std::uint32_t capacity)
{
    if (!list)
        return;
    if (capacity > kLargestPooled) {
        m_large.erase(std::find(m_large.begin(), m_large.end(), list));
        std::free(list);
        return;
    }
    Node**& head = m_free[classOf(capacity)];
    list[0] = reinterpret_cast<Node*>(head);
    head = list;
}

void ChildArena::absorb(ChildArena&& other)
{
    // Joining two free lists means walking one of them through cold memory;
    // where both have lists, other's stay unused until the arena is freed.
    for (std::size_t c = 0; c < kClasses; ++c) {
        if (!m_free[c])
            m_free[c] = other.m_free[c];
        other.m_free[c] = nullptr;
    }
    if (!other.m_blocks.empty()) {
        // Our last block keeps its unused tail; lists now come from other's last block.
        for (auto& block : other.m_blocks)
            m_blocks.push_back(std::move(block));
        m_usedInLastBlock = other.m_usedInLastBlock;
        other.m_blocks.clear();
        other.m_usedInLastBlock = kBlockPointers;
    }
    m_large.insert(m_large.end(), other.m_large.begin(), other.m_large.end());
    other.m_large.clear();
}

} // namespace model
