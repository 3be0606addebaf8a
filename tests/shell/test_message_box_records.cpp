// The memo and chat records the messenger files for the message box wait
// until the box listens: held while it does not run or has not been told its
// user, posted oldest first once it has, at most 1,000 of them. Alone on the
// private bus, and end to end: the real controller signed in to the local
// service, the real Pigeonhole started by it (slowly), its store read back.
#include "EndToEndSupport.h"
#include "MessageBoxRecordQueue.h"
#include "PlugInSide.h"

#include "NotificationNames.h"
#include "PlugInNotifications.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace parley::shell::test {
namespace {

namespace n = parley::notifications;

QVariantMap memoRecord(const QString &uuid, const QString &subject)
{
    return {{QStringLiteral("msgType"), QStringLiteral("inbox")}, {QStringLiteral("uuid"), uuid},
            {QStringLiteral("subject"), subject}, {QStringLiteral("suserID"), QStringLiteral("bob@parley.test")},
            {QStringLiteral("bodyData"), subject}, {QStringLiteral("unread"), 1}};
}

// What the box hears on the bus.
class BoxEar
{
public:
    BoxEar()
    {
        for (const char *name : {n::kSaveMemoDocument, n::kSaveChatDocument})
            privateCenter()->addObserver(&mContext, QLatin1String(name),
                                         [this](const DistributedNotification &note) { heard << note; });
    }
    // Waits a moment for what is on its way.
    QStringList subjects(int settleMs = 200) const
    {
        parley::test::waitUntil([] { return false; }, settleMs);
        QStringList out;
        for (const DistributedNotification &note : heard)
            out << note.userInfo.value(QStringLiteral("subject")).toString();
        return out;
    }
    QList<DistributedNotification> heard;

private:
    QObject mContext;
};

class RecordQueueTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(privateCenter(), nullptr) << "no private session bus"; }
};

TEST_F(RecordQueueTest, HeldUntilTheBoxIsAnsweredThenPostedOldestFirst)
{
    bool running = false;
    MessageBoxRecordQueue queue([&running] { return running; });
    BoxEar box;
    // Not running, then running but not yet answered: both wait.
    EXPECT_TRUE(plugin::postSaveMemoDocument(memoRecord("1", "first"), *privateCenter()));
    running = true;
    EXPECT_TRUE(plugin::postSaveChatDocument({{QStringLiteral("subject"), QStringLiteral("second")}}, *privateCenter()));
    EXPECT_TRUE(plugin::postSaveMemoDocument(memoRecord("3", "third"), *privateCenter()));
    EXPECT_EQ(box.subjects(), QStringList());
    EXPECT_EQ(queue.heldCount(), 3);

    queue.boxListening();
    ASSERT_TRUE(parley::test::waitUntil([&] { return box.heard.size() == 3; }));
    EXPECT_EQ(box.subjects(), (QStringList{"first", "second", "third"}));
    EXPECT_EQ(box.heard[1].name, QLatin1String(n::kSaveChatDocument));
    // Listening, the next goes at once.
    plugin::postSaveMemoDocument(memoRecord("4", "fourth"), *privateCenter());
    EXPECT_EQ(queue.heldCount(), 0);
    ASSERT_TRUE(parley::test::waitUntil([&] { return box.heard.size() == 4; }));

    // The box ended (a crash, an update): held again until it is answered.
    running = false;
    plugin::postSaveMemoDocument(memoRecord("5", "fifth"), *privateCenter());
    EXPECT_EQ(queue.heldCount(), 1);
    // Told to quit at a sign-out: what waits is the leaving user's, dropped.
    queue.boxQuitting();
    EXPECT_EQ(queue.heldCount(), 0);
    running = true;
    queue.boxListening();
    EXPECT_EQ(box.subjects().size(), 4);
}

TEST_F(RecordQueueTest, AtMostAThousandWaitAndTheOldestGoFirst)
{
    MessageBoxRecordQueue queue([] { return false; });
    for (int i = 0; i < MessageBoxRecordQueue::kLimit + 5; ++i)
        plugin::postSaveMemoDocument(memoRecord(QString::number(i), QString::number(i)), *privateCenter());
    EXPECT_EQ(queue.heldCount(), MessageBoxRecordQueue::kLimit);
    BoxEar box;
    queue.boxListening();
    ASSERT_TRUE(parley::test::waitUntil([&] { return box.heard.size() == MessageBoxRecordQueue::kLimit; }, 20000));
    const QStringList subjects = box.subjects();
    EXPECT_EQ(subjects.first(), "5");
    EXPECT_EQ(subjects.last(), QString::number(MessageBoxRecordQueue::kLimit + 4));
}

