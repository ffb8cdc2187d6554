#pragma once
// A node's text: single-byte characters kept exactly as read or typed.
//
// 16 bytes where std::string takes 32. A text read from a design file is
// borrowed: it points into the file's bytes, which the tree keeps alive, so
// opening a design copies no text at all. The first change that a borrowed
// text cannot take where it stands (anything but dropping a prefix) gives it
// storage of its own.

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>
#include <string_view>

namespace model {

class NodeText {
public:
    NodeText() = default;
    explicit NodeText(std::string_view text) { assign(text); }
    ~NodeText()
    {
        if (m_capacity)
            std::free(m_data);
    }
    NodeText(const NodeText&) = delete;
    NodeText& operator=(const NodeText&) = delete;
    NodeText(NodeText&& other) noexcept;
    NodeText& operator=(NodeText&& other) noexcept;
    NodeText& operator=(std::string_view text) { assign(text); return *this; }

    std::string_view view() const { return {m_data, m_size}; }
    operator std::string_view() const { return view(); }
    std::string str() const { return std::string(view()); }
    const char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    bool owned() const { return m_capacity != 0; }

    void assign(std::string_view text);      // a copy of its own
    void borrow(std::string_view text)       // bytes someone else keeps alive
    {
        if (m_capacity)
            std::free(m_data);
        m_capacity = 0;
        m_data = const_cast<char*>(text.data()); // never written through: see reallocate
        m_size = static_cast<std::uint32_t>(text.size());
    }
    void append(std::string_view text);
    void erasePrefix(std::size_t length);
    // Replaces the first `oldLength` bytes by `prefix`, in place when it fits.
    void replacePrefix(std::size_t oldLength, std::string_view prefix);
    void release();

    friend bool operator==(const NodeText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const NodeText& a, const char* b) { return a.view() == std::string_view(b); }
    friend bool operator==(const NodeText& a, const std::string& b) { return a.view() == std::string_view(b); }
    friend std::ostream& operator<<(std::ostream& out, const NodeText& t) { return out << t.view(); }

private:
    void reallocate(std::size_t capacity);

    char* m_data = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0; // 0: not owned (borrowed, or empty)
};

static_assert(sizeof(NodeText) == 16, "a text is a pointer and two 32-bit counts");

} // namespace model
