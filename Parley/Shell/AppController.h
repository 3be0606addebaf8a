#pragma once

// The messenger's hub: it owns the account session and the main window,
// prepares the folders and the message box at start-up, signs in (by hand,
// automatically with the saved token, or again after a lost connection) and
// out, turns the services' notifications into window changes, and quits. It
// is the shell the core asks for (PLShellServices) and the source of the
// current user (PLCurrentUserProvider).
//
// One class in several source files by concern:
//   AppController.cpp           state, accessors, the shell services, observers
//   AppController+Startup.cpp   start-up, folders, quit, child windows
//   AppController+SignIn.cpp    the login view, sign-in, auto-login, sign-out
//   AppController+Retry.cpp     connection loss, retry, sleep and wake
//   AppController+Hub.cpp       the other observers of the services
//   AppController+PlugIns.cpp   the plug-ins' notifications and the session count
//   AppController+Idle.cpp      idle detection
//   AppController+Status.cpp    the own status, counters and news marks
//   AppController+Portal.cpp    the portal buttons and the Help menu's pages
//   AppController+Notices.cpp   notices, the tray, sounds and the desktop's notices
//
// What it calls of the other windows goes through ShellWindows.h. Every
// delay goes through a ShellScheduler and the facade through an
// AccountSession, so that tests can drive it without a server or a clock.

#include "AccountSession.h"
#include "IdleDetector.h"
#include "KCStatusViewWidget.h"
#include "ShellScheduler.h"
#include "ShellWindows.h"

#include "Sessions/PLShellServices.h"
#include "Utils/PLCurrentUserProvider.h"

#include <QHash>
#include <map>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QTimer>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>

class QThread;
class QTimer;
class QToolButton;

namespace parley {
class DesktopNotifications;
class DistributedNotificationCenter;
class KCShellHooks;
class PLParleySession;
struct Notification;
struct DistributedNotification;
}

