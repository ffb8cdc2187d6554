#pragma once
// Storage for nodes in slabs of many nodes, without a heap header per node:
// a design of a million rows holds three million nodes, and the header alone
// would cost as much as a node's links.
//
// Freed nodes go on a free list and are reused by the next nodes; slabs are
// kept for the run. Sanitizer builds use the plain heap so that a use after
// free is still caught.

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define TESSARIC_PLAIN_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSARIC_PLAIN_HEAP 1
#endif
#endif

namespace model {

class NodePool {
public:
    static constexpr std::size_t kSlotSize = 64;
#ifdef TESSARIC_PLAIN_HEAP
    static constexpr bool kPooled = false;
#else
    static constexpr bool kPooled = true;
#endif

    // Blocks of another size than a slot come from the plain heap.
    static void* allocate(std::size_t size);
    static void release(void* p, std::size_t size) noexcept;

    // Slots handed out and not yet released, and the bytes of all slabs
    // (tests and benchmarks).
    static std::size_t inUse();
    static std::size_t slabBytes();
};

} // namespace model
