// Linked only into the ThreadSanitizer build of the recovery tests.
//
// QThreadPool hands a task to its worker, and tells waitForDone() that the
// worker is done, under Qt's own mutexes: futexes inside the uninstrumented
// Qt library, which ThreadSanitizer cannot see. Every task would then be
// reported as a race between the thread that made it and the worker that
// runs it. These two definitions stand in for Qt's own (the program's
// definition comes first) and tell ThreadSanitizer of the order Qt keeps:
// the caller's work before start() happens before the task, and every task
// that finished happens before waitForDone() returns. Nothing else is
// hidden: what the task and the caller do to shared data is still checked.
#include <QThreadPool>

#include <sanitizer/tsan_interface.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

template <typename Function>
Function qtOwn(const char* name)
{
    void* symbol = dlvsym(RTLD_NEXT, name, "Qt_6");
    if (!symbol) {
        std::fprintf(stderr, "TsanThreadPoolHandoff: %s not found in Qt\n", name);
        std::abort();
    }
    return reinterpret_cast<Function>(symbol);
}

} // namespace

void QThreadPool::start(std::function<void()> functionToRun, int priority)
{
    using Start = void (*)(QThreadPool*, std::function<void()>, int);
    static const Start qtStart = qtOwn<Start>("_ZN11QThreadPool5startESt8functionIFvvEEi");
    if (!functionToRun)
        return qtStart(this, std::move(functionToRun), priority);
    auto* task = new std::function<void()>(std::move(functionToRun));
    __tsan_release(task);
    QThreadPool* pool = this;
    qtStart(this, [task, pool] {
        __tsan_acquire(task);
        (*task)();
        delete task;
        __tsan_release(pool);
    }, priority);
}

bool QThreadPool::waitForDone(int msecs)
{
    using WaitForDone = bool (*)(QThreadPool*, int);
    static const WaitForDone qtWaitForDone = qtOwn<WaitForDone>("_ZN11QThreadPool11waitForDoneEi");
    const bool done = qtWaitForDone(this, msecs);
    __tsan_acquire(this);
    return done;
}
