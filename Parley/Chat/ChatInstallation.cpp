#include "ChatInstallation.h"

#include "BuddyList/BuddyListDataSource.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "DistributedNotificationCenter.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "NotificationCenter.h"

namespace parley {

ChatInstallation::ChatInstallation(BuddyListDataSource *buddyList, DistributedNotificationCenter *plugInCenter,
                                   shell::UrlOpener *opener)
    : mBuddyList(buddyList),
      mManager(std::make_unique<ChatManager>(PLChatSessionManager::sharedManager(),
                                             NotificationCenter::defaultCenter(), ChatManager::facadeAccount())),
      mPort(PLFileTransferManager::sharedManager())
{
    DistributedNotificationCenter &bus = plugInCenter ? *plugInCenter : DistributedNotificationCenter::defaultCenter();
    mManager->setPlugInCenter(&bus);
    mManager->setUrlOpener(opener);
    mManager->listenForConversationRequests(bus);
    PLChatSessionManager::sharedManager().setChatWindows(&mManager->coreInterface());
    shell::ShellWindows::setChatManager(mManager.get());
    if (mBuddyList)
        mBuddyList->setChatManager(&mManager->coreInterface());
    mTransfers = std::make_unique<TransferController>(mPort, mManager.get(), NotificationCenter::defaultCenter());
    PLFileTransferManager::sharedManager().setSaveQuestion(&mSaveDialogs);
}

ChatInstallation::~ChatInstallation()
{
    PLFileTransferManager::sharedManager().setSaveQuestion(nullptr);
    mTransfers.reset();
    if (mBuddyList)
        mBuddyList->setChatManager(nullptr);
    shell::ShellWindows::setChatManager(nullptr);
    PLChatSessionManager::sharedManager().setChatWindows(nullptr);
    mManager.reset();
}

} // namespace parley
