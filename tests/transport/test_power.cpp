// Sleep and wake from logind on a private bus started by the test.
#include "FakeLogind.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLLogindSleepWatcher.h"
#include "TestSupport.h"
#include "Utils/PLSystemPowerNotificationManager.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;

namespace {

bool haveDaemon()
{
    return !QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty();
}

} // namespace

TEST(PLLogindSleepWatcher, HoldsTheDelayLockUntilWillSleepHasRun)
{
    if (!haveDaemon())
        GTEST_SKIP() << "dbus-daemon is not installed";
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    FakeLogind logind(bus.address());
    QDBusConnection client = QDBusConnection::connectToBus(bus.address(), QStringLiteral("client"));
    ASSERT_TRUE(client.isConnected());

    QStringList events;
    int heldDuringWillSleep = -1;
    {
        PLLogindSleepWatcher watcher(
            client,
            [&] {
                events << "willSleep";
                heldDuringWillSleep = logind.locksHeld();
            },
            [&] { events << "didWake"; });
        ASSERT_TRUE(waitUntil([&] { return watcher.holdsDelayLock(); }));
        EXPECT_EQ(logind.lastRequest, (QStringList{"sleep", "Parley", "Signing out before the system sleeps", "delay"}));
        EXPECT_EQ(logind.locksHeld(), 1);

        logind.emitPrepareForSleep(true);
        ASSERT_TRUE(waitUntil([&] { return events.size() == 1; }));
        // The lock was still held while the will-sleep work ran...
        EXPECT_EQ(heldDuringWillSleep, 1);
        // ...and is let go afterwards.
        ASSERT_TRUE(waitUntil([&] { return logind.locksHeld() == 0; }));

        logind.emitPrepareForSleep(false);
        ASSERT_TRUE(waitUntil([&] { return events.size() == 2; }));
        EXPECT_EQ(events, (QStringList{"willSleep", "didWake"}));
        // A new lock for the next sleep.
        ASSERT_TRUE(waitUntil([&] { return logind.locksGiven() == 2 && watcher.holdsDelayLock(); }));
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
}

TEST(PLLogindSleepWatcher, AHoldTakenBeforeSleepKeepsTheLockUntilReleased)
{
    if (!haveDaemon())
        GTEST_SKIP() << "dbus-daemon is not installed";
    PrivateBus bus;
    FakeLogind logind(bus.address());
    QDBusConnection client = QDBusConnection::connectToBus(bus.address(), QStringLiteral("holder"));
    {
        bool willSleepRan = false;
        PLLogindSleepWatcher *watcher = nullptr;
        PLLogindSleepWatcher made(
            client,
            [&] {
                willSleepRan = true;
                watcher->holdSleep(); // a sign-out that is still being written
                watcher->holdSleep(); // and a second one
            },
            [] {});
        watcher = &made;
        ASSERT_TRUE(waitUntil([&] { return made.holdsDelayLock(); }));
        logind.emitPrepareForSleep(true);
        ASSERT_TRUE(waitUntil([&] { return willSleepRan; }));
        // Several passes of the event loop later the lock is still held...
        waitUntil([] { return false; }, 100);
        EXPECT_EQ(logind.locksHeld(), 1);
        made.releaseSleep();
        waitUntil([] { return false; }, 100);
        EXPECT_EQ(logind.locksHeld(), 1) << "one hold is still taken";
        // ...until the last hold goes.
        made.releaseSleep();
        EXPECT_TRUE(waitUntil([&] { return logind.locksHeld() == 0; }));
        EXPECT_FALSE(made.holdsDelayLock());
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("holder"));
}

TEST(PLLogindSleepWatcher, NoLogindMeansSilence)
{
    if (!haveDaemon())
        GTEST_SKIP() << "dbus-daemon is not installed";
    PrivateBus bus;
    QDBusConnection client = QDBusConnection::connectToBus(bus.address(), QStringLiteral("lonely"));
    bool called = false;
    {
        PLLogindSleepWatcher watcher(client, [&] { called = true; }, [&] { called = true; });
        QDBusConnection other = QDBusConnection::connectToBus(bus.address(), QStringLiteral("impostor"));
        // A PrepareForSleep from a sender that does not own logind's name is not listened to.
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                                         QStringLiteral("PrepareForSleep"));
        signal << true;
        other.send(signal);
        // A round trip through the bus, so that anything sent has arrived.
        QDBusMessage ping = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                                           QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId"));
        client.call(ping);
        QCoreApplication::processEvents();
        EXPECT_FALSE(watcher.holdsDelayLock());
        QDBusConnection::disconnectFromBus(QStringLiteral("impostor"));
    }
    EXPECT_FALSE(called);
    QDBusConnection::disconnectFromBus(QStringLiteral("lonely"));

    // No bus at all.
    PLLogindSleepWatcher orphan(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("none")),
                                [&] { called = true; }, [&] { called = true; });
    EXPECT_FALSE(orphan.holdsDelayLock());
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}

TEST(PLSystemPowerNotificationManager, PostsTheThreeNotificationsInOrderOnce)
{
    if (!haveDaemon())
        GTEST_SKIP() << "dbus-daemon is not installed";
    PrivateBus bus;
    FakeLogind logind(bus.address());
    // The system bus of this process is the private one (read on first use).
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toUtf8());

    QStringList posted;
    NotificationCenter &center = NotificationCenter::defaultCenter();
    QList<NotificationCenter::Token> tokens;
    for (const char *name : {notifications::kSystemWillSleep, notifications::kSystemWillPowerOn,
                             notifications::kSystemHasPoweredOn}) {
        tokens << center.addObserver(QString::fromLatin1(name), nullptr, [&](const Notification &n) {
            posted << n.name;
            EXPECT_EQ(n.sender, nullptr);
            EXPECT_TRUE(n.userInfo.isEmpty());
        });
    }
    PLSystemPowerNotificationManager::start();
    PLSystemPowerNotificationManager::start();
    ASSERT_NE(PLSystemPowerNotificationManager::sharedManager(), nullptr);
    ASSERT_TRUE(waitUntil([] { return PLSystemPowerNotificationManager::sharedManager()->holdsDelayLock(); }));
    EXPECT_EQ(logind.locksGiven(), 1) << "two starts register once";

    logind.emitPrepareForSleep(true);
    logind.emitPrepareForSleep(false);
    ASSERT_TRUE(waitUntil([&] { return posted.size() == 3; }));
    EXPECT_EQ(posted, (QStringList{"ParleySystemWillSleepNotification", "ParleySystemWillPowerOnNotification",
                                   "ParleySystemHasPoweredOnNotification"}));
    for (auto token : tokens)
        center.removeObserver(token);
}
