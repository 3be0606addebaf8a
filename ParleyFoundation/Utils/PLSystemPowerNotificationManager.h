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

private:
    PLSystemPowerNotificationManager();
    ~PLSystemPowerNotificationManager();

    PLLogindSleepWatcher *mWatcher = nullptr;
};

} // namespace parley
