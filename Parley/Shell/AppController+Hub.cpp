// The services' other notifications: buddy-list reloads, the buddy request
// window, certificate errors, the nickname and the chat-log upload. The
// handlers that raise notices, sounds and error alerts, and the own-status
// change, are still empty: they come with the notices and the status view.
#include "AppController.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "BuddyView.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "HTTPInterface/PLHTTPManager.h"
#include "KCAlertPresenter.h"
#include "LoginView.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <QLabel>
#include <QLineEdit>

#include <thread>

namespace parley::shell {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

QString infoText(const Notification &n, const char *key) { return n.userInfo.value(QLatin1String(key)).toString(); }

} // namespace

void AppController::reloadIfCompleted(bool rebuild)
{
    if (mIsCompletedLoginValue)
        ShellWindows::buddyListDataSource().reloadBuddyData(rebuild);
}

void AppController::changeStatus(const Notification &) {}

void AppController::groupInfoWillDownloadNotification(const Notification &) {}

void AppController::groupInfoDidDownloadedNotification(const Notification &) {}

void AppController::buddyManagerGroupUpdatedNotification(const Notification &) { reloadIfCompleted(true); }

void AppController::buddyManagerBuddyUpdatedNotification(const Notification &n)
{
    // A buddy the list does not know yet needs new rows.
    const bool unknown = !PLBuddyManager::sharedManager().buddyForID(infoText(n, notifications::kKeyVelaID));
    reloadIfCompleted(unknown);
}

void AppController::buddyManagerBuddyLoggedNotification(const Notification &)
{
    if (ShellWindows::buddyListManager().buddyListType() != 0)
        reloadIfCompleted(true);
}

void AppController::buddyManagerBuddyLogoutNotification(const Notification &)
{
    if (ShellWindows::buddyListManager().buddyListType() != 0)
        reloadIfCompleted(true);
}

void AppController::buddyManagerRequestAddBuddyReceivedNotification(const Notification &n)
{
    const QString fromID = infoText(n, notifications::kKeyFromID);
    const QString fromCMN = infoText(n, notifications::kKeyFromCMN);
    const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(fromID);
    if (buddy && !buddy->buddyFlagFLBit()) {
        std::unique_ptr<BuddyRequestController> window = ShellWindows::makeBuddyRequestController();
        window->showBuddyRequestWindow(fromID, fromCMN, infoText(n, "message"));
        // A second request from the same person replaces the first window.
        removeAddBuddyWidget(fromCMN);
        mAddBuddyWidgets[fromCMN] = std::move(window);
    }
    reloadIfCompleted(true);
}

void AppController::buddyStringTypeChangedNotification(const Notification &) {}

void AppController::sessionConnectedNotification(const Notification &) {}

void AppController::myNickNameChangedNotification(const Notification &)
{
    if (mMainWindow)
        mMainWindow->buddyView()->nickNameView->setText(PLMyInfoManager::sharedManager().nickName());
}

void AppController::myAlarmNotification(const Notification &) {}

void AppController::buddyAlarmNotification(const Notification &) { reloadIfCompleted(false); }

void AppController::preferenceSaveNotification(const Notification &) {}

void AppController::orchardMainAccountInfoReceivedNotification(const Notification &) { reloadIfCompleted(false); }

void AppController::orchardNewArticleInfoReceivedNotification(const Notification &) { reloadIfCompleted(false); }

void AppController::updateManagerMainVersionCheckedNotification(const Notification &) {}

void AppController::updateManagerPlugInVersionCheckedNotification(const Notification &) {}

void AppController::plugInQuitNotification(const Notification &) {}

void AppController::errorCodeReceivedNotification(const Notification &n)
{
    if (!n.userInfo.contains(QStringLiteral("errorInfo")))
        return;
    LoginView *login = loginView();
    login->setSpinning(false);
    login->selectTab(LoginView::FormTab);
}

void AppController::certificationInitErrorNotification(const Notification &)
{
    KCAlertRequest request;
    request.key = QStringLiteral("AlertCertInit");
    request.title = text("Parley");
    request.message = text("AlertCertInit");
    request.buttons = {text("Quit")};
    request.style = KCAlertRequest::Style::Critical;
    KCAlerts().ask(request);
    mIsRetryingValue = false;
    mIsCompletedLoginValue = false;
    mSession->stopLogin();
    LoginView *login = loginView();
    login->setSpinning(false);
    login->passwordField->clear();
    login->selectTab(LoginView::FormTab);
}

void AppController::certificationErrorNotification(const Notification &n)
{
    if (n.userInfo.value(QStringLiteral("error")).toInt() != -1)
        return;
    if (!n.userInfo.value(QStringLiteral("chat")).toBool()) {
        // The user refused the sign-in server's certificate.
        mIsRetryingValue = false;
        mIsCompletedLoginValue = false;
        mSession->stopLogin();
        LoginView *login = loginView();
        login->setSpinning(false);
        login->passwordField->clear();
        login->selectTab(LoginView::FormTab);
        return;
    }
    KCAlertRequest request;
    request.key = QStringLiteral("AlertChatCertInit");
    request.title = text("Parley");
    request.message = text("AlertChatCertInit");
    request.buttons = {text("Quit")};
    request.style = KCAlertRequest::Style::Critical;
    KCAlerts().ask(request);
    // Chats go unencrypted from now on, as the user's setting says.
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (!mCurrentUserID.isEmpty() && defaults.hasUserDictionary(mCurrentUserID)) {
        QVariantMap preferences = defaults.userDictionary(mCurrentUserID);
        preferences.insert(QStringLiteral("PrivacyEncrypt"), false);
        defaults.setUserDictionary(mCurrentUserID, preferences);
    }
    if (mOptions.installCoreServices)
        PLChatSessionManager::sharedManager().setEncryptMode(false);
    ChatManager &chats = ShellWindows::chatManager();
    if (!chats.visibleChatDocumentList().isEmpty())
        chats.closeAllChatDocuments();
}

void AppController::saveChatMessage(const Notification &n)
{
    const QString content = infoText(n, "content");
    // The upload waits for the reply; it runs beside the event loop.
    std::thread([content] { PLHTTPManager::sharedManager().saveChatPOST(content); }).detach();
}

} // namespace parley::shell
