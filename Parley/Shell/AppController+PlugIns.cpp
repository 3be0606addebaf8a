// The plug-ins' side of the shell and the account's other logins. What runs
// here today: the session count the sign-out asks about and the menu item's
// place. Launching plug-ins, answering them and the session list come with
// the plug-in manager and the session list window.
#include "AppController.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "DistributedNotificationCenter.h"
#include "Sessions/PLParleySession.h"
#include "NotificationCenter.h"

namespace parley::shell {

void AppController::startPluginService() {}

void AppController::buildWindowMenuItem() {}

void AppController::openSessionManager()
{
    mIsSessionManagerIconClicked = true;
    if (PLParleySession *facade = session())
        facade->requestSessionList(PLMyInfoManager::sharedManager().loginID());
}

void AppController::sessionKill(const Notification &) {}

void AppController::sessionList(const Notification &) {}

void AppController::sessionCountNotification(const Notification &n)
{
    mSessionCount = n.userInfo.value(QStringLiteral("count")).toInt();
}

void AppController::sessionKilled(const Notification &) {}

void AppController::infoFromPlugIn(const DistributedNotification &) {}

void AppController::pluginOpenMessagBoxHelp(const DistributedNotification &) {}

void AppController::pluginOpenWebChatBox(const DistributedNotification &) {}

void AppController::pluginOpenWebMemoBox(const DistributedNotification &) {}

} // namespace parley::shell
