#pragma once

// Installs the chat windows and the file transfer window in the running
// messenger for its lifetime: the chat-window manager as the shell's, the
// chat-session manager's and the buddy list's, "PLConversationWindow" from
// other processes, the transfer window with its lines into the chat windows,
// and the download's save questions as dialogs. Uninstalls all of it, closing
// the windows, when it goes.

#include "ChatManager.h"

#include "Transfer/FileSaveDialogs.h"
#include "Transfer/PLFileTransferPort.h"
#include "Transfer/TransferController.h"

#include <memory>

namespace parley {

class BuddyListDataSource;
class DistributedNotificationCenter;

class ChatInstallation
{
public:
    // `plugInCenter`: the bus of the plug-ins (the session bus's when null);
    // `opener`: where the windows' links open (the desktop's browser when null).
    explicit ChatInstallation(BuddyListDataSource *buddyList = nullptr,
                              DistributedNotificationCenter *plugInCenter = nullptr,
                              shell::UrlOpener *opener = nullptr);
    ~ChatInstallation();
    ChatInstallation(const ChatInstallation &) = delete;
    ChatInstallation &operator=(const ChatInstallation &) = delete;

    ChatManager &manager() { return *mManager; }
    TransferController &transfers() { return *mTransfers; }

private:
    BuddyListDataSource *mBuddyList;
    std::unique_ptr<ChatManager> mManager;
    PLFileTransferPort mPort;
    std::unique_ptr<TransferController> mTransfers;
    FileSaveDialogs mSaveDialogs;
};

} // namespace parley
