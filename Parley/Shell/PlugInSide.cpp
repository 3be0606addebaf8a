#include "PlugInSide.h"

#include "BridgePage.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "PLSessionManager.h"
#include "PLUpdateManager.h"
#include "PlugInManager.h"
#include "ShellWindows.h"

namespace parley::shell {

PlugInSide::PlugInSide(UrlOpener *opener, ShellScheduler *scheduler)
    : mBridgePage(std::make_unique<parley::BridgePage>(opener, scheduler)),
      mPlugIns(std::make_unique<parley::PlugInManager>(scheduler)),
      mUpdates(std::make_unique<parley::PLUpdateManager>(*mPlugIns, scheduler)),
      mSessionList(std::make_unique<parley::SessionManagerWindowHost>())
{
    ShellWindows::setBridgePage(mBridgePage.get());
    ShellWindows::setPlugInManager(mPlugIns.get());
    ShellWindows::setUpdateManager(mUpdates.get());
    ShellWindows::setSessionManagerWindow(mSessionList.get());
    PLChatSessionManager::sharedManager().setBridgePage(mBridgePage.get());
}

PlugInSide::~PlugInSide()
{
    PLChatSessionManager::sharedManager().setBridgePage(nullptr);
    ShellWindows::setSessionManagerWindow(nullptr);
    ShellWindows::setUpdateManager(nullptr);
    ShellWindows::setPlugInManager(nullptr);
    ShellWindows::setBridgePage(nullptr);
    mBridgePage->removeBridgeFile();
}

} // namespace parley::shell
