#pragma once

// Helpers shared by the services tests.

#include "TestSupport.h"

#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

namespace parley::test {

// Runs `work` on a worker thread while the main event loop keeps turning
// (the test servers and main-thread hand-overs live there), and returns its
// result.
template <typename Result>
Result runOnWorker(const std::function<Result()> &work)
{
    std::optional<Result> result;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result = work();
        done = true;
    });
    waitUntil([&] { return done.load(); }, 60000);
    worker.join();
    return *result;
}

// Runs a Python script with Debian's interpreter; answers its standard
// output, or a null string when it failed.
QString runPython(const QString &script, const QStringList &arguments);

// Writes bytes to a file, replacing it.
void writeFile(const QString &path, const QByteArray &bytes);

} // namespace parley::test
