// Plug-in protocol notifications over a private session bus: the wire form,
// typed posters, observers with a context, dates, and a foreign sender.
#include "DistributedNotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"
#include "PrivateBus.h"
#include "TestSupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;
namespace n = parley::notifications;

namespace {

class DistributedNotificationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateBus::available())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(bus.isRunning());
        poster = std::make_unique<DistributedNotificationCenter>(bus.connect(QStringLiteral("poster")));
        listener = std::make_unique<DistributedNotificationCenter>(bus.connect(QStringLiteral("listener")));
    }
    void TearDown() override
    {
        poster.reset();
        listener.reset();
    }
    // Records every posting of `name` the listener hears.
    void record(const QString &name)
    {
        listener->addObserver(name, [this](const DistributedNotification &note) { heard.push_back(note); });
    }

    PrivateBus bus;
    std::unique_ptr<DistributedNotificationCenter> poster;
    std::unique_ptr<DistributedNotificationCenter> listener;
    std::vector<DistributedNotification> heard;
};

TEST_F(DistributedNotificationsTest, ObjectAndNestedUserInfoArriveAsSent)
{
    record(QLatin1String(n::kSaveMemoDocument));
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC);
    QVariantMap record{{"msgType", "inbox"},
                       {"uuid", "U-1"},
                       {"unread", 1},
                       {"date", when},
                       {"ruserID", QStringList{"a@x.test", "b@x.test"}},
                       {"nested", QVariantMap{{"k", QVariantList{1, "two", true}}}},
                       {"bytes", QByteArray("\x00\x01\xff", 3)}};
    ASSERT_TRUE(plugin::postSaveMemoDocument(record, *poster));
    ASSERT_TRUE(waitUntil([&] { return !heard.empty(); }));
    const DistributedNotification &note = heard.front();
    EXPECT_EQ(note.name, QLatin1String(n::kSaveMemoDocument));
    EXPECT_TRUE(note.object.isNull());
    EXPECT_EQ(note.userInfo.value("msgType").toString(), "inbox");
    EXPECT_EQ(note.userInfo.value("unread").toInt(), 1);
    EXPECT_EQ(note.userInfo.value("date").toDateTime(), when);
    EXPECT_EQ(note.userInfo.value("ruserID").toStringList(), (QStringList{"a@x.test", "b@x.test"}));
    const QVariantList inner = note.userInfo.value("nested").toMap().value("k").toList();
    ASSERT_EQ(inner.size(), 3);
    EXPECT_EQ(inner.at(0).toInt(), 1);
    EXPECT_EQ(inner.at(1).toString(), "two");
    EXPECT_TRUE(inner.at(2).toBool());
    EXPECT_EQ(note.userInfo.value("bytes").toByteArray(), QByteArray("\x00\x01\xff", 3));
}

TEST_F(DistributedNotificationsTest, TypedPostersUseTheirNamesAndObjects)
{
    struct Case {
        const char *name;
        std::function<bool()> post;
        QString object;
    };
    const std::vector<Case> cases = {
        {n::kPlugUserInfo, [&] { return plugin::postPlugUserInfo(n::kMessageBoxPlugInID, *poster); }, n::kMessageBoxPlugInID},
        {n::kLoginUserInfo, [&] { return plugin::postLoginUserInfo("alice@parley.test", *poster); }, "alice@parley.test"},
        {n::kUnreadMemoCount, [&] { return plugin::postUnreadMemoCount(0, *poster); }, "0"},
        {n::kQuitPlugInProcess, [&] { return plugin::postQuitPlugInProcess({}, *poster); }, QString()},
        {n::kWriteMemoDocument, [&] { return plugin::postWriteMemoDocument({}, *poster); }, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        heard.clear();
        record(QLatin1String(c.name));
        ASSERT_TRUE(c.post());
        ASSERT_TRUE(waitUntil([&] { return !heard.empty(); }));
        EXPECT_EQ(heard.front().name, QLatin1String(c.name));
        EXPECT_EQ(heard.front().object, c.object);
        EXPECT_EQ(heard.front().object.isNull(), c.object.isNull());
    }
}

TEST_F(DistributedNotificationsTest, AnObserverGoesWithItsContext)
{
    auto context = std::make_unique<QObject>();
    int calls = 0;
    listener->addObserver(context.get(), QLatin1String(n::kRefreshPlugin), [&](const DistributedNotification &) { ++calls; });
    record(QLatin1String(n::kRefreshPlugin));
    ASSERT_TRUE(poster->post(QLatin1String(n::kRefreshPlugin)));
    ASSERT_TRUE(waitUntil([&] { return heard.size() == 1; }));
    EXPECT_EQ(calls, 1);

    context.reset();
    EXPECT_EQ(listener->observerCount(), 1);
    ASSERT_TRUE(poster->post(QLatin1String(n::kRefreshPlugin)));
    ASSERT_TRUE(waitUntil([&] { return heard.size() == 2; }));
    EXPECT_EQ(calls, 1);
}

TEST_F(DistributedNotificationsTest, InvalidNamesAreRefused)
{
    EXPECT_EQ(listener->addObserver(QStringLiteral("not a member"), [](const DistributedNotification &) {}), 0u);
    EXPECT_FALSE(poster->post(QStringLiteral("bad.name")));
    EXPECT_FALSE(poster->post(QString()));
}

TEST_F(DistributedNotificationsTest, AForeignSenderIsHeardAndBadArgumentsIgnored)
{
    const QString gdbus = QStandardPaths::findExecutable(QStringLiteral("gdbus"));
    if (gdbus.isEmpty())
        GTEST_SKIP() << "gdbus is not installed";
    record(QLatin1String(n::kShowPlugInWindow));
    const auto emitSignal = [&](QStringList args) {
        QProcess p;
        // --session on the private bus: with --address gdbus makes a peer
        // connection, whose signals the daemon never routes.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        p.setProcessEnvironment(env);
        p.start(gdbus, QStringList{"emit", "--session", "--object-path", "/org/parley/PlugIn",
                                   "--signal", "org.parley.PlugIn1.PLShowPlugInWindow"}
                           + args);
        return p.waitForFinished(10000) && p.exitCode() == 0;
    };
    // Wrong signature first: ignored, nothing recorded.
    ASSERT_TRUE(emitSignal({"42"}));
    ASSERT_TRUE(emitSignal({QStringLiteral("'%1'").arg(n::kMessageBoxPlugInID), "@a{sv} {'date': <int64 5>}"}));
    ASSERT_TRUE(waitUntil([&] { return !heard.empty(); }));
    EXPECT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard.front().object, QLatin1String(n::kMessageBoxPlugInID));
    // PLShowPlugInWindow carries no dates, so the number stays a number.
    EXPECT_EQ(heard.front().userInfo.value("date").toLongLong(), 5);
}

TEST(DistributedNotificationsWire, DatesThatAreNoNumbersAreDropped)
{
    const QVariantMap in{{"date", QStringLiteral("yesterday")}, {"subject", QStringLiteral("hi")}};
    const QVariantMap out = DistributedNotificationCenter::fromWire(QLatin1String(n::kReadMemoDocument), in);
    EXPECT_FALSE(out.contains("date"));
    EXPECT_EQ(out.value("subject").toString(), "hi");
}

} // namespace
