// A lost connection, a failed connect, a silent server, sleep and wake: the
// shell signs out locally and signs in again by itself with the saved token.
#include "AppController.h"

#include "LoginOptions.h"
#include "LoginView.h"
#include "Log.h"
#include "KCAlertPresenter.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "RetrySchedule.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace parley::shell {

void AppController::retryLoginStart()
{
    LoginView *login = loginView();
    login->setSpinning(true);
    login->selectTab(LoginView::SigningInTab);
    if (mIsRetryingValue) {
        mRetryCountValue = 1;
        retryTimer();
    }
}

void AppController::retryTimer()
{
    if (mIsRetryRunningValue)
        return;
    if (!mIsCompletedLoginValue)
        mIsRetryRunningValue = true;
    if (!mIsRetryingValue || mRetryCountValue == 0)
        return;
    const int delay = RetrySchedule::delaySeconds(mRetryCountValue, mRandom);
    ++mRetryCountValue;
    // Cancelled meanwhile (or signed in by hand): no sign-in behind the user's back.
    mScheduler->schedule(this, delay, [this] {
        if (mIsRetryingValue && !loginStatus())
            retryLogin();
    });
}

void AppController::retryLogin()
{
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    LoginView *login = loginView();
    QString name = login->idField->text();
    if (name.isEmpty())
        name = defaults.stringForKey(QStringLiteral("accountname"));
    QString domain = login->domain();
    if (domain.isEmpty())
        domain = defaults.stringForKey(QStringLiteral("accountDomain"));
    if (name.isEmpty() || domain.isEmpty()) {
        loginAsOtherIDAction();
        return;
    }
    const QString userID = QStringLiteral("%1@%2").arg(name, domain);
    const QString token = defaults.stringForKey(QStringLiteral("accountToken"));
    mIsBuddyDataReceivedValue = false;
    const bool invisible = login->loginAsInvisible->isChecked();
    mIsStatusSetFromUser = invisible;
    if (!token.isEmpty()) {
        signInWith(userID, token, loginOptions(LoginPath::RetryWithToken, invisible));
        return;
    }
    const QString password = login->passwordField->text();
    if (password.isEmpty()) {
        loginAsOtherIDAction();
        return;
    }
    signInWith(userID, password, loginOptions(LoginPath::RetryWithoutToken, invisible));
}

// Connection notifications.

void AppController::sessionClosedNotification(const Notification &notification)
{
    ChatManager &chats = ShellWindows::chatManager();
    if (!chats.visibleChatDocumentList().isEmpty())
        chats.closeAllChatDocuments();
    SessionManagerWindow &sessionList = ShellWindows::sessionManagerWindow();
    if (sessionList.isAvailable())
        sessionList.closeWindow();
    if (mIsSleepingValue)
        return;
    const QString how = notification.userInfo.value(QLatin1String(notifications::kSessionClosedKey)).toString();
    if (how == QLatin1String("DPLSessionRetry")) {
        mIsRetryingValue = true;
        retryLoginStart();
    } else if (how == QLatin1String("DPSessionRetry") || how == QLatin1String("DPSessionError")) {
        logoutProcessing(true);
        mIsRetryingValue = true;
        retryLoginStart();
    } else if (mIsRetryingValue) {
        retryLoginStart();
    } else if (mIsCompletedLoginValue) {
        mIsRetryingValue = true;
        retryLoginStart();
    }
}

void AppController::sessionConnectionFailedNotification(const Notification &notification)
{
    // Whose connection failed is known only now, while the sender is the
    // facade's session; what follows may replace that session, so it runs
    // once the facade's call that connected has returned.
    const bool signInConnection = mSession->isSignInSession(notification.sender);
    QMetaObject::invokeMethod(this, [this, signInConnection] { sessionConnectionFailed(signInConnection); },
                              Qt::QueuedConnection);
}

void AppController::sessionConnectionFailed(bool signInConnection)
{
    if (mIsRetryingValue || mIsRestoredValue) {
        mIsRestoredValue = false;
        mIsSleepingValue = true;
        retryLoginStart();
        return;
    }
    // A chat room's connection is the chat window's business.
    if (!signInConnection)
        return;
    loginCancelAction();
    logoutProcessing(true);
    KCAlertRequest request;
    request.key = QStringLiteral("AlertNetworkError");
    request.title = KCLocalizedString(QStringLiteral("Parley"));
    request.message = KCLocalizedString(QStringLiteral("AlertNetworkError"));
    request.buttons = {KCLocalizedString(QStringLiteral("Quit"))};
    request.style = KCAlertRequest::Style::Critical;
    KCAlerts().ask(request);
    mIsRetryingValue = false;
    mIsRetryRunningValue = false;
}

void AppController::serverTimeout(const Notification &)
{
    mSession->setIsAvailablePONG(false);
    mSession->logout(true);
    retryLogin();
}

// Power.

void AppController::systemWillSleepNotification(const Notification &)
{
    mLastMyStatusValue = ShellWindows::statusView().title();
    mIsSleepingValue = true;
    mIsRetryingValue = PrefsManager::pref_IsAutoLogin();
    mIsRetryRunningValue = false;
    logoutProcessing(true);
}

void AppController::systemWillPowerOnNotification(const Notification &)
{
    // The network needs a moment after waking; the wake's work waits a second
    // without holding up the event loop.
    mWakePending = true;
    mScheduler->schedule(this, 1.0, [this] {
        mWakePending = false;
        systemHasPoweredOn();
    });
}

void AppController::systemHasPoweredOnNotification(const Notification &)
{
    if (!mWakePending)
        systemHasPoweredOn();
}

void AppController::systemHasPoweredOn()
{
    mIsSleepingValue = false;
    if (mIsRetryingValue && mIsCompletedLoginValue)
        retryLoginStart();
}

} // namespace parley::shell
