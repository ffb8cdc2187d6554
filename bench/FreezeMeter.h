#pragma once
// How long the window's thread stops answering while an action runs: a 2 ms
// timer notes every turn of the event loop, and the longest gap between two
// turns is the freeze the user sees. The action starts on the window's
// thread (whatever it does there counts), then the event loop spins, as the
// program's would, until the action says it is done.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace bench {

struct Freeze {
    double longestGapMs = 0; // the longest the event loop went without a turn
    double wholeMs = 0;      // from the start of the action until it was done
};

inline Freeze measureFreeze(const std::function<void()>& start, const std::function<bool()>& done)
{
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    const auto turn = [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    };
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, turn);
    tick.start();
    clock.start();
    start(); // a nested event loop inside it turns the timer too
    turn();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        turn();
    }
    const qint64 whole = clock.nsecsElapsed();
    tick.stop();
    return {static_cast<double>(longest) / 1e6, static_cast<double>(whole) / 1e6};
}

} // namespace bench
