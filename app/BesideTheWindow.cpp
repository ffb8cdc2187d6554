#include "app/BesideTheWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <thread>

namespace app {

namespace {
constexpr int kWatchModalMs = 30; // how soon a progress dialog coming up or going is noticed
}

std::exception_ptr runBesideTheWindow(ReaderGate::Pass& pass, const std::function<void()>& work,
                                      WhileWaiting waiting)
{
    std::exception_ptr failure;
    QEventLoop loop;
    std::atomic<bool> done = false;
    bool modal = false; // whether the loop now running lets the user's events in
    QTimer watch;
    watch.setInterval(kWatchModalMs);
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if ((QApplication::activeModalWidget() != nullptr) != modal)
            loop.quit();
    });
    std::thread worker([&] {
        try {
            pass.begin(); // a pass that finishes is never withdrawn
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        pass.end();
        done = true;
        // By name: nothing the worker makes passes through Qt's queue, whose
        // locks ThreadSanitizer cannot see.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    const bool watchModal = waiting == WhileWaiting::UserInWhileModalUp && QCoreApplication::instance();
    if (watchModal)
        watch.start();
    while (QCoreApplication::instance() && !done) {
        modal = watchModal && QApplication::activeModalWidget() != nullptr;
        loop.exec(modal ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    worker.join();
    return failure;
}

} // namespace app
