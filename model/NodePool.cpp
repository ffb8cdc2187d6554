#include "model/NodePool.h"

#include <mutex>
#include <new>
#include <vector>

namespace model {

namespace {

constexpr std::size_t kSlotsPerSlab = 4096; // 256 KB

struct FreeSlot {
    FreeSlot* next;
};

struct Pool {
    std::mutex lock; // the model runs on one thread; this keeps a stray second one safe
    std::vector<void*> slabs;
    FreeSlot* free = nullptr;
    std::size_t inUse = 0;

    void grow()
    {
        auto* slab = static_cast<unsigned char*>(::operator new(kSlotsPerSlab * NodePool::kSlotSize));
        slabs.push_back(slab);
        for (std::size_t i = kSlotsPerSlab; i-- > 0;)
            free = new (slab + i * NodePool::kSlotSize) FreeSlot{free};
    }
};

// Never destroyed: nodes of static designs may be freed after other statics.
Pool& pool()
{
    static Pool* instance = new Pool;
    return *instance;
}

} // namespace

void* NodePool::allocate([[maybe_unused]] std::size_t size)
{
#ifndef TESSARIC_PLAIN_HEAP
    if (size == kSlotSize) {
        Pool& p = pool();
        std::lock_guard<std::mutex> guard(p.lock);
        if (!p.free)
            p.grow();
        FreeSlot* slot = p.free;
        p.free = slot->next;
        ++p.inUse;
        return slot;
    }
#endif
    return ::operator new(size);
}

void NodePool::release(void* ptr, [[maybe_unused]] std::size_t size) noexcept
{
    if (!ptr)
        return;
#ifndef TESSARIC_PLAIN_HEAP
    if (size == kSlotSize) {
        Pool& p = pool();
        std::lock_guard<std::mutex> guard(p.lock);
        p.free = new (ptr) FreeSlot{p.free};
        --p.inUse;
        return;
    }
#endif
    ::operator delete(ptr);
}

std::size_t NodePool::inUse()
{
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    return p.inUse;
}

std::size_t NodePool::slabBytes()
{
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    return p.slabs.size() * kSlotsPerSlab * kSlotSize;
}

} // namespace model
