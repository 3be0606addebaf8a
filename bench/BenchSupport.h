#pragma once

// What the benchmarks share: turning the event loop until a condition holds.

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>

namespace parley::bench {

// Runs the event loop until `done` holds or `timeoutMs` passes; answers
// whether it held. No sleep between passes, so waiting adds no latency.
inline bool spin(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace parley::bench
