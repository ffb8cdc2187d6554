// Every task runs exactly once, whatever the number of tasks and threads.
#include "io/TaskRunner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct Batch {
    std::size_t tasks;
    std::size_t threads;
};

class TaskRunner : public testing::TestWithParam<Batch> {};

TEST_P(TaskRunner, RunsEveryTaskOnce)
{
    const Batch r = GetParam();
    std::vector<std::atomic<int>> runs(r.tasks);
    std::vector<std::thread::id> on(r.tasks);
    io::runTasks(r.tasks, r.threads, [&](std::size_t i) {
        runs[i].fetch_add(1);
        on[i] = std::this_thread::get_id();
    });
    for (std::size_t i = 0; i < r.tasks; ++i)
        EXPECT_EQ(runs[i].load(), 1) << "task " << i;
    if (r.threads <= 1) { // one thread: the caller's own
        for (std::size_t i = 0; i < r.tasks; ++i)
            EXPECT_EQ(on[i], std::this_thread::get_id());
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, TaskRunner,
                         testing::Values(Batch{0, 4}, Batch{1, 4}, Batch{6, 1}, Batch{6, 2}, Batch{6, 0}, Batch{3, 8},
                                         Batch{500, 3}),
                         [](const auto& info) {
                             return "Tasks" + std::to_string(info.param.tasks) + "Threads" +
                                    std::to_string(info.param.threads);
                         });

} // namespace
