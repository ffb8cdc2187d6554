#pragma once
// The ordered children of a node: a small vector of node pointers, 16 bytes
// where std::vector takes 24, because a design can hold millions of nodes.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

namespace model {

struct Node;

class ChildList {
public:
    ChildList() = default;
    ~ChildList() { std::free(m_data); }
    ChildList(const ChildList&) = delete;
    ChildList& operator=(const ChildList&) = delete;
    ChildList(ChildList&& o) noexcept
        : m_data(std::exchange(o.m_data, nullptr)), m_size(std::exchange(o.m_size, 0)),
          m_capacity(std::exchange(o.m_capacity, 0)) {}
    ChildList& operator=(ChildList&& o) noexcept
    {
        std::swap(m_data, o.m_data);
        std::swap(m_size, o.m_size);
        std::swap(m_capacity, o.m_capacity);
        return *this;
    }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    Node* operator[](std::size_t i) const { return m_data[i]; }
    Node* back() const { return m_data[m_size - 1]; }
    Node* front() const { return m_data[0]; }
    Node* const* data() const { return m_data; }
    Node* const* begin() const { return m_data; }
    Node* const* end() const { return m_data + m_size; }
    std::reverse_iterator<Node* const*> rbegin() const { return std::reverse_iterator<Node* const*>(end()); }
    std::reverse_iterator<Node* const*> rend() const { return std::reverse_iterator<Node* const*>(begin()); }

    void reserve(std::size_t capacity)
    {
        if (capacity <= m_capacity)
            return;
        auto* fresh = static_cast<Node**>(std::realloc(m_data, capacity * sizeof(Node*)));
        if (!fresh)
            throw std::bad_alloc();
        m_data = fresh;
        m_capacity = static_cast<std::uint32_t>(capacity);
    }
    void push_back(Node* n)
    {
        if (m_size == m_capacity)
            reserve(m_capacity < 4 ? 4 : m_capacity + m_capacity / 2);
        m_data[m_size++] = n;
    }
    void insert(std::size_t index, Node* n)
    {
        push_back(n);
        std::memmove(m_data + index + 1, m_data + index, (m_size - 1 - index) * sizeof(Node*));
        m_data[index] = n;
    }
    void erase(std::size_t index)
    {
        std::memmove(m_data + index, m_data + index + 1, (m_size - 1 - index) * sizeof(Node*));
        --m_size;
    }
    void clear()
    {
        std::free(m_data);
        m_data = nullptr;
        m_size = m_capacity = 0;
    }

private:
    Node** m_data = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0;
};

} // namespace model
