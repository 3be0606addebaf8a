// The login view, sign-in by hand and with the saved token, completion and
// every way back to the login view.
#include "AppController.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "BuddyView.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "ConnectivityTest.h"
#include "DomainSheet.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "KCAlertPresenter.h"
#include "LoginOptions.h"
#include "LoginView.h"
#include "Log.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "Sessions/PLParleySession.h"
#include "UserDefaults.h"
#include "Utils/KCSounds.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"
#include "Utils/PrefsManager.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace parley::shell {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

UserDefaults &defaults() { return UserDefaults::standardUserDefaults(); }

const QString kAccountName = QStringLiteral("accountname");
const QString kAccountDomain = QStringLiteral("accountDomain");
const QString kAccountToken = QStringLiteral("accountToken");
const QString kAutoLogin = QStringLiteral("autoLogin");

} // namespace

// The form.

void AppController::buildDomainMenuItem()
{
    LoginView *login = loginView();
    login->setUsesDomainMenu(mCurrentLang == QLatin1String("ko"));
    QComboBox *combo = login->domainComboButton;
    combo->clear();
    combo->addItems(KCDefaultCurrentDomain().value_or(KCDefaultDomain()));
}

void AppController::buildLocalizedString()
{
    loginView()->retranslate();
    mMainWindow->buddyView()->retranslate();
    mMainWindow->buildLocalizedMenus();
}

void AppController::controlTextDidChange()
{
    LoginView *login = loginView();
    login->loginButton->setEnabled(!login->idField->text().isEmpty() && !login->passwordField->text().isEmpty());
}

void AppController::selectDomainAction()
{
    if (loginView()->domainComboButton->currentText() != text("Others"))
        return;
    mDomainPanel->resetDataAction();
    mDomainPanel->open();
}

void AppController::sheetDidEnd(int returnCode)
{
    QComboBox *combo = loginView()->domainComboButton;
    if (returnCode == 1) {
        const QString typed = mDomainPanel->domain();
        QStringList domains = KCDefaultCurrentDomain().value_or(KCDefaultDomain());
        if (!domains.contains(typed)) {
            // Before the last entry, the "Others" item.
            domains.insert(qMax(0, domains.size() - 1), typed);
            defaults().setObject(domains, QLatin1String(kDefaultDomainsKey));
            buildDomainMenuItem();
        }
        combo->setCurrentIndex(combo->findText(typed));
    } else {
        combo->setCurrentIndex(qMax(0, combo->findText(PLEndpoints::current().portalDomain)));
    }
    mDomainPanel->domainField->clear();
}

void AppController::signUpAction() { ShellWindows::bridgePage().showVelaJoin(KCIsVelaDomain(loginView()->domain())); }

void AppController::findIDAction()
{
    ShellWindows::bridgePage().showVelaFindID(KCIsVelaDomain(loginView()->domain()));
}

QString AppController::fullUserID() const
{
    const LoginView *login = loginView();
    return QStringLiteral("%1@%2").arg(login->idField->text(), login->domain());
}

void AppController::showSigningIn(const QString &userID)
{
    LoginView *login = loginView();
    login->currentIDField->setText(userID);
    login->currentIDField2->setText(userID);
    login->setSpinning(true);
    login->selectTab(LoginView::SigningInTab);
}

void AppController::clearSavedToken()
{
    defaults().setObjects({{kAccountToken, QString(QLatin1String(""))}, {kAutoLogin, 0}});
}

void AppController::prefillAccount(const QString &userID, const QString &password)
{
    LoginView *login = loginView();
    const qsizetype at = userID.lastIndexOf(QLatin1Char('@'));
    if (at <= 0 || login->selectedTab() != LoginView::FormTab)
        return;
    const QString domain = userID.mid(at + 1);
    login->idField->setText(userID.left(at));
    if (login->usesDomainMenu()) {
        QComboBox *combo = login->domainComboButton;
        if (combo->findText(domain) < 0)
            combo->insertItem(qMax(0, combo->count() - 1), domain);
        combo->setCurrentIndex(combo->findText(domain));
    } else {
        login->domainNameField->setText(domain);
    }
    login->passwordField->setText(password);
    controlTextDidChange();
    login->passwordField->setFocus();
}

