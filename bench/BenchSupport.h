#pragma once

// What the benchmarks share: turning the event loop until a condition holds.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <functional>

namespace parley::bench {

// Runs the event loop until `done` holds or `timeoutMs` passes; answers
// whether it held. The loop sleeps until an event comes, so the thread's CPU
// time is the work its events did, not polling. A condition that is set on
// this thread is seen as soon as its event has run; the `pollMs` timer also
// wakes the loop for one that another thread sets without posting an event,
// and for the deadline.
inline bool spin(const std::function<bool()> &done, int timeoutMs, int pollMs = 5)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(pollMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace parley::bench
