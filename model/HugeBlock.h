#pragma once
// Memory for large blocks that are filled as soon as they are taken: mapped
// on their own, aligned to 2 MB and advised onto huge pages where the system
// has them, so that the first touch faults once per 2 MB instead of once per
// 4 KB. At a million rows those small faults cost a third of reading a design.

#include <cstddef>

namespace model {

inline constexpr std::size_t kHugePageBytes = 2 * 1024 * 1024;

// At least `bytes` bytes, uninitialised; throws std::bad_alloc.
void* allocateHugeBlock(std::size_t bytes);
// `bytes` as given when the block was allocated.
void freeHugeBlock(void* block, std::size_t bytes) noexcept;

// Bytes mapped for huge blocks now, over all of them: the heap's own
// statistics do not see them.
std::size_t hugeBlockBytes();

} // namespace model
