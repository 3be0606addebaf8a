// A forced reload tells the message box every buddy's status: another process
// on a private bus hears "PLBuddyStatusList" with the whole list.

#include "BuddyListFixture.h"

#include "BuddyList/BuddyListDataSource.h"
#include "DistributedNotificationCenter.h"
#include "PlugInNotifications.h"
#include "PrivateBus.h"
#include "TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace buddylist::test {
namespace {

TEST(StatusListBus, ASecondProcessHearsEveryBuddysStatus)
{
    if (!parley::test::PrivateBus::available())
        GTEST_SKIP() << "dbus-daemon is not installed";
    parley::test::PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    BuddyStore store;
    store.group("1", "A");
    store.group("2", "B");
    store.buddy({"10", "x", "", 1, {"1"}});
    store.buddy({"11", "y", "", 3, {"1", "2"}});
    store.buddy({"12", "z", "", 0, {"2"}});

    QProcess listener;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    listener.setProcessEnvironment(environment);
    listener.start(QStringLiteral(STATUS_LISTENER_PROGRAM));
    ASSERT_TRUE(parley::test::waitUntil([&] { return listener.canReadLine(); }, 20000));
    ASSERT_EQ(listener.readLine().trimmed(), QByteArray("ready"));

    DistributedNotificationCenter center(bus.connect(QStringLiteral("buddylist-poster")));
    RecordingShell shell;
    ManualScheduler clock;
    BuddyListDataSource source(BuddyListManager::sharedManager());
    source.setShell(&shell);
    source.setScheduler(&clock);
    source.setStatusListPoster([&](const QVariantMap &list) { return plugin::postBuddyStatusList(list, center); });

    source.reloadBuddyData(true);

    ASSERT_TRUE(parley::test::waitUntil([&] { return listener.canReadLine(); }, 20000));
    const QJsonObject heard = QJsonDocument::fromJson(listener.readLine()).object();
    EXPECT_EQ(heard.toVariantMap(), (QVariantMap{{"10@parley.test", 1}, {"11@parley.test", 3}, {"12@parley.test", 0}}));
    // The listener may already have ended while the loop above ran events.
    EXPECT_TRUE(listener.state() == QProcess::NotRunning || listener.waitForFinished(10000));
    EXPECT_EQ(listener.exitCode(), 0);
}

} // namespace
} // namespace buddylist::test
