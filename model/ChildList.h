#pragma once
// The ordered children of a node: a small vector of node pointers, 16 bytes
// where std::vector takes 24, because a design can hold millions of nodes.
// Its storage comes from the tree's ChildArena, so only the tree changes it.

#include "model/ChildArena.h"

#include <cstdint>
#include <cstring>
#include <iterator>

namespace model {

class Node;

class ChildList {
public:
    ChildList() = default;
    ChildList(const ChildList&) = delete;
    ChildList& operator=(const ChildList&) = delete;

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    Node* operator[](std::size_t i) const { return m_data[i]; }
    Node* front() const { return m_data[0]; }
    Node* back() const { return m_data[m_size - 1]; }
    Node* const* data() const { return m_data; }
    Node* const* begin() const { return m_data; }
    Node* const* end() const { return m_data + m_size; }
    std::reverse_iterator<Node* const*> rbegin() const { return std::reverse_iterator<Node* const*>(end()); }
    std::reverse_iterator<Node* const*> rend() const { return std::reverse_iterator<Node* const*>(begin()); }

    void reserve(std::size_t capacity, ChildArena& arena)
    {
        if (capacity <= m_capacity)
            return;
        std::uint32_t granted = 0;
        Node** fresh = arena.allocate(static_cast<std::uint32_t>(capacity), granted);
        if (m_size)
            std::memcpy(fresh, m_data, m_size * sizeof(Node*));
        arena.free(m_data, m_capacity);
        m_data = fresh;
        m_capacity = granted;
    }
    void push_back(Node* n, ChildArena& arena)
    {
        if (m_size == m_capacity)
            reserve(m_size + 1, arena);
        m_data[m_size++] = n;
    }
    void insert(std::size_t index, Node* n, ChildArena& arena)
    {
        push_back(n, arena);
        std::memmove(m_data + index + 1, m_data + index, (m_size - 1 - index) * sizeof(Node*));
        m_data[index] = n;
    }
    // Inserts `count` nodes before child `index` with one move of the rest.
    void insertRange(std::size_t index, Node* const* nodes, std::size_t count, ChildArena& arena)
    {
        reserve(m_size + count, arena);
        std::memmove(m_data + index + count, m_data + index, (m_size - index) * sizeof(Node*));
        std::memcpy(m_data + index, nodes, count * sizeof(Node*));
        m_size += static_cast<std::uint32_t>(count);
    }
    void eraseRange(std::size_t index, std::size_t count)
    {
        std::memmove(m_data + index, m_data + index + count, (m_size - index - count) * sizeof(Node*));
        m_size -= static_cast<std::uint32_t>(count);
    }
    void erase(std::size_t index)
    {
        std::memmove(m_data + index, m_data + index + 1, (m_size - 1 - index) * sizeof(Node*));
        --m_size;
    }
    void release(ChildArena& arena)
    {
        arena.free(m_data, m_capacity);
        m_data = nullptr;
        m_size = m_capacity = 0;
    }

private:
    Node** m_data = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0;
};

static_assert(sizeof(ChildList) == 16, "a child list is a pointer and two 32-bit counts");

} // namespace model
