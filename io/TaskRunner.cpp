#include "io/TaskRunner.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace io {

void runTasks(std::size_t count, std::size_t threads, const std::function<void(std::size_t)>& task)
{
    std::atomic<std::size_t> next = 0;
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < count;)
            task(i);
    };
    std::vector<std::jthread> helpers;
    const std::size_t extra = std::min(threads, count) > 1 ? std::min(threads, count) - 1 : 0;
    helpers.reserve(extra);
    for (std::size_t t = 0; t < extra; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no more threads to be had: those running take the rest
        }
    }
    work();
} // the helpers join here

std::size_t usefulThreads()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

} // namespace io
