#include "ui/ExpansionLimit.h"

#include "model/Limits.h"

#include <algorithm>
#include <cstddef>

#include <pthread.h>

namespace ui {

namespace {
// Several times what one expanded level cost the recursive layout the views
// once had; kept, so that the bound stays where it was.
constexpr std::size_t kStackBytesPerLevel = 2048;
constexpr std::size_t kDefaultStack = 8 * 1024 * 1024;
constexpr int kFloor = 32;
constexpr int kCeiling = static_cast<int>(model::kDeepestLevel); // a paste reaches no deeper either

std::size_t stackSize()
{
    pthread_attr_t attr;
    std::size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        pthread_attr_getstacksize(&attr, &size);
        pthread_attr_destroy(&attr);
    }
    return size ? size : kDefaultStack;
}
} // namespace

int safeExpansionDepth()
{
    static const int depth =
        static_cast<int>(std::clamp<std::size_t>(stackSize() / kStackBytesPerLevel, kFloor, kCeiling));
    return depth;
}

} // namespace ui
