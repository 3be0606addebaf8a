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
    // Work that must finish before the machine sleeps (a sign-out being
    // written): while one is held, the lock stays held after the will-sleep
    // callback; the last release lets it go. logind bounds the wait itself.
    void holdSleep() { ++mHolds; }
    void releaseSleep();

private Q_SLOTS:
    void onPrepareForSleep(bool starting);

private:
    void takeDelayLock();
    void letGoOnceFree();

    QDBusConnection mBus;
    std::function<void()> mWillSleep;
    std::function<void()> mDidWake;
    QDBusUnixFileDescriptor mLock;
    bool mLockRequested = false;
    int mHolds = 0;
    bool mLetGoWhenFree = false;
};

} // namespace parley
