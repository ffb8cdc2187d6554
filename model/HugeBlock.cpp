#include "model/HugeBlock.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace model {

void* allocateHugeBlock(std::size_t bytes)
{
    const std::size_t rounded = (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
    void* block = std::aligned_alloc(kHugePageBytes, rounded);
    if (!block)
        throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    ::madvise(block, rounded, MADV_HUGEPAGE); // advice only: small pages work as well
#endif
    return block;
}

void freeHugeBlock(void* block) noexcept
{
    std::free(block);
}

} // namespace model