// Signing in.

bool AppController::signInWith(const QString &userID, const QString &password, const QVariantMap &options)
{
    // A refusal of this sign-in is told apart by it (the saved token or a typed password).
    mLastSignInUsedToken = options.value(QLatin1String(PLParleySession::kPasswordEncrypted)).toBool();
    return mSession->loginWithUserID(userID, password, options);
}

void AppController::loginAction(QObject *sender)
{
    LoginView *login = loginView();
    if (sender != login->loginButton)
        return;
    mIsRetryRunningValue = false;
    mRetryCountValue = 0;
    mIsSessionManagerFirstLogin = true;
    mIsSleepingValue = false;
    mIsRetryingValue = false;
    mIsCompletedLoginValue = false;
    forgetRestoredStatus();

    if (login->idField->text().isEmpty() || login->passwordField->text().isEmpty()) {
        mIsRetryRunningValue = false;
        login->autoLoginButton->setChecked(false);
        clearSavedToken();
        return;
    }
    if (loginStatus()) {
        plLog(QStringLiteral("error"));
        return;
    }
    const QString userID = fullUserID();
    mCurrentUserID = userID;
    PrefsController &prefs = ShellWindows::prefsController();
    if (prefs.isWindowVisible())
        prefs.close();

    mIsStatusSetFromUser = login->loginAsInvisible->isChecked();
    const QVariantMap options = loginOptions(LoginPath::SignInButton, login->loginAsInvisible->isChecked());
    mIsBuddyDataReceivedValue = false;
    if (signInWith(userID, login->passwordField->text(), options))
        showSigningIn(userID);
    else
        plLog(QStringLiteral("already login"));
}

void AppController::autoLoginAction()
{
    LoginView *login = loginView();
    const QString name = defaults().stringForKey(kAccountName);
    const QString domain = defaults().stringForKey(kAccountDomain);
    const QString token = defaults().stringForKey(kAccountToken);
    if (name.isEmpty() || domain.isEmpty() || token.isEmpty()) {
        login->autoLoginButton->setChecked(false);
        return;
    }
    const QString userID = QStringLiteral("%1@%2").arg(name, domain);
    forgetRestoredStatus();
    PrefsController &prefs = ShellWindows::prefsController();
    if (prefs.isWindowVisible())
        prefs.close();
    const QVariantMap options = loginOptions(LoginPath::AutoLogin, login->loginAsInvisible->isChecked());
    mIsBuddyDataReceivedValue = false;
    if (signInWith(userID, token, options)) {
        showSigningIn(userID);
        return;
    }
    mAutoLoginTryCount = 0;
    const QVariantMap userInfo{{QStringLiteral("loginID"), userID},
                               {QStringLiteral("password"), token},
                               {QStringLiteral("loginDict"), options}};
    mScheduler->schedule(this, 1.0, [this, userInfo] { autoLoginTimer(userInfo); });
}

void AppController::autoLoginTimer(const QVariantMap &userInfo)
{
    QVariantMap copy = userInfo;
    QVariantMap loginDict = copy.value(QStringLiteral("loginDict")).toMap();
    loginDict.insert(QLatin1String(PLParleySession::kIsRetry), false);
    copy.insert(QStringLiteral("loginDict"), loginDict);

    // Once, while the connectivity test has not found the direct route yet,
    // wait one more second; the second firing signs in whatever it says.
    if (mAutoLoginTryCount == 0 && !mConnectivity->isDPLMode()) {
        mAutoLoginTryCount = 1;
        mScheduler->schedule(this, 1.0, [this, copy] { autoLoginTimer(copy); });
        return;
    }
    LoginView *login = loginView();
    const QString userID = copy.value(QStringLiteral("loginID")).toString();
    const QVariantMap options = loginOptions(LoginPath::AutoLoginSecondTry, login->loginAsInvisible->isChecked());
    mIsStatusSetFromUser = login->loginAsInvisible->isChecked();
    mIsBuddyDataReceivedValue = false;
    if (signInWith(userID, copy.value(QStringLiteral("password")).toString(), options)) {
        showSigningIn(userID);
        return;
    }
    login->autoLoginButton->setChecked(false);
    clearSavedToken();
}

