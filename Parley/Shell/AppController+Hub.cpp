// The services' other notifications: buddy-list reloads, the buddy request
// window, buddy sign-in notices and sounds, the own alarms, the server's
// error codes as alerts, certificate errors, saved preferences, the nickname
// and the chat-log upload.
#include "AppController.h"

#include "BuddyList/BuddyString.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "BuddyView.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "DesktopNoticeBridge.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "FileTransfer/PLP2PSessionManager.h"
#include "HTTPInterface/PLHTTPManager.h"
#include "KCAlertPresenter.h"
#include "LoginView.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Sessions/PLAccountWebQueries.h"
#include "Utils/PLEndpoints.h"
#include "UserDefaults.h"
#include "Utils/KCSounds.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <thread>

namespace parley::shell {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

QString infoText(const Notification &n, const char *key) { return n.userInfo.value(QLatin1String(key)).toString(); }

// An alert with the one button "OK".
KCAlertRequest okAlert(const QString &key, const QString &title, const QString &message, KCAlertRequest::Style style,
                       QWidget *parent)
{
    KCAlertRequest request;
    request.key = key;
    request.title = title;
    request.message = message;
    request.buttons = {text("OK")};
    request.style = style;
    request.parent = parent;
    return request;
}

// A certificate that can't be used: the alert waits for its one button, "Quit".
void askOverCertificate(const char *key)
{
    KCAlertRequest request;
    request.key = QLatin1String(key);
    request.title = text("Parley");
    request.message = text(key);
    request.buttons = {text("Quit")};
    request.style = KCAlertRequest::Style::Critical;
    KCAlerts().ask(request);
}

} // namespace

void AppController::reloadIfCompleted(bool rebuild)
{
    if (mIsCompletedLoginValue)
        ShellWindows::buddyListDataSource().reloadBuddyData(rebuild);
}

void AppController::groupInfoWillDownloadNotification(const Notification &) {}

void AppController::groupInfoDidDownloadedNotification(const Notification &) {}

void AppController::buddyManagerGroupUpdatedNotification(const Notification &) { reloadIfCompleted(true); }

void AppController::buddyManagerBuddyUpdatedNotification(const Notification &n)
{
    // A buddy the list does not know yet needs new rows.
    const bool unknown = !PLBuddyManager::sharedManager().buddyForID(infoText(n, notifications::kKeyVelaID));
    reloadIfCompleted(unknown);
}