namespace parley::shell {

class ConnectivityTest;
class DomainSheet;
class IdleSource;
class MessageBoxRecordQueue;
class ShellToasterActions;
class ToasterWindowManager;
class TrayDockManager;
class KCCertAlertWindow;
class LoginView;
class MainWindow;
class UrlOpener;
enum class LoginPath;

// What the application controller works with; every null member means the
// real one.
struct AppControllerOptions {
    AccountSession *session = nullptr;          // the facade (owned by the controller when null)
    ConnectivityTest *connectivity = nullptr;   // PLNetManager
    ShellScheduler *scheduler = nullptr;        // single-shot timers scaled by timeScale
    DistributedNotificationCenter *plugInCenter = nullptr; // the session bus's
    std::function<int()> random;                // rand()
    double timeScale = 1.0;                     // multiplies every delay of the default scheduler
    bool startPowerNotifications = true;        // logind's sleep and wake
    bool installCoreServices = true;           // the managers, the crypto glue, the certificate alert
    double certAlertTimeout = 0;                // seconds; 0: the core's default
    QString resourceDirectory;                  // null: KCResourceDirectory()
    std::function<void()> quitApplication;      // ends the event loop (QCoreApplication::quit)
    UrlOpener *urlOpener = nullptr;             // the default browser (UrlOpener::desktop())
    DesktopNotifications *desktopNotifications = nullptr; // null: one on the plug-in center's bus
    KCShellHooks *shellHooks = nullptr;         // null: the shell's sounds and kit alerts
    IdleSource *idleSource = nullptr;           // null: the desktop's idle sources in order
    std::function<QRect()> noticeArea;          // null: the primary screen's available area
    QString noticeSkinsPath;                    // null: SlideWindow.plist of the resource folder
};

class AppController : public QObject,
                      public PLShellServices,
                      public PLCurrentUserProvider,
                      public KCStatusViewDelegate
{
    Q_OBJECT

public:
    using Options = AppControllerOptions;

    AppController();
    explicit AppController(Options options);
    ~AppController() override;

    // The live controller (the application delegate), or null.
    static AppController *sharedController();
    // Writes the global defaults that have no value yet.
    static void initialize();

    // Start-up once the windows exist: quits old plug-ins, starts the
    // connectivity test and the version check, prepares the folders and the
    // message box, fills the login view and signs in automatically when set.
    void awakeFromNib();

    // State.
    MainWindow *window() const { return mMainWindow; }
    LoginView *loginView() const;
    DomainSheet *domainSheet() const { return mDomainPanel; }
    AccountSession &accountSession() { return *mSession; }
    // The facade, for the windows that need more of it; null in tests.
    PLParleySession *session() { return mSession->facade(); }
    QString currentUserID() const override { return mCurrentUserID; }
    void setCurrentUserID(const QString &userID) { mCurrentUserID = userID; }
    const QString &currentLang() const { return mCurrentLang; }
    // Signed in (the facade's buddy list is complete).
    bool loginStatus() const;
    int sessionCount() const { return mSessionCount; }
    void setSessionCount(int count) { mSessionCount = count; }
    bool isProtocolSend() const { return mIsProtocolSend; }
    void setIsProtocolSend(bool flag) { mIsProtocolSend = flag; }
    bool isNotiOnline() const { return mIdle.isNotiOnline(); }
    int mailCount() const { return mMailCount; }
    int memoCount() const { return mMemoCount; }
    const QString &loginOTP() const { return mLoginOTP; }
    int mRetryCount() const { return mRetryCountValue; }
    bool mIsRetrying() const { return mIsRetryingValue; }
    bool mIsRetryRunning() const { return mIsRetryRunningValue; }
    bool mIsCompletedLogin() const { return mIsCompletedLoginValue; }
    bool mIsRestored() const { return mIsRestoredValue; }
    bool mIsSleeping() const { return mIsSleepingValue; }
    bool mIsBuddyDataReceived() const { return mIsBuddyDataReceivedValue; }
    const QString &mLastMyStatus() const { return mLastMyStatusValue; }
    // Names of the observed notifications, in registration order.
    const QStringList &observedNames() const { return mObservedNames; }
    const QStringList &observedPlugInNames() const { return mObservedPlugInNames; }
    // How many buddy-request windows the controller keeps.
    int buddyRequestWindowCount() const { return int(mAddBuddyWidgets.size()); }

    // Fills the form with an account ("name@domain") and a password without
    // signing in, unless a sign-in is under way (the run script's demo account).
    void prefillAccount(const QString &userID, const QString &password);

    // Login view actions. loginAction acts only for the sign-in button.
    void loginAction(QObject *sender);
    void loginCancelAction();
    void loginAsOtherIDAction();
    void reloginAction();
    void autoLoginAction();
    void logoutAction();
    void signUpAction();
    void findIDAction();
    void selectDomainAction();
    // The ID and password fields changed: the sign-in button follows them.
    void controlTextDidChange();
    // Sign-in complete and the buddy list in: the buddy view replaces the login view.
    void buddyDataReceived();
    // Signs out (`flag`: post "ParleyLogoutCompleted"); with other sessions
    // and a saved status for them, the status goes first and the sign-out
    // follows the server's acknowledgement (or the acknowledgement wait).
    void logoutProcessing(bool flag);
    void showLoginView();

    // Retry.
    void retryLoginStart();
    void retryTimer();
    void retryLogin();

    // Quit. closeAction is the Quit command.
    void closeAction();
    // Ends the application, after applicationShouldTerminate() agrees.
    void terminate();
    // Ends it without asking, the same way (the desktop session ends).
    void terminateWithoutAsking();
    bool applicationShouldTerminate();
    void applicationWillTerminate();
    // Runs the event loop until a sign-out's LOUT has been written (bounded).
    void waitForSignOutWritten();
    // The application was activated again (tray click): the main window comes forward.
    bool applicationShouldHandleReopen();
    void openAboutBox();
    void openTransfer();

    // The plug-in side and the other logins (AppController+PlugIns.cpp).
    // A click on a desktop notice, with the notice's click context:
    // ["LGIN" or "CHAT", buddy ID], ["MEMO", memo details],
    // ["ORRP", service type, bridge code, h_flag, address] or ["MCNT", ...].
    void growlNotificationWasClicked(const QVariantList &context);
    // What the desktop notices register: "ApplicationName", and the notice
    // names under "AllNotifications" and "DefaultNotifications".
    static QVariantMap registrationDictionaryForGrowl();
    // The plug-in menu's item of that title; the message-box button.
    void selectPlugMenuAction(const QString &title);
    void communicationViewerAction();
    // The message box was opened by the user: it shows its window once it asks for the user.
    void setShowMessageBox(bool flag) { mIsShowMessageBox = flag; }
    bool isShowMessageBox() const { return mIsShowMessageBox; }
    // One step of the session button's blink (every 0.5 s while other logins exist).
    void changeIcons();
    int iconNumber() const { return mIconNumber; }
    bool isSessionButtonBlinking() const;
    // The session list, asked of the server (the session button).
    void openSessionManagerAction() { openSessionManager(); }

    // Child windows: visible windows other than the main window and notices.
    bool isExistVisibleChildWindows() const;
    void closeAllChildWindows();

    // PLShellServices
    void setLoginOTP(const QString &otp) override { mLoginOTP = otp; }
    bool isCloseApplication() const override { return mIsCloseApplication; }
    bool isLogoutApplication() const override { return mIsLogoutApplication; }
    void setIsLogoutApplication(bool flag) override { mIsLogoutApplication = flag; }
    void changeStatusMainWindow(int status) override;
    void setNotiOnline(bool flag) override { mIdle.setNotiOnline(flag); }
    void goIdleFromServer() override;
    void incMailCount() override;
    void setMailCount(int count) override;
    void incMemoCount() override;
    void setMemoCount(int count) override;
    void removeAddBuddyWidget(const QString &buddyCMN) override;
    void showToasterWindow(const QString &type, const QVariantMap &userInfo) override;
    void readPreferences() override;
    void bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag) override;
    void showCertFAQ() override;
    void showInformationalAlert(const QString &title, const QString &message, const QString &button) override;
    void setCookie(const QString &cookie, const QString &tid) override;
    void clearOrButtonX() override;

