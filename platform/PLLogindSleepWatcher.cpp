#include "PLLogindSleepWatcher.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace parley {

namespace {
constexpr char kService[] = "org.freedesktop.login1";
constexpr char kPath[] = "/org/freedesktop/login1";
constexpr char kInterface[] = "org.freedesktop.login1.Manager";
} // namespace

PLLogindSleepWatcher::PLLogindSleepWatcher(const QDBusConnection &bus, std::function<void()> willSleep,
                                           std::function<void()> didWake, QObject *parent)
    : QObject(parent), mBus(bus), mWillSleep(std::move(willSleep)), mDidWake(std::move(didWake))
{
    if (!mBus.isConnected())
        return;
    mBus.connect(QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                 QStringLiteral("PrepareForSleep"), this, SLOT(onPrepareForSleep(bool)));
    takeDelayLock();
}

PLLogindSleepWatcher::~PLLogindSleepWatcher()
{
    if (mBus.isConnected())
        mBus.disconnect(QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                        QStringLiteral("PrepareForSleep"), this, SLOT(onPrepareForSleep(bool)));
}

void PLLogindSleepWatcher::takeDelayLock()
{
    if (mLock.isValid() || mLockRequested)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kInterface), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Parley") << QStringLiteral("Signing out before the system sleeps")
         << QStringLiteral("delay");
    mLockRequested = true;
    // Asynchronous: the main thread never waits for the bus.
    auto *pending = new QDBusPendingCallWatcher(mBus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *watcher) {
        mLockRequested = false;
        QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
        if (!reply.isError() && reply.value().isValid())
            mLock = reply.value();
        watcher->deleteLater();
    });
}

void PLLogindSleepWatcher::letGoOnceFree()
{
    mLetGoWhenFree = mHolds > 0;
    if (!mLetGoWhenFree)
        mLock = QDBusUnixFileDescriptor();
}

void PLLogindSleepWatcher::releaseSleep()
{
    if (mHolds > 0)
        --mHolds;
    if (mHolds == 0 && mLetGoWhenFree) {
        mLetGoWhenFree = false;
        mLock = QDBusUnixFileDescriptor();
    }
}

void PLLogindSleepWatcher::onPrepareForSleep(bool starting)
{
    if (starting) {
        if (mWillSleep)
            mWillSleep();
        // Let go one event-loop pass later, so that what the callback queued
        // goes out before logind lets the machine sleep, and not before the
        // work it holds for (the sign-out written) is done.
        QMetaObject::invokeMethod(this, &PLLogindSleepWatcher::letGoOnceFree, Qt::QueuedConnection);
        return;
    }
    if (mDidWake)
        mDidWake();
    takeDelayLock();
}

} // namespace parley
