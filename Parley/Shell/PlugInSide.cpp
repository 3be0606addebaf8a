#include "PlugInSide.h"

#include "BridgePage.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "PLSessionManager.h"
#include "PLUpdateManager.h"
#include "PlugInManager.h"
#include "PlugInPrefsHost.h"
#include "Preferences/PrefsServices.h"
#include "ShellWindows.h"

namespace parley::shell {

PlugInSide::PlugInSide(UrlOpener *opener, ShellScheduler *scheduler)
    : mBridgePage(std::make_unique<parley::BridgePage>(opener, scheduler)),
      mPlugIns(std::make_unique<parley::PlugInManager>(scheduler)),
      mUpdates(std::make_unique<parley::PLUpdateManager>(*mPlugIns, scheduler)),
      mSessionList(std::make_unique<parley::SessionManagerWindowHost>()),
      mPrefsHost(std::make_unique<parley::PlugInPrefsHost>(*mPlugIns, *mUpdates))
{
    ShellWindows::setBridgePage(mBridgePage.get());
    ShellWindows::setPlugInManager(mPlugIns.get());
    ShellWindows::setUpdateManager(mUpdates.get());
    ShellWindows::setSessionManagerWindow(mSessionList.get());
    PLChatSessionManager::sharedManager().setBridgePage(mBridgePage.get());
    PrefsServices::setPlugInHost(mPrefsHost.get());
}

PlugInSide::~PlugInSide()
{
    PrefsServices::setPlugInHost(nullptr);
    PLChatSessionManager::sharedManager().setBridgePage(nullptr);
    ShellWindows::setSessionManagerWindow(nullptr);
    ShellWindows::setUpdateManager(nullptr);
    ShellWindows::setPlugInManager(nullptr);
    ShellWindows::setBridgePage(nullptr);
    mBridgePage->removeBridgeFile();
}

} // namespace parley::shell