    // Own status (AppController+Status.cpp).
    bool statusViewShouldChangeStatus(KCStatusViewWidget *view, const QString &title) override;
    void decMemoCount();
    // The news marks of the personal page, the sister service and the portal.
    void setMiniNookNew(bool isNew);
    void setOrchardNew(bool isNew);
    void setVelaNew(bool isNew);
    bool isMiniNookNew() const { return mMiniNookNew; }
    bool isOrchardNew() const { return mOrchardNew; }
    bool isVelaNew() const { return mVelaNew; }
    // The portal's mail, memo and read-confirmation pages.
    void showVelaMail();
    void showVelaMemo();
    void showConfirmMail();
    // Forwards to the facade.
    void getMemo(const QString &cookie);
    // The portal buttons and the Help menu's pages (AppController+Portal.cpp).
    void gotoVelaAction();
    void gotoOrchardAction();
    void gotoHomeAction();
    void openParleyMininookAction();
    // The own-status view the controller made (null when another is registered).
    KCStatusViewWidget *statusView() const { return mStatusView; }

    // Idle (AppController+Idle.cpp): one check of the chain.
    void checkIdle();
    bool inIdleState() const { return mIdle.idle(); }
    const IdleDetector &idleDetector() const { return mIdle; }
    bool isIdleTimerRunning() const { return mIdleTimer.isActive(); }


    // The controller's own notices, tray and desktop-notice client (null
    // where others are registered).
    ToasterWindowManager *toasterWindowManager() const { return mToasterManager.get(); }
    TrayDockManager *trayDockManager() const { return mDockManager.get(); }
    DesktopNotifications *desktopNotifications() const { return mDesktopNotifications; }

Q_SIGNALS:
    // One of our desktop notices was clicked (heard before its dispatch).
    void desktopNoticeClicked(const QVariantList &clickContext);

private:
    friend class ShellToasterActions;

    // AppController.cpp
    void registerObservers();
    void observe(const char *name, void (AppController::*handler)(const Notification &));
    void observePlugIn(const char *name, void (AppController::*handler)(const DistributedNotification &));
    void setStatusTitle(const QString &title, bool isSelected);
    void updateCounterButtons();
    DistributedNotificationCenter &plugInCenter();
    void postQuitPlugInProcess();

