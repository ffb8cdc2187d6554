#pragma once
// The ordered children of a node: the read side of std::vector<Node*> (size,
// index, iterate, front, back) in 16 bytes instead of 24, which keeps a node at
// 64 bytes. Only DesignTree changes it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>

namespace model {

struct Node;

class ChildList {
public:
    using value_type = Node*;
    using iterator = Node**;
    using const_iterator = Node* const*;
    using reverse_iterator = std::reverse_iterator<iterator>;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;

    ChildList() = default;
    ~ChildList() { std::free(m_data); }
    ChildList(const ChildList&) = delete;
    ChildList& operator=(const ChildList&) = delete;

    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    bool empty() const { return m_size == 0; }

    Node* const& operator[](std::size_t i) const { return m_data[i]; }
    Node*& operator[](std::size_t i) { return m_data[i]; }
    Node* front() const { return m_data[0]; }
    Node* back() const { return m_data[m_size - 1]; }
    Node* const* data() const { return m_data; }

    const_iterator begin() const { return m_data; }
    const_iterator end() const { return m_data + m_size; }
    iterator begin() { return m_data; }
    iterator end() { return m_data + m_size; }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }

    void reserve(std::size_t n)
    {
        if (n <= m_capacity)
            return;
        auto* grown = static_cast<Node**>(std::realloc(m_data, n * sizeof(Node*)));
        if (!grown)
            throw std::bad_alloc();
        m_data = grown;
        m_capacity = static_cast<std::uint32_t>(n);
    }

    // Inserts before position `index` (0..size()).
    void insertAt(std::size_t index, Node* child)
    {
        if (m_size == m_capacity)
            reserve(m_capacity == 0 ? 1 : 2 * static_cast<std::size_t>(m_capacity));
        std::memmove(m_data + index + 1, m_data + index, (m_size - index) * sizeof(Node*));
        m_data[index] = child;
        ++m_size;
    }

    void eraseAt(std::size_t index)
    {
        std::memmove(m_data + index, m_data + index + 1, (m_size - index - 1) * sizeof(Node*));
        --m_size;
    }

    void push_back(Node* child) { insertAt(m_size, child); }

private:
    Node** m_data = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0;
};

} // namespace model
