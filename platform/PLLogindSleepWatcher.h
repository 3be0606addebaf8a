#pragma once

// Sleep and wake as logind tells them on the system bus: the signal
// PrepareForSleep(true) before the machine sleeps and PrepareForSleep(false)
// after it wakes. While running, the watcher holds a "delay" inhibitor lock,
// so that logind waits until the will-sleep callback has run and the lock
// has been let go; after waking it takes a new one. No bus or no logind: the
// watcher stays silent.

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <functional>

namespace parley {

class PLLogindSleepWatcher : public QObject
{
    Q_OBJECT

public:
    PLLogindSleepWatcher(const QDBusConnection &bus, std::function<void()> willSleep, std::function<void()> didWake,
                         QObject *parent = nullptr);
    ~PLLogindSleepWatcher() override;

    // Whether a delay lock is held right now.
    bool holdsDelayLock() const { return mLock.isValid(); }

private Q_SLOTS:
    void onPrepareForSleep(bool starting);

private:
    void takeDelayLock();

    QDBusConnection mBus;
    std::function<void()> mWillSleep;
    std::function<void()> mDidWake;
    QDBusUnixFileDescriptor mLock;
    bool mLockRequested = false;
};

} // namespace parley