    // AppController+Startup.cpp
    // The status code sent for the session list's saved choice 1..6; -1 for others.
    static int statusCodeForSessionManager(int choice);
    void buildMainWindow();
    void initializeApplicationFolder();
    void terminateForComponents();
    void installCoreServices();
    void uninstallCoreServices();
    void removePreLoginStore();
    void closeApplication(const Notification &);
    void finishCloseApplication();

    // AppController+SignIn.cpp
    // Starts a sign-in, remembering whether it uses the saved token.
    bool signInWith(const QString &userID, const QString &password, const QVariantMap &options);
    void buildDomainMenuItem();
    void buildLocalizedString();
    void sheetDidEnd(int returnCode);
    QString fullUserID() const;
    void signIn(const QString &userID, const QString &password, LoginPath path);
    void showSigningIn(const QString &userID);
    // A sign-in the user starts (not a retry) forgets the status kept for a retry.
    void forgetRestoredStatus();
    void autoLoginTimer(const QVariantMap &userInfo);
    bool checkGlobalID(const QString &loginID);
    void reloadList();
    void logoutApplication(const Notification &);
    void finishLogoutApplication();
    void clearSavedToken();
    void loginCompletedNotification(const Notification &);
    void logoutCompletedNotification(const Notification &);
    void myIDLoggedInOtherPlaceNotification(const Notification &);
    void dpsessionKilled(const Notification &);

    // AppController+Retry.cpp
    void sessionConnectionFailedNotification(const Notification &);
    void sessionConnectionFailed(bool signInConnection);
    void sessionClosedNotification(const Notification &);
    void serverTimeout(const Notification &);
    void systemWillSleepNotification(const Notification &);
    void systemWillPowerOnNotification(const Notification &);
    void systemHasPoweredOnNotification(const Notification &);
    void systemHasPoweredOn();

    // AppController+Hub.cpp
    void changeStatus(const Notification &);
    void groupInfoWillDownloadNotification(const Notification &);
    void groupInfoDidDownloadedNotification(const Notification &);
    void buddyManagerGroupUpdatedNotification(const Notification &);
    void buddyManagerBuddyUpdatedNotification(const Notification &);
    void buddyManagerBuddyLoggedNotification(const Notification &);
    void buddyManagerBuddyLogoutNotification(const Notification &);
    void buddyManagerRequestAddBuddyReceivedNotification(const Notification &);
    void buddyStringTypeChangedNotification(const Notification &);
    void sessionConnectedNotification(const Notification &);
    void myNickNameChangedNotification(const Notification &);
    void myAlarmNotification(const Notification &);
    void buddyAlarmNotification(const Notification &);
    void preferenceSaveNotification(const Notification &);
    void orchardMainAccountInfoReceivedNotification(const Notification &);
    void orchardNewArticleInfoReceivedNotification(const Notification &);
    void updateManagerMainVersionCheckedNotification(const Notification &);
    void updateManagerPlugInVersionCheckedNotification(const Notification &);
    void plugInQuitNotification(const Notification &);
    void errorCodeReceivedNotification(const Notification &);
    void certificationInitErrorNotification(const Notification &);
    void certificationErrorNotification(const Notification &);
    // The sign-in stops over a certificate; the form comes back without the password.
    void endSignInOverCertificate();
    void saveChatMessage(const Notification &);
    void reloadIfCompleted(bool rebuild);
    // 201, 300 and 301: the sign-in was refused.
    void signInRefused(bool wrongPassword);
    // 395: the one-time password prompt, after the error alert when it is a second try.
    void askForOTP();
    void showOTPPrompt();

    // AppController+Status.cpp
    void updateNewsButton(QToolButton *button, bool isNew, const char *newImage, const char *image);

    // AppController+Portal.cpp
    void connectPortalControls();
    // The preferences window bound to the signed-in user, keeping what is
    // being edited in it when it is open for that user already.
    PrefsController &prefsForCurrentUser();

    // AppController+Notices.cpp
    void installNotices();
    void uninstallNotices();

