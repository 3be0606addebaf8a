#include "PLSystemPowerNotificationManager.h"

#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLLogindSleepWatcher.h"

#include <QDBusConnection>
#include <QMutex>
#include <QMutexLocker>

namespace parley {

namespace {
QMutex gStartMutex;
PLSystemPowerNotificationManager *gShared = nullptr;

void post(const char *name)
{
    NotificationCenter::defaultCenter().post(QString::fromLatin1(name));
}
} // namespace

void PLSystemPowerNotificationManager::start()
{
    QMutexLocker lock(&gStartMutex);
    if (!gShared)
        gShared = new PLSystemPowerNotificationManager; // lives for the whole process
}

PLSystemPowerNotificationManager *PLSystemPowerNotificationManager::sharedManager()
{
    QMutexLocker lock(&gStartMutex);
    return gShared;
}

PLSystemPowerNotificationManager::PLSystemPowerNotificationManager()
    : mWatcher(new PLLogindSleepWatcher(
          QDBusConnection::systemBus(), [] { post(notifications::kSystemWillSleep); },
          [] {
              post(notifications::kSystemWillPowerOn);
              post(notifications::kSystemHasPoweredOn);
          }))
{
}

PLSystemPowerNotificationManager::~PLSystemPowerNotificationManager() { delete mWatcher; }

bool PLSystemPowerNotificationManager::holdsDelayLock() const { return mWatcher->holdsDelayLock(); }

bool PLSystemPowerNotificationManager::holdSleep()
{
    PLSystemPowerNotificationManager *manager = sharedManager();
    if (!manager)
        return false;
    manager->mWatcher->holdSleep();
    return true;
}

void PLSystemPowerNotificationManager::releaseSleep()
{
    if (PLSystemPowerNotificationManager *manager = sharedManager())
        manager->mWatcher->releaseSleep();
}

} // namespace parley
