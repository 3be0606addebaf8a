#pragma once

// Where the sign-in finds the managers it reaches through interfaces. Each
// accessor answers the installed manager, or a process-wide
// PLRecordingManagers until one is installed. Installed objects are not
// owned: the installer keeps them alive and installs nullptr before
// destroying them.

#include "PLChatSessionManagerInterface.h"
#include "PLCookieManagerInterface.h"
#include "PLFileTransferManagerInterface.h"
#include "PLMailTransferManagerInterface.h"
#include "PLP2PSessionManagerInterface.h"

namespace parley {

class PLRecordingManagers;

class PLManagerRegistry
{
public:
    static PLP2PSessionManagerInterface &p2pSessionManager();
    static PLCookieManagerInterface &cookieManager();
    static PLChatSessionManagerInterface &chatSessionManager();
    static PLFileTransferManagerInterface &fileTransferManager();
    static PLMailTransferManagerInterface &mailTransferManager();

    static void setP2PSessionManager(PLP2PSessionManagerInterface *manager);
    static void setCookieManager(PLCookieManagerInterface *manager);
    static void setChatSessionManager(PLChatSessionManagerInterface *manager);
    static void setFileTransferManager(PLFileTransferManagerInterface *manager);
    static void setMailTransferManager(PLMailTransferManagerInterface *manager);

    // The stand-in that answers for every manager not installed.
    static PLRecordingManagers &standIn();
};

} // namespace parley