    // AppController+PlugIns.cpp
    void startPluginService();
    void buildWindowMenuItem();
    void openSessionManager();
    void sessionKill(const Notification &);
    void sessionList(const Notification &);
    void sessionCountNotification(const Notification &);
    void sessionKilled(const Notification &);
    void infoFromPlugIn(const DistributedNotification &);
    void pluginOpenMessagBoxHelp(const DistributedNotification &);
    void pluginOpenWebChatBox(const DistributedNotification &);
    void pluginOpenWebMemoBox(const DistributedNotification &);
    // (also defined there: plugInQuitNotification and the two version checks)
    void openPlugIn(const QString &plugInID);
    void connectPlugInControls();
    // Stops the blink and hides the session button.
    void stopSessionButton();
    UrlOpener &urlOpener();

    // AppController+Idle.cpp
    void setIdleTimer();
    void idleTimeReceived(double seconds);
    void goIdle();
    void stopIdle();

    Options mOptions;
    std::unique_ptr<AccountSession> mOwnedSession;
    std::unique_ptr<ConnectivityTest> mOwnedConnectivity;
    std::unique_ptr<ShellScheduler> mOwnedScheduler;
    std::unique_ptr<KCCertAlertWindow> mCertAlert;
    AccountSession *mSession = nullptr;
    ConnectivityTest *mConnectivity = nullptr;
    ShellScheduler *mScheduler = nullptr;
    std::function<int()> mRandom;

    MainWindow *mMainWindow = nullptr;   // owned
    DomainSheet *mDomainPanel = nullptr; // the main window's
    QStringList mObservedNames;
    QStringList mObservedPlugInNames;
    QList<quint64> mPlugInObservers;

    bool mOTPInputFirst = true;
    bool mIsRetryRunningValue = false;
    bool mIsRestoredValue = false;
    bool mIsSleepingValue = false;
    bool mIsRetryingValue = false;
    bool mIsCompletedLoginValue = false;
    int mRetryCountValue = 0;
    int mAutoLoginTryCount = 0;
    bool mIsStatusSetFromUser = false;
    bool mIsBuddyDataReceivedValue = false;
    QString mCurrentUserID;
    QString mCurrentLang;
    bool mIsShowMessageBox = false;
    int mMemoCount = 0;
    int mMailCount = 0;
    bool mIsForceTerminate = false;
    QString mLastMyStatusValue;
    std::map<QString, std::unique_ptr<BuddyRequestController>> mAddBuddyWidgets;
    int mSessionCount = 0;
    bool mIsSessionManagerIconClicked = false;
    bool mIsSessionManagerFirstLogin = false;
    QVariantMap mKilledDict;
    bool mIsProtocolSend = true;
    bool mIsCloseApplication = false;
    bool mIsLogoutApplication = false;
    QString mLoginOTP;
    IdleDetector mIdle;
    QTimer mIdleTimer;
    std::unique_ptr<IdleSource> mOwnedIdleSource;
    IdleSource *mIdleSource = nullptr;
    // Counts the idle-time questions, so that a late answer knows it is stale.
    int mIdleQuery = 0;
    int mServerIdleQuery = 0;
    double mLastIdleTime = 0;
    int mLastMemoShowType = 0;
    // The last sign-in used the saved token (auto-login, its second try, a retry with it).
    bool mLastSignInUsedToken = false;
    bool mMiniNookNew = false;
    bool mOrchardNew = false;
    bool mVelaNew = false;
    QPointer<KCStatusViewWidget> mStatusView;
    std::unique_ptr<MessageBoxRecordQueue> mRecordQueue;
    std::unique_ptr<ShellToasterActions> mToasterActions;
    std::unique_ptr<ToasterWindowManager> mToasterManager;
    std::unique_ptr<TrayDockManager> mDockManager;
    std::unique_ptr<DesktopNotifications> mOwnedDesktopNotifications;
    DesktopNotifications *mDesktopNotifications = nullptr;
    std::unique_ptr<KCShellHooks> mOwnedShellHooks;
    KCShellHooks *mShellHooks = nullptr;
    // A wake delay is running; the "has powered on" work waits for it.
    bool mWakePending = false;
    // Counts the waits for the server's acknowledgement, so a late wait
    // knows it has been answered.
    int mAckWait = 0;
    // Copies the message box and the emoticons at a first start (owned).
    QThread *mFolderWorker = nullptr;
    bool mTerminating = false;
    bool mWillTerminateDone = false;
    // The session button's blink.
    QTimer *mSessionMgrTimer = nullptr;
    int mIconNumber = 0;
};

} // namespace parley::shell
