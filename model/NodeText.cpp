#include "model/NodeText.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace model {

namespace {
// Room for a longer outline number ("9" becoming "10") without a new block.
constexpr std::size_t kSlack = 4;
}

NodeText::NodeText(NodeText&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0))
{
}

NodeText& NodeText::operator=(NodeText&& other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
    }
    return *this;
}

void NodeText::release()
{
    if (m_capacity)
        std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}

void NodeText::reallocate(std::size_t capacity)
{
    // Keeps the current bytes; borrowed bytes are copied, never written.
    char* fresh = static_cast<char*>(std::malloc(capacity));
    if (!fresh)
        throw std::bad_alloc();
    if (m_size)
        std::memcpy(fresh, m_data, m_size);
    if (m_capacity)
        std::free(m_data);
    m_data = fresh;
    m_capacity = static_cast<std::uint32_t>(capacity);
}

void NodeText::assign(std::string_view text)
{
    if (text.empty()) {
        release();
        return;
    }
    if (m_capacity < text.size()) {
        m_size = 0;
        reallocate(text.size() + kSlack);
    }
    std::memmove(m_data, text.data(), text.size());
    m_size = static_cast<std::uint32_t>(text.size());
}

void NodeText::append(std::string_view text)
{
    if (text.empty())
        return;
    const std::size_t size = m_size + text.size();
    if (m_capacity < size)
        reallocate(size + kSlack);
    std::memcpy(m_data + m_size, text.data(), text.size());
    m_size = static_cast<std::uint32_t>(size);
}

void NodeText::erasePrefix(std::size_t length)
{
    if (length == 0)
        return;
    if (!m_capacity) {
        m_data += length; // borrowed: look further into the same bytes
    } else {
        std::memmove(m_data, m_data + length, m_size - length);
    }
    m_size -= static_cast<std::uint32_t>(length);
    if (m_size == 0)
        release();
}

void NodeText::replacePrefix(std::size_t oldLength, std::string_view prefix)
{
    const std::size_t tail = m_size - oldLength;
    const std::size_t size = prefix.size() + tail;
    if (m_capacity < size) {
        // Room of its own: the tail is copied once, the prefix written below.
        char* fresh = static_cast<char*>(std::malloc(size + kSlack));
        if (!fresh)
            throw std::bad_alloc();
        if (tail)
            std::memcpy(fresh + prefix.size(), m_data + oldLength, tail);
        if (m_capacity)
            std::free(m_data);
        m_data = fresh;
        m_capacity = static_cast<std::uint32_t>(size + kSlack);
    } else if (tail && prefix.size() != oldLength) {
        std::memmove(m_data + prefix.size(), m_data + oldLength, tail);
    }
    if (!prefix.empty())
        std::memcpy(m_data, prefix.data(), prefix.size());
    m_size = static_cast<std::uint32_t>(size);
}

} // namespace model
