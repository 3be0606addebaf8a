#pragma once

// Turns the system's sleep and wake into three notifications: before sleep
// "ParleySystemWillSleepNotification"; after waking
// "ParleySystemWillPowerOnNotification" then
// "ParleySystemHasPoweredOnNotification" (no sender, no userInfo). The
// shell registers its observers and then calls start() once.

namespace parley {

class PLLogindSleepWatcher;

class PLSystemPowerNotificationManager
{
public:
    // Creates the one instance on the system bus; later calls do nothing.
    // Call on the main thread.
    static void start();
    // The instance, or null before start().
    static PLSystemPowerNotificationManager *sharedManager();

    PLSystemPowerNotificationManager(const PLSystemPowerNotificationManager &) = delete;
    PLSystemPowerNotificationManager &operator=(const PLSystemPowerNotificationManager &) = delete;

    bool holdsDelayLock() const;
    // Holds the machine awake for work that must end before it sleeps (see
    // PLLogindSleepWatcher::holdSleep). Answers whether a hold was taken: none
    // before start(). Each hold taken is released once.
    static bool holdSleep();
    static void releaseSleep();

private:
    PLSystemPowerNotificationManager();
    ~PLSystemPowerNotificationManager();

    PLLogindSleepWatcher *mWatcher = nullptr;
};

} // namespace parley