void AppController::buddyManagerBuddyLoggedNotification(const Notification &n)
{
    if (ShellWindows::buddyListManager().buddyListType() != 0)
        reloadIfCompleted(true);
    const QString buddyID = infoText(n, notifications::kKeyVelaID);
    const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(buddyID);
    // Only a buddy of the user's own list who is allowed and not blocked.
    if (!buddy || buddy->buddyFlagBLBit() || !buddy->buddyFlagFLBit() || !buddy->buddyFlagALBit())
        return;
    const QString display = BuddyString::buddyStringWithBuddy(buddy);
    ShellWindows::toasterManager().showToasterWindow(QStringLiteral("LGIN"), display, QString(QLatin1String("")),
                                                     nullptr, QString(), {{QStringLiteral("velaID"), buddyID}});
    DesktopNoticeBridge::notifyWithTitle(display, text("LoginInfomation"), QStringLiteral("Parley Login"),
                                         QStringLiteral("ToastIconLogin"), 0, false,
                                         {QStringLiteral("LGIN"), buddyID});
    if (PrefsManager::noti_IsUseSound() && PrefsManager::noti_IsUseSoundForBuddy())
        KCPlayBuddyLoginSound(mCurrentUserID);
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
        // A closed window leaves the map (later, outside its own closing).
        BuddyRequestController *opened = window.get();
        window->setClosedHandler([this, fromCMN, opened] {
            QMetaObject::invokeMethod(
                this,
                [this, fromCMN, opened] {
                    const auto found = mAddBuddyWidgets.find(fromCMN);
                    if (found != mAddBuddyWidgets.end() && found->second.get() == opened)
                        mAddBuddyWidgets.erase(found);
                },
                Qt::QueuedConnection);
        });
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

void AppController::myAlarmNotification(const Notification &n)
{
    setMiniNookNew(PLMyInfoManager::sharedManager().isOrchardGuestBookHasNewPost());
    const QString type = infoText(n, "svcGB");
    // A mail notice names its sender; the others name nobody.
    const QString sender = type == QLatin1String("MAIL") ? infoText(n, "svc_defined") : QString();
    ShellWindows::toasterManager().showToasterWindow(type, sender, infoText(n, "text"), nullptr, infoText(n, "url"),
                                                     n.userInfo);
}

void AppController::buddyAlarmNotification(const Notification &) { reloadIfCompleted(false); }

void AppController::preferenceSaveNotification(const Notification &)
{
    if (PrefsManager::firewall_IsUseProxy()) {
        const int mode = PrefsManager::firewall_ProxyMode();
        mSession->setProxyMode(mode, PrefsManager::firewall_ProxyServer(), PrefsManager::firewall_ProxyPort(mode),
                               PrefsManager::firewall_ProxyUser(), PrefsManager::firewall_ProxyPass());
    } else {
        mSession->setProxyMode(0, QString(), 0, QString(), QString());
    }
    if (mOptions.installCoreServices)
        PLP2PSessionManager::sharedManager().setP2pPortNo(PrefsManager::firewall_P2PPort());
    if (loginStatus()) {
        if (mOptions.installCoreServices) {
            PLFileTransferManager::sharedManager().setDownloadPath(PrefsManager::general_DownloadFolder());
            PLChatSessionManager::sharedManager().setEncryptMode(PrefsManager::privacy_IsMessageEncoded());
        }
        setIdleTimer();
        reloadIfCompleted(false);
        if (!PrefsManager::parley_Islinked() && !PrefsManager::orchard_Islinked()) {
            setOrchardNew(false);
            setMiniNookNew(false);
        }
    }
    const int memoShowType = PrefsManager::noti_showMemoType();
    if (memoShowType != mLastMemoShowType) {
        mSession->sendLOPT();
        mLastMemoShowType = memoShowType;
    }
}

void AppController::orchardMainAccountInfoReceivedNotification(const Notification &) { reloadIfCompleted(false); }

void AppController::orchardNewArticleInfoReceivedNotification(const Notification &)
{
    // A new guest-book article lights the personal-page button.
    setMiniNookNew(PLMyInfoManager::sharedManager().isOrchardGuestBookHasNewPost());
    reloadIfCompleted(false);
}

void AppController::errorCodeReceivedNotification(const Notification &n)
{
    const QVariant info = n.userInfo.value(QStringLiteral("errorInfo"));
    if (!info.isValid())
        return;
    LoginView *login = loginView();
    login->setSpinning(false);
    login->selectTab(LoginView::FormTab);
    const QVariantMap errorInfo = info.toMap();
    const int code = errorInfo.value(QStringLiteral("errorCode")).toString().toInt();
    QString received = errorInfo.value(QStringLiteral("receivedData")).toString();
    while (received.endsWith(QLatin1Char('\n')) || received.endsWith(QLatin1Char('\r')))
        received.chop(1);
    const QStringList fields = received.split(QLatin1Char(' '));

    const auto alert = [this](const QString &key, const QString &title, const QString &message,
                              KCAlertRequest::Style style) {
        KCAlerts().show(okAlert(key, title, message, style, mMainWindow));
    };
    switch (code) {
    case 201:
    case 300:
        signInRefused(false);
        break;
    case 301:
        signInRefused(true);
        break;
    case 309:
        mIsRetryingValue = false;
        alert(QStringLiteral("DPError309"), text("PAR LEY"), text("DPError309"), KCAlertRequest::Style::Warning);
        break;
    case 395:
        askForOTP();
        break;
    case 396:
        alert(QStringLiteral("OTPUserError"), text("OTPUErrorTitle"), text("OTPUserError"),
              KCAlertRequest::Style::Critical);
        break;
    case 397:
        alert(QStringLiteral("OTPInputLimitError"), text("OTPErrorTitle"), text("OTPInputLimitError"),
              KCAlertRequest::Style::Critical);
        break;
    case 997:
        // The server's own words, shown as plain text.
        alert(QStringLiteral("Error997"), text("Parley"),
              fields.size() >= 4 ? text("ServerErrorFormat").arg(fields.at(3), fields.at(2))
                                 : text("Error997Format").arg(received),
              KCAlertRequest::Style::Informational);
        break;
    case 998:
        if (fields.size() >= 4) {
            // The bridge page escapes the server's code and parameter.
            const QString param = fields.at(3) == QLatin1String("%00") ? QString() : fields.at(3);
            ShellWindows::bridgePage().bridgePageCall(fields.at(2), param, QString(), -1);
        } else {
            alert(QStringLiteral("Error998"), text("Parley"), text("Error998Format").arg(received),
                  KCAlertRequest::Style::Informational);
        }
        break;
    default: break;
    }
}

void AppController::signInRefused(bool wrongPassword)
{
    mIsRetryingValue = false;
    mSession->stopLogin();
    clearSavedToken();
    if (wrongPassword)
        UserDefaults::standardUserDefaults().synchronize();
    LoginView *login = loginView();
    // A saved token the server no longer takes: auto-login goes off quietly,
    // and the user signs in by hand.
    if (mLastSignInUsedToken) {
        login->autoLoginButton->setChecked(false);
        return;
    }
    KCAlertRequest request;
    request.key = QLatin1String(wrongPassword ? "AlertInvalidPassword" : "AlertInvalidID");
    request.title = text(wrongPassword ? "AlertInvalidPassword" : "AlertInvalidID");
    request.message = text("AlertPSMsg");
    request.detail = text("InvalidIDorPassword");
    request.parent = mMainWindow;
    KCAlerts().show(request);
    if (!wrongPassword)
        login->idField->clear();
    login->passwordField->clear();
    if (wrongPassword)
        login->passwordField->setFocus();
    else
        login->idField->setFocus();
}

void AppController::askForOTP()
{
    if (mOTPInputFirst) {
        showOTPPrompt();
        return;
    }
    // A second prompt in one sign-in: the last one was wrong.
    const KCAlertRequest request = okAlert(QStringLiteral("OTPInputError"), text("OTPErrorTitle"),
                                           text("OTPInputError"), KCAlertRequest::Style::Critical, mMainWindow);
    QPointer<AppController> self(this);
    KCAlerts().show(request, [self](const KCAlertAnswer &) {
        if (self)
            self->showOTPPrompt();
    });
}

void AppController::showOTPPrompt()
{
    KCAlertRequest request;
    request.key = QStringLiteral("OTPInputTop");
    request.title = text("OTPInputTitle");
    request.message = text("OTPInputTop");
    request.buttons = {text("OK"), text("Cancel")};
    request.secureTextField = true;
    request.textFieldMessage = text("OTPInputMessage");
    request.textFieldLabel = text("OTPInputLeftMessage");
    request.accessoryHtml = text("OTPInputBottom");
    request.parent = mMainWindow;
    mOTPInputFirst = false;
    QPointer<AppController> self(this);
    // The prompt does not hold up the event loop: the session's line stays served under it.
    KCAlerts().show(request, [self](const KCAlertAnswer &answer) {
        if (!self || answer.button != 0)
            return; // Cancel: the sign-in waits on the form
        self->mSession->setOTP(answer.text);
        LoginView *login = self->loginView();
        login->setSpinning(true);
        login->selectTab(LoginView::SigningInTab);
    });
}

void AppController::endSignInOverCertificate()
{
    mIsRetryingValue = false;
    mIsCompletedLoginValue = false;
    mSession->stopLogin();
    LoginView *login = loginView();
    login->setSpinning(false);
    login->passwordField->clear();
    login->selectTab(LoginView::FormTab);
}

void AppController::certificationInitErrorNotification(const Notification &)
{
    askOverCertificate("AlertCertInit");
    endSignInOverCertificate();
}

void AppController::certificationErrorNotification(const Notification &n)
{
    if (n.userInfo.value(QStringLiteral("error")).toInt() != -1)
        return;
    if (!n.userInfo.value(QStringLiteral("chat")).toBool()) {
        // The user refused the sign-in server's certificate.
        endSignInOverCertificate();
        return;
    }
    askOverCertificate("AlertChatCertInit");
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
    // The memo server of the endpoints file takes the log.
    const QString url = PLAccountWebQueries::saveChatURL(PLEndpoints::current().webMemo);
    if (!url.isEmpty())
        PLHTTPManager::setSaveChatURL(url);
    // The upload waits for the reply; it runs beside the event loop.
    std::thread([content] { PLHTTPManager::sharedManager().saveChatPOST(content); }).detach();
}

} // namespace parley::shell
