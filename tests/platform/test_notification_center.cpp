#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace parley;

namespace {

const int kSenderA = 0;
const int kSenderB = 0;
const void *const A = &kSenderA;
const void *const B = &kSenderB;

struct Registration {
    const char *name; // nullptr: every name
    const void *sender;
};

struct FilterCase {
    const char *label;
    Registration registration;
    const char *postedName;
    const void *postedSender;
    bool delivered;
};

void PrintTo(const FilterCase &c, std::ostream *os) { *os << c.label; }

class FilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, DeliversOnlyWhatMatches)
{
    const FilterCase &c = GetParam();
    NotificationCenter center;
    int calls = 0;
    center.addObserver(c.registration.name ? QString::fromLatin1(c.registration.name) : QString(),
                       c.registration.sender, [&](const Notification &) { ++calls; });
    center.post(QString::fromLatin1(c.postedName), c.postedSender);
    EXPECT_EQ(calls, c.delivered ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    NotificationCenter, FilterTest,
    ::testing::Values(FilterCase{"sameName_anySender", {"N1", nullptr}, "N1", A, true},
                      FilterCase{"sameName_noSenderPosted", {"N1", nullptr}, "N1", nullptr, true},
                      FilterCase{"otherName", {"N1", nullptr}, "N2", A, false},
                      FilterCase{"nameIsCaseSensitive", {"N1", nullptr}, "n1", A, false},
                      FilterCase{"prefixIsNotAMatch", {"N1", nullptr}, "N1x", A, false},
                      FilterCase{"sameSender", {"N1", A}, "N1", A, true},
                      FilterCase{"otherSender", {"N1", A}, "N1", B, false},
                      FilterCase{"senderWantedButNonePosted", {"N1", A}, "N1", nullptr, false},
                      FilterCase{"allNames_anySender", {nullptr, nullptr}, "Whatever", B, true},
                      FilterCase{"allNames_sameSender", {nullptr, A}, "Whatever", A, true},
                      FilterCase{"allNames_otherSender", {nullptr, A}, "Whatever", B, false}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(NotificationCenter, DeliversNameSenderAndUserInfoInRegistrationOrder)
{
    NotificationCenter center;
    std::vector<int> order;
    Notification seen;
    center.addObserver(QString::fromLatin1(notifications::kSystemWillSleep), nullptr, [&](const Notification &n) {
        order.push_back(1);
        seen = n;
    });
    center.addObserver(QString::fromLatin1(notifications::kSystemWillSleep), nullptr,
                       [&](const Notification &) { order.push_back(2); });
    center.addObserver(QString(), nullptr, [&](const Notification &) { order.push_back(3); });

    center.post(QString::fromLatin1(notifications::kSystemWillSleep), A, {{QStringLiteral("user@host.com"), 7}});

    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(seen.name, QStringLiteral("ParleySystemWillSleepNotification"));
    EXPECT_EQ(seen.sender, A);
    EXPECT_EQ(seen.userInfo.value(QStringLiteral("user@host.com")).toInt(), 7);
}

TEST(NotificationCenter, RemovedTokenHearsNothingAndUnknownTokensAreIgnored)
{
    NotificationCenter center;
    int calls = 0;
    const auto token = center.addObserver(QStringLiteral("N"), nullptr, [&](const Notification &) { ++calls; });
    EXPECT_NE(token, 0u);
    center.removeObserver(token);
    center.removeObserver(token);
    center.removeObserver(token + 100);
    center.post(QStringLiteral("N"));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(center.observerCount(), 0);
}

TEST(NotificationCenter, FreshCentersAreIndependent)
{
    NotificationCenter one;
    NotificationCenter two;
    int calls = 0;
    one.addObserver(QStringLiteral("N"), nullptr, [&](const Notification &) { ++calls; });
    two.post(QStringLiteral("N"));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(&NotificationCenter::defaultCenter(), &NotificationCenter::defaultCenter());
}

// What an observer does from inside its callback, and what the others then see.
enum class Action { RemoveSelf, RemoveLater, RemoveEarlier, AddNew, PostOther, DeleteLaterContext };

struct ReentryCase {
    const char *label;
    Action action;
    std::vector<int> firstPost;  // observers called by the first post, in order
    std::vector<int> secondPost; // observers called by a second post
};

void PrintTo(const ReentryCase &c, std::ostream *os) { *os << c.label; }

class ReentryTest : public ::testing::TestWithParam<ReentryCase> {};

// Three observers 0, 1, 2 on "N"; observer 1 acts. Observer 2 is tied to a
// context object. "Other" observers (10) listen to "Other".
TEST_P(ReentryTest, ActionsInsideACallbackAreSafe)
{
    const ReentryCase &c = GetParam();
    NotificationCenter center;
    std::vector<int> calls;
    auto context = std::make_unique<QObject>();
    NotificationCenter::Token tokens[3] = {};
    bool acted = false;

    tokens[0] = center.addObserver(QStringLiteral("N"), nullptr, [&](const Notification &) { calls.push_back(0); });
    tokens[1] = center.addObserver(QStringLiteral("N"), nullptr, [&](const Notification &) {
        calls.push_back(1);
        if (acted)
            return;
        acted = true;
        switch (c.action) {
        case Action::RemoveSelf: center.removeObserver(tokens[1]); break;
        case Action::RemoveLater: center.removeObserver(tokens[2]); break;
        case Action::RemoveEarlier: center.removeObserver(tokens[0]); break;
        case Action::AddNew:
            center.addObserver(QStringLiteral("N"), nullptr, [&](const Notification &) { calls.push_back(3); });
            break;
        case Action::PostOther: center.post(QStringLiteral("Other")); break;
        case Action::DeleteLaterContext: context.reset(); break;
        }
    });
    tokens[2] = center.addObserver(context.get(), QStringLiteral("N"), nullptr,
                                   [&](const Notification &) { calls.push_back(2); });
    center.addObserver(QStringLiteral("Other"), nullptr, [&](const Notification &) { calls.push_back(10); });

    center.post(QStringLiteral("N"));
    EXPECT_EQ(calls, c.firstPost);
    calls.clear();
    center.post(QStringLiteral("N"));
    EXPECT_EQ(calls, c.secondPost);
}

INSTANTIATE_TEST_SUITE_P(
    NotificationCenter, ReentryTest,
    ::testing::Values(ReentryCase{"removeSelf", Action::RemoveSelf, {0, 1, 2}, {0, 2}},
                      ReentryCase{"removeLater", Action::RemoveLater, {0, 1}, {0, 1}},
                      ReentryCase{"removeEarlier", Action::RemoveEarlier, {0, 1, 2}, {1, 2}},
                      ReentryCase{"addNew", Action::AddNew, {0, 1, 2}, {0, 1, 2, 3}},
                      ReentryCase{"postOther", Action::PostOther, {0, 1, 10, 2}, {0, 1, 2}},
                      ReentryCase{"destroyContext", Action::DeleteLaterContext, {0, 1}, {0, 1}}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(NotificationCenter, RecursivePostFromTheSameObserverDoesNotDeadlock)
{
    NotificationCenter center;
    int depth = 0;
    int calls = 0;
    center.addObserver(QStringLiteral("N"), nullptr, [&](const Notification &) {
        ++calls;
        if (depth++ < 3)
            center.post(QStringLiteral("N"));
    });
    center.post(QStringLiteral("N"));
    EXPECT_EQ(calls, 4);
}

TEST(NotificationCenter, ContextDestructionRemovesOnlyItsObservers)
{
    NotificationCenter center;
    int contextCalls = 0;
    int plainCalls = 0;
    {
        QObject context;
        center.addObserver(&context, QStringLiteral("N"), nullptr, [&](const Notification &) { ++contextCalls; });
        center.addObserver(&context, QString(), nullptr, [&](const Notification &) { ++contextCalls; });
        center.addObserver(QStringLiteral("N"), nullptr, [&](const Notification &) { ++plainCalls; });
        center.post(QStringLiteral("N"));
        EXPECT_EQ(contextCalls, 2);
    }
    EXPECT_EQ(center.observerCount(), 1);
    center.post(QStringLiteral("N"));
    EXPECT_EQ(contextCalls, 2);
    EXPECT_EQ(plainCalls, 2);
}

TEST(NotificationCenter, ThrowingObserverIsLoggedAndOthersStillRun)
{
    static std::vector<QString> logged;
    logged.clear();
    setLogSink([](const QString &line) { logged.push_back(line); });
    NotificationCenter center;
    int calls = 0;
    center.addObserver(QStringLiteral("N"), nullptr, [](const Notification &) { throw std::runtime_error("boom"); });
    center.addObserver(QStringLiteral("N"), nullptr, [&](const Notification &) { ++calls; });
    center.post(QStringLiteral("N"));
    setLogSink(nullptr);
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_TRUE(logged[0].startsWith(QStringLiteral("exception = boom, ("))) << logged[0].toStdString();
}

TEST(NotificationCenter, PostFromWorkerRunsOnWorkerThread)
{
    NotificationCenter center;
    QThread *deliveredOn = nullptr;
    center.addObserver(QStringLiteral("N"), nullptr,
                       [&](const Notification &) { deliveredOn = QThread::currentThread(); });
    QThread *worker = nullptr;
    std::thread thread([&] {
        worker = QThread::currentThread();
        center.post(QStringLiteral("N"));
    });
    thread.join();
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(deliveredOn, worker);
}

TEST(NotificationCenter, PostOnMainThreadFromWorkerIsDeliveredOnMainThread)
{
    NotificationCenter center;
    std::atomic<int> calls{0};
    std::atomic<bool> onMain{false};
    QVariantMap seenInfo;
    center.addObserver(QStringLiteral("N"), A, [&](const Notification &n) {
        onMain = QThread::currentThread() == QCoreApplication::instance()->thread();
        seenInfo = n.userInfo;
        ++calls;
    });
    std::thread thread([&] { center.postOnMainThread(QStringLiteral("N"), A, {{QStringLiteral("k"), 1}}); });
    thread.join();
    // Queued: nothing has run before the main loop turns.
    EXPECT_EQ(calls.load(), 0);
    ASSERT_TRUE(test::waitUntil([&] { return calls.load() == 1; }));
    EXPECT_TRUE(onMain.load());
    EXPECT_EQ(seenInfo.value(QStringLiteral("k")).toInt(), 1);
}

TEST(NotificationCenter, PostOnMainThreadFromMainThreadIsImmediate)
{
    NotificationCenter center;
    int calls = 0;
    center.addObserver(QStringLiteral("N"), nullptr, [&](const Notification &) { ++calls; });
    center.postOnMainThread(QStringLiteral("N"));
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenter, QueuedPostToADestroyedCenterIsDropped)
{
    auto center = std::make_unique<NotificationCenter>();
    int calls = 0;
    center->addObserver(QStringLiteral("N"), nullptr, [&](const Notification &) { ++calls; });
    std::thread thread([&] { center->postOnMainThread(QStringLiteral("N")); });
    thread.join();
    center.reset();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(calls, 0);
}

TEST(NotificationCenter, ConcurrentRegistrationAndPostingKeepsEveryObserver)
{
    NotificationCenter center;
    constexpr int kThreads = 4;
    constexpr int kPerThread = 200;
    std::atomic<int> heard{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kPerThread; ++i) {
                const auto token = center.addObserver(QStringLiteral("Tmp"), nullptr, [](const Notification &) {});
                center.addObserver(QStringLiteral("Kept"), nullptr, [&](const Notification &) { ++heard; });
                center.post(QStringLiteral("Tmp"));
                center.removeObserver(token);
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(center.observerCount(), kThreads * kPerThread);
    center.post(QStringLiteral("Kept"));
    EXPECT_EQ(heard.load(), kThreads * kPerThread);
}

} // namespace
