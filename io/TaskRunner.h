#pragma once
// Runs a handful of independent tasks on the processor's cores: reading a
// large design builds its three trees, in pieces, side by side.

#include <cstddef>
#include <functional>

namespace io {

// Runs task(0) .. task(count - 1) on up to `threads` threads, the calling
// thread among them; each thread takes the lowest index not yet taken, and
// the call returns when every task has. Tasks report their own errors: a task
// must not throw.
void runTasks(std::size_t count, std::size_t threads, const std::function<void(std::size_t)>& task);

// The threads worth using on this machine (at least 1).
std::size_t usefulThreads();

} // namespace io
