#include "Log.h"
#include "MainThread.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace parley;

namespace {

QThread *mainThread() { return QCoreApplication::instance()->thread(); }

TEST(MainThread, IsMainThreadTellsTheThreadsApart)
{
    EXPECT_TRUE(isMainThread());
    bool onWorker = true;
    std::thread thread([&] { onWorker = isMainThread(); });
    thread.join();
    EXPECT_FALSE(onWorker);
}

TEST(MainThread, OnMainThreadRunsAtOnceWithOrWithoutWait)
{
    for (bool wait : {false, true}) {
        int calls = 0;
        runOnMainThread([&] { ++calls; }, wait);
        EXPECT_EQ(calls, 1) << "wait=" << wait;
    }
}

TEST(MainThread, NestedWaitingCallOnMainThreadDoesNotDeadlock)
{
    int calls = 0;
    runOnMainThread([&] { runOnMainThread([&] { ++calls; }, true); }, true);
    EXPECT_EQ(calls, 1);
}

TEST(MainThread, WaitingCallFromWorkerHasRunWhenItReturns)
{
    std::atomic<QThread *> ranOn{nullptr};
    std::atomic<bool> doneBeforeReturn{false};
    std::atomic<bool> workerFinished{false};
    std::thread thread([&] {
        runOnMainThread([&] { ranOn = QThread::currentThread(); }, true);
        doneBeforeReturn = ranOn.load() != nullptr;
        workerFinished = true;
    });
    // The worker is blocked until the main loop serves it.
    ASSERT_TRUE(test::waitUntil([&] { return workerFinished.load(); }));
    thread.join();
    EXPECT_TRUE(doneBeforeReturn.load());
    EXPECT_EQ(ranOn.load(), mainThread());
}

TEST(MainThread, QueuedCallFromWorkerRunsLaterOnMainThread)
{
    std::atomic<QThread *> ranOn{nullptr};
    std::thread thread([&] { runOnMainThread([&] { ranOn = QThread::currentThread(); }, false); });
    thread.join();
    EXPECT_EQ(ranOn.load(), nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return ranOn.load() != nullptr; }));
    EXPECT_EQ(ranOn.load(), mainThread());
}

TEST(MainThread, EmptyFunctionIsRefusedWithTheNilGuard)
{
    static QString logged;
    logged.clear();
    setLogSink([](const QString &line) { logged = line; });
    runOnMainThread({}, true);
    setLogSink(nullptr);
    EXPECT_TRUE(logged.startsWith(QStringLiteral("break : object is nil ("))) << logged.toStdString();
}

} // namespace
