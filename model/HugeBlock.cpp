#include "model/HugeBlock.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace model {

namespace {

std::atomic<std::size_t> g_mapped = 0;

std::size_t roundedUp(std::size_t bytes)
{
    return (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

} // namespace

#if defined(__linux__)

// Maps 2 MB more than needed and gives back the ends, so that the block
// starts on a 2 MB boundary, where a huge page can back it.
void* allocateHugeBlock(std::size_t bytes)
{
    const std::size_t size = roundedUp(bytes);
    void* raw = ::mmap(nullptr, size + kHugePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const auto rawAt = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t start = (rawAt + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
    if (start > rawAt)
        ::munmap(raw, start - rawAt);
    if (const std::size_t tail = rawAt + size + kHugePageBytes - (start + size))
        ::munmap(reinterpret_cast<void*>(start + size), tail);
#if defined(MADV_HUGEPAGE)
    ::madvise(reinterpret_cast<void*>(start), size, MADV_HUGEPAGE); // advice only: small pages work as well
#endif
    g_mapped.fetch_add(size, std::memory_order_relaxed);
    return reinterpret_cast<void*>(start);
}

void freeHugeBlock(void* block, std::size_t bytes) noexcept
{
    const std::size_t size = roundedUp(bytes);
    ::munmap(block, size);
    g_mapped.fetch_sub(size, std::memory_order_relaxed);
}

#else

void* allocateHugeBlock(std::size_t bytes)
{
    const std::size_t size = roundedUp(bytes);
    void* block = std::aligned_alloc(kHugePageBytes, size);
    if (!block)
        throw std::bad_alloc();
    g_mapped.fetch_add(size, std::memory_order_relaxed);
    return block;
}

void freeHugeBlock(void* block, std::size_t bytes) noexcept
{
    std::free(block);
    g_mapped.fetch_sub(roundedUp(bytes), std::memory_order_relaxed);
}

#endif

std::size_t hugeBlockBytes()
{
    return g_mapped.load(std::memory_order_relaxed);
}

} // namespace model