TEST_F(RecordQueueTest, WithoutAQueueRecordsArePostedAtOnce)
{
    {
        MessageBoxRecordQueue queue([] { return false; });
    } // gone: uninstalled
    EXPECT_EQ(plugin::recordKeeper(), nullptr);
    BoxEar box;
    plugin::postSaveMemoDocument(memoRecord("1", "direct"), *privateCenter());
    ASSERT_TRUE(parley::test::waitUntil([&] { return box.heard.size() == 1; }));
}

// The real controller starts the real Pigeonhole (two seconds late) at the
// sign-in; memos and a chat log filed before it runs and while it starts are
// in its store, in the order they were filed.
class MessageBoxRecordsEndToEnd : public ShellEndToEnd
{
protected:
    void TearDown() override
    {
        // The box ends with the messenger's quit request.
        plugin::postQuitPlugInProcess(QString(), *privateCenter());
        parley::test::waitUntil(
            [] { return !ShellWindows::plugInManager().isPlugInRunning(QLatin1String(n::kMessageBoxPlugInID)); },
            10000);
        ShellEndToEnd::TearDown();
        mPlugInSide.reset();
    }
    QString rows(const QString &sql) const
    {
        QProcess tool;
        tool.start(QStringLiteral("sqlite3"), {mSettings->supportFolder() + QStringLiteral("/Message/alice@parley.test.sqlite"), sql});
        tool.waitForFinished(10000);
        return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
    }
    // The real plug-in manager, which starts the box.
    std::unique_ptr<PlugInSide> mPlugInSide;
};

TEST_F(MessageBoxRecordsEndToEnd, RecordsFiledBeforeASlowBoxListensReachItsStoreInOrder)
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        GTEST_SKIP() << "the sqlite3 tool is not installed";
    // The shipped box, slow to start, on the private bus.
    QFile launcher(mSettings->resourceFolder() + QStringLiteral("/Pigeonhole.app/Contents/MacOS/Pigeonhole"));
    ASSERT_TRUE(launcher.remove());
    ASSERT_TRUE(launcher.open(QIODevice::WriteOnly));
    launcher.write(QStringLiteral("#!/bin/sh\nsleep 2\nexport DBUS_SESSION_BUS_ADDRESS='%1'\nexport QT_QPA_PLATFORM=offscreen\n"
                                  "exec '%2/Pigeonhole.app/Contents/MacOS/Pigeonhole'\n")
                       .arg(privateBusAddress(), QStringLiteral(PARLEY_RESOURCE_BUILD_DIR))
                       .toUtf8());
    launcher.close();
    ASSERT_TRUE(launcher.setPermissions(launcher.permissions() | QFileDevice::ExeOwner));
    startService();
    // The version check asks the local service, not a host of the web.
    PLEndpoints endpoints = PLEndpoints::current();
    endpoints.webUpdate = endpoints.webMemo;
    PLEndpoints::setCurrent(endpoints);
    mPlugInSide = std::make_unique<PlugInSide>(nullptr, &mScheduler);
    controller();
    ASSERT_TRUE(parley::test::waitUntil(
        [] { return !ShellWindows::plugInManager().pluginForID(QLatin1String(n::kMessageBoxPlugInID)).isEmpty(); },
        20000));

    // Before the sign-in the box does not run.
    plugin::postSaveMemoDocument(memoRecord("u-1", "before the box"), *privateCenter());
    typeAndSignIn();
    ASSERT_TRUE(waitForBuddyView());
    ASSERT_TRUE(parley::test::waitUntil(
        [] { return ShellWindows::plugInManager().isPlugInRunning(QLatin1String(n::kMessageBoxPlugInID)); }));
    // Started, not yet listening.
    plugin::postSaveMemoDocument(memoRecord("u-2", "while it starts"), *privateCenter());
    plugin::postSaveChatDocument({{QStringLiteral("chatUserID"), QStringLiteral("bob@parley.test")},
                                  {QStringLiteral("bodyData"), QStringLiteral("Chat with Bob\nsaved early\nbye")}},
                                 *privateCenter());
    ASSERT_TRUE(parley::test::waitUntil(
        [&] { return rows("SELECT count(*) FROM MemoContext") == QLatin1String("2"); }, 30000))
        << "the records did not reach the box";
    EXPECT_EQ(rows("SELECT group_concat(subject, '|') FROM (SELECT subject FROM MemoContext ORDER BY id)"),
              "before the box|while it starts");
    ASSERT_TRUE(parley::test::waitUntil([&] { return rows("SELECT title FROM ChatContext") == "saved early"; }));
    // Listening now: the next one goes at once.
    plugin::postSaveMemoDocument(memoRecord("u-3", "after"), *privateCenter());
    ASSERT_TRUE(parley::test::waitUntil([&] { return rows("SELECT count(*) FROM MemoContext") == QLatin1String("3"); }, 10000));
    EXPECT_EQ(rows("PRAGMA integrity_check"), "ok");
}

} // namespace
} // namespace parley::shell::test