void AppController::forgetRestoredStatus()
{
    // The status kept over a sleep belongs to that retry only: a sign-in
    // the user starts shows what the form says (appear offline or online).
    mIsRestoredValue = false;
    mLastMyStatusValue.clear();
}

void AppController::loginCancelAction()
{
    mIsRetryingValue = false;
    mIsRetryRunningValue = true; // no retry may start now
    mIsCompletedLoginValue = false;
    // A failed retry marked the line as being re-established; the user ended that.
    mIsSleepingValue = false;
    mSession->stopLogin();
    LoginView *login = loginView();
    login->setSpinning(false);
    login->selectTab(LoginView::SignedOutTab);
}

void AppController::loginAsOtherIDAction()
{
    mIsRetryRunningValue = false;
    mIsCompletedLoginValue = false;
    defaults().setString(QString(QLatin1String("")), kAccountName);
    LoginView *login = loginView();
    login->idField->clear();
    login->passwordField->clear();
    login->passwordField->selectAll();
    login->loginAsInvisible->setChecked(false);
    login->autoLoginButton->setChecked(false);
    login->loginButton->setEnabled(false);
    login->selectTab(LoginView::FormTab);
    login->idField->setFocus();
}

void AppController::reloginAction()
{
    mIsRetryRunningValue = false;
    mIsCompletedLoginValue = false;
    if (loginStatus()) {
        mSession->setIsAvailablePONG(false);
        mSession->logout(false);
        ShellWindows::buddyListDataSource().reloadBuddyData(true);
    }
    LoginView *login = loginView();
    login->selectTab(LoginView::FormTab);
    if (PrefsManager::pref_IsAutoLogin())
        autoLoginAction();
    mMainWindow->show();
    mMainWindow->raise();
    if (login->idField->text().isEmpty()) {
        login->idField->setFocus();
    } else {
        login->passwordField->setFocus();
        login->loginButton->setEnabled(!login->passwordField->text().isEmpty());
    }
}

// Completion.

void AppController::loginCompletedNotification(const Notification &)
{
    mOTPInputFirst = true;
    mIsRetryRunningValue = false;
    mIsCompletedLoginValue = true;
    // Signed in: a later lost line is retried again.
    mIsSleepingValue = false;
    if (mIsRetryingValue) {
        mIsRestoredValue = true;
        mRetryCountValue = 0;
    }
    LoginView *login = loginView();
    mMainWindow->buddyView()->nickNameView->setText(PLMyInfoManager::sharedManager().nickName());

    const QString userID = fullUserID();
    checkGlobalID(login->idField->text());
    startPluginService();
    mCurrentUserID = userID;
    if (!defaults().hasUserDictionary(userID))
        defaults().setUserDictionary(userID, KCDefaultUserPreferences());

    defaults().setObjects({{kAutoLogin, login->autoLoginButton->isChecked() ? 1 : 0},
                           {kAccountName, login->idField->text()},
                           {kAccountDomain, login->domain()},
                           {QStringLiteral("globalMode"), false}});

    if (mOptions.installCoreServices)
        PLFileTransferManager::sharedManager().setDownloadPath(PrefsManager::general_DownloadFolder());
    buildWindowMenuItem();

    // After a retry the status of before the sleep comes back.
    QString title;
    if (mIsRestoredValue && !mLastMyStatusValue.isEmpty())
        title = mLastMyStatusValue;
    else
        title = text(login->loginAsInvisible->isChecked() ? "AppearOffline" : "Online");
    setStatusTitle(title, false);
    PrefsController &prefs = ShellWindows::prefsController();
    if (prefs.isWindowVisible())
        prefs.setUserID(userID);

    if (mOptions.installCoreServices)
        PLChatSessionManager::sharedManager().setEncryptMode(PrefsManager::privacy_IsMessageEncoded());
    setIdleTimer();
    if (PrefsManager::noti_IsUseSound() && PrefsManager::noti_IsUseSoundForLogin())
        KCPlayLoginSound(mCurrentUserID);

    ShellWindows::animiconManager().updateAnimicon();
    mLastMemoShowType = PrefsManager::noti_showMemoType();
    mSession->setIsAvailablePONG(true);
    mScheduler->schedule(this, 2.0, [this] { reloadList(); });
}

