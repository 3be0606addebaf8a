#pragma once

// "Perform on the main thread" in one helper. The main thread is the thread
// that owns the QCoreApplication.

#include <functional>

namespace parley {

// True on the thread of the application object (false when there is none).
bool isMainThread();

// Runs `fn` on the main thread. On the main thread itself it is called at once,
// whatever `wait` says, so it never deadlocks there. From another thread it is
// queued to the main event loop; with `wait` the caller blocks until it has run
// (so the main thread must not be waiting for this caller at the same time).
// Without an application object nothing runs and the guard logs it.
void runOnMainThread(std::function<void()> fn, bool wait);

} // namespace parley
