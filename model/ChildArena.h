#pragma once
// Where a tree's child lists live. Most nodes of a design have a handful of
// children; a list per parent from the general heap costs an allocation, a
// header and a free each, which dominated opening and closing large designs.
// Lists come in power-of-two sizes from blocks owned by the tree, and freed
// lists wait on a free list of their size. Very long lists use the heap.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace model {

class Node;

class ChildArena {
public:
    static constexpr std::uint32_t kSmallest = 4;
    static constexpr std::uint32_t kLargestPooled = 4096;

    ChildArena() = default;
    ~ChildArena();
    ChildArena(ChildArena&& other) noexcept { swap(other); }
    ChildArena& operator=(ChildArena&& other) noexcept { swap(other); return *this; }
    ChildArena(const ChildArena&) = delete;
    ChildArena& operator=(const ChildArena&) = delete;
    void swap(ChildArena& other) noexcept;

    // Room for at least `wanted` pointers; `granted` says how many.
    Node** allocate(std::uint32_t wanted, std::uint32_t& granted);
    void free(Node** list, std::uint32_t capacity);
    // Takes over every list of `other`, which is left empty; lists stay where they are.
    void absorb(ChildArena&& other);

private:
    static constexpr std::size_t kClasses = 11; // 4 .. 4096
    static constexpr std::size_t kBlockPointers = 16384;
    static std::size_t classOf(std::uint32_t capacity);

    std::array<Node**, kClasses> m_free{}; // linked through their first slot
    std::vector<std::unique_ptr<Node*[]>> m_blocks;
    std::size_t m_usedInLastBlock = kBlockPointers;
    std::vector<Node**> m_large; // heap lists still out
};

} // namespace model