void AppController::reloadList()
{
    mIsBuddyDataReceivedValue = true;
    BuddyListDataSource &dataSource = ShellWindows::buddyListDataSource();
    dataSource.setIsLoginCompleted(true);
    dataSource.reloadBuddyData(true);
    // Without a buddy list yet, the list "has arrived" as soon as it is asked for.
    if (!ShellWindows::hasBuddyListDataSource())
        buddyDataReceived();
}

void AppController::buddyDataReceived()
{
    if (!loginStatus())
        return;
    loginView()->setSpinning(false);
    mMainWindow->showBuddyView();
    if (PrefsManager::isFirstLogined()) {
        ShellWindows::buddyListDataSource().expandAllItems(true);
        PrefsManager::setFirstLogined(false);
    }
}

bool AppController::checkGlobalID(const QString &loginID)
{
    PL_GUARD_OBJECT(!loginID.isNull(), false);
    PLMyInfoManager::sharedManager().setGlobalMode(false);
    if (mCurrentLang != QLatin1String("ko")) {
        KCAlertRequest request;
        request.key = QStringLiteral("NoGlobalAlertMessage");
        request.title = text("ParleyTitle");
        request.message = text("NoGlobalAlertMessage");
        request.buttons = {text("OK")};
        if (KCAlerts().ask(request).button == 0) {
            defaults().setObject(QStringList{QStringLiteral("ko")}, QLatin1String(kAppleLanguagesKey));
            defaults().synchronize();
            terminate();
        }
    }
    return false;
}

// Signing out.

void AppController::logoutAction()
{
    const auto logOut = [this] {
        // Only a sign-out that goes ahead ends the signed-in state; a
        // cancelled one leaves the list refreshing and a lost line retried.
        mIsRetryingValue = false;
        mIsCompletedLoginValue = false;
        logoutProcessing(true);
    };
    const bool children = isExistVisibleChildWindows();
    if (mSessionCount > 1) {
        KCAlertRequest request;
        request.key = QLatin1String(children ? "MultiLogoutType1AlertMessage" : "MultiLogoutType2AlertMessage");
        request.title = text("Parley");
        request.message = KCLocalizedString(request.key);
        request.buttons = {text("OK"), text("GotoLoginManager"), text("Cancel")};
        const int answer = KCAlerts().ask(request).button;
        if (answer == 0)
            logOut();
        else if (answer == 1)
            openSessionManager();
        return;
    }
    if (children) {
        KCAlertRequest request;
        request.key = QStringLiteral("LogoutAlertMessage");
        request.title = text("Parley");
        request.message = text("LogoutAlertMessage");
        request.buttons = {text("OK"), text("Cancel")};
        if (KCAlerts().ask(request).button == 0)
            logOut();
        return;
    }
    logOut();
}

