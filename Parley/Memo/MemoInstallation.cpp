#include "MemoInstallation.h"

#include "BuddyList/BuddyListCommands.h"
#include "DistributedNotificationCenter.h"
#include "NotificationCenter.h"
#include "UserDefaults.h"

namespace parley {

MemoInstallation::MemoInstallation(BuddyListCommands &buddyCommands, shell::UrlOpener *opener)
    : mBuddyCommands(buddyCommands), mServices(opener),
      mManager(mServices, NotificationCenter::defaultCenter(), &DistributedNotificationCenter::defaultCenter(),
               UserDefaults::standardUserDefaults())
{
    MessageWindowManager::setSharedManager(&mManager);
    shell::ShellWindows::setMessageWindowManager(&mManager);
    mBuddyCommands.setMemoWindows(&mManager);
}

MemoInstallation::~MemoInstallation()
{
    mBuddyCommands.setMemoWindows(nullptr);
    shell::ShellWindows::setMessageWindowManager(nullptr);
    MessageWindowManager::setSharedManager(nullptr);
}

} // namespace parley