void AppController::logoutProcessing(bool flag)
{
    mSession->setIsAvailablePONG(false);
    LoginView *login = loginView();
    if (loginStatus()) {
        mIsLogoutApplication = false;
        const QVariant choice = defaults().objectForKey(QStringLiteral("statusSessionManager"));
        const int code = choice.isValid() ? statusCodeForSessionManager(int(choice.toLongLong())) : -1;
        if (code >= 0 && mSessionCount > 1 && !mIsSleepingValue) {
            // The other logins see the chosen status; the sign-out follows the
            // server's acknowledgement ("ParleyLogout"), or the wait's end.
            mIsLogoutApplication = true;
            mSession->setMyStatus(code);
            const int wait = ++mAckWait;
            mScheduler->schedule(this, PLEndpoints::current().signoutTimeout, [this, wait] {
                if (wait != mAckWait || !mIsLogoutApplication)
                    return;
                plLog(QStringLiteral("no acknowledgement of the status from the server; signing out"));
                finishLogoutApplication();
            });
        } else {
            mSession->logout(flag);
            ShellWindows::buddyListDataSource().reloadBuddyData(true);
        }
    } else {
        login->currentIDField2->clear();
    }
    postQuitPlugInProcess();
    login->setSpinning(false);
    login->selectTab(LoginView::SignedOutTab);
    mMainWindow->showLoginView();
    login->loginButton->setEnabled(!login->idField->text().isEmpty() && !login->passwordField->text().isEmpty());
    ShellWindows::plugInManager().reset();
    buildWindowMenuItem();
    mKilledDict.clear();
    mIsProtocolSend = true;
    mIsCloseApplication = false;
    mIsSessionManagerIconClicked = false;
    mIsSessionManagerFirstLogin = false;
    mSessionCount = 0;
    stopSessionButton();
}

void AppController::logoutApplication(const Notification &) { finishLogoutApplication(); }

void AppController::finishLogoutApplication()
{
    ++mAckWait;
    mIsLogoutApplication = false;
    mSession->setIsAvailablePONG(false);
    mSession->logout(true);
    ShellWindows::buddyListDataSource().reloadBuddyData(true);
}

void AppController::showLoginView()
{
    setOrchardNew(false);
    setMiniNookNew(false);
    setMemoCount(0);
    loginView()->selectTab(LoginView::SignedOutTab);
    mMainWindow->showLoginView();
}

void AppController::logoutCompletedNotification(const Notification &)
{
    // Asleep, the sign-in counts as completed, so that waking signs in again.
    if (!mIsSleepingValue)
        mIsCompletedLoginValue = false;
    postQuitPlugInProcess();
    closeAllChildWindows();
    mCurrentUserID.clear();
    showLoginView();
    removePreLoginStore();
    PLBuddyManager::sharedManager().reset();
    PLMyInfoManager::sharedManager().reset();
    ShellWindows::transferController().reset();
    ShellWindows::chatManager().reset();
    ShellWindows::toasterManager().reset();
    ShellWindows::plugInManager().reset();
    ShellWindows::dockManager().dockIconUpdate();
    buildWindowMenuItem();
    loginView()->passwordField->clear();
}

void AppController::myIDLoggedInOtherPlaceNotification(const Notification &)
{
    mSession->setIsAvailablePONG(false);
    mIsCompletedLoginValue = false;
    mIsRetryingValue = false;
    postQuitPlugInProcess();
    mCurrentUserID.clear();
    closeAllChildWindows();
    showLoginView();
    removePreLoginStore();
    ShellWindows::transferController().reset();
    ShellWindows::chatManager().reset();
    ShellWindows::toasterManager().reset();
    ShellWindows::plugInManager().reset();
    ShellWindows::dockManager().dockIconUpdate();
    buildWindowMenuItem();
    LoginView *login = loginView();
    login->autoLoginButton->setChecked(false);
    login->idField->clear();
    login->passwordField->clear();
    defaults().setObjects({{kAutoLogin, 0},
                           {kAccountName, QString(QLatin1String(""))},
                           {kAccountDomain, PLEndpoints::current().portalDomain}});
}

void AppController::dpsessionKilled(const Notification &)
{
    loginView()->currentIDField2->clear();
    mSessionCount = 0;
}

} // namespace parley::shell
