#include "AppController.h"
#include "MessengerInstance.h"

#include "BuddyView.h"
#include "ConnectivityTest.h"
#include "DesktopNotifications.h"
#include "IdleSource.h"
#include "ShellToasterActions.h"
#include "ToasterWindowManager.h"
#include "TrayDockManager.h"
#include "Utils/KCShellHooks.h"
#include "DistributedNotificationCenter.h"
#include "FacadeAccountSession.h"
#include "GlobalDefaults.h"
#include "ImageRegistry.h"
#include "KCAlertPresenter.h"
#include "KCCertAlertWindow.h"
#include "KCMenuButton.h"
#include "LoginView.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "MessageBoxRecordQueue.h"
#include "NotificationNames.h"
#include "Utils/PLSystemPowerNotificationManager.h"
#include "PlugInNotifications.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include "Log.h"

#include <QCoreApplication>
#include <QThread>
#include <QLabel>
#include <QToolButton>

#include <cstdlib>
#include <ctime>

namespace parley::shell {

namespace {

AppController *gShared = nullptr;

const char *const kMessengerBusName = MessengerInstance::kBusName;
constexpr int kCountLimit = 999;

} // namespace

AppController::AppController() : AppController(Options{}) {}

AppController::AppController(Options options) : mOptions(std::move(options))
{
    gShared = this;
    initialize();

    mCurrentLang = KCCurrentLanguage();
    std::srand(unsigned(std::time(nullptr)));
    mRandom = mOptions.random ? mOptions.random : [] { return std::rand(); };

    if (mOptions.session) {
        mSession = mOptions.session;
    } else {
        mOwnedSession = std::make_unique<FacadeAccountSession>();
        mSession = mOwnedSession.get();
    }
    if (mOptions.connectivity) {
        mConnectivity = mOptions.connectivity;
    } else {
        mOwnedConnectivity = std::make_unique<NetManagerConnectivity>();
        mConnectivity = mOwnedConnectivity.get();
    }
    if (mOptions.scheduler) {
        mScheduler = mOptions.scheduler;
    } else {
        mOwnedScheduler = std::make_unique<TimerScheduler>(mOptions.timeScale);
        mScheduler = mOwnedScheduler.get();
    }

    // The shell the core asks for, the current user and the certificate alert.
    PLShellServices::setShared(this);
    PrefsManager::setCurrentUserProvider(this);
    mCertAlert = std::make_unique<KCCertAlertWindow>(mOptions.certAlertTimeout > 0 ? mOptions.certAlertTimeout
                                                                                   : PLCertAlert::kTimeoutSeconds);
    PLCertAlert::setShared(mCertAlert.get());
    if (mOptions.installCoreServices)
        installCoreServices();

    registerObservers();
    // Records filed before the message box listens wait for it.
    mRecordQueue = std::make_unique<MessageBoxRecordQueue>(
        [] { return ShellWindows::plugInManager().isPlugInRunning(QLatin1String(notifications::kMessageBoxPlugInID)); });
    if (!plugInCenter().isConnected())
        plLog(QStringLiteral("no session bus: the plug-ins cannot reach the messenger"));
    else if (!plugInCenter().registerServiceName(QLatin1String(kMessengerBusName)))
        plLog(QStringLiteral("the bus name %1 is taken: another messenger runs").arg(QLatin1String(kMessengerBusName)));

    buildMainWindow();
    installNotices();
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!mWillTerminateDone)
            applicationWillTerminate();
    });
}

AppController::~AppController()
{
    if (mFolderWorker) {
        mFolderWorker->wait();
        delete mFolderWorker;
    }
    for (quint64 token : std::as_const(mPlugInObservers))
        plugInCenter().removeObserver(token);
    mRecordQueue.reset();
    plugInCenter().unregisterServiceName(QLatin1String(kMessengerBusName));
    mAddBuddyWidgets.clear();
    uninstallNotices();
    delete mMainWindow;
    mMainWindow = nullptr;
    if (PLCertAlert::shared() == mCertAlert.get())
        PLCertAlert::setShared(nullptr);
    if (&PLShellServices::shared() == this)
        PLShellServices::setShared(nullptr);
    PrefsManager::setCurrentUserProvider(nullptr);
    if (mOptions.installCoreServices)
        uninstallCoreServices();
    if (gShared == this)
        gShared = nullptr;
}

AppController *AppController::sharedController() { return gShared; }

void AppController::initialize() { registerGlobalDefaults(UserDefaults::standardUserDefaults()); }

LoginView *AppController::loginView() const { return mMainWindow ? mMainWindow->loginView() : nullptr; }

bool AppController::loginStatus() const { return mSession->isLoggedIn(); }

DistributedNotificationCenter &AppController::plugInCenter()
{
    return mOptions.plugInCenter ? *mOptions.plugInCenter : DistributedNotificationCenter::defaultCenter();
}

void AppController::postQuitPlugInProcess()
{
    if (mRecordQueue)
        mRecordQueue->boxQuitting();
    plugin::postQuitPlugInProcess(QString(), plugInCenter());
}

void AppController::observe(const char *name, void (AppController::*handler)(const Notification &))
{
    mObservedNames.append(QLatin1String(name));
    NotificationCenter::defaultCenter().addObserver(this, QLatin1String(name), nullptr,
                                                    [this, handler](const Notification &n) { (this->*handler)(n); });
}

void AppController::observePlugIn(const char *name, void (AppController::*handler)(const DistributedNotification &))
{
    mObservedPlugInNames.append(QLatin1String(name));
    mPlugInObservers.append(plugInCenter().addObserver(
        this, QLatin1String(name), [this, handler](const DistributedNotification &n) { (this->*handler)(n); }));
}

void AppController::registerObservers()
{
    namespace n = notifications;
    observe(n::kChangeStatus, &AppController::changeStatus);
    observe(n::kLoginCompleted, &AppController::loginCompletedNotification);
    observe(n::kLogoutCompleted, &AppController::logoutCompletedNotification);
    observe(n::kMyIDLoggedInOtherPlace, &AppController::myIDLoggedInOtherPlaceNotification);
    observe(n::kGroupInfoWillDownload, &AppController::groupInfoWillDownloadNotification);
    observe(n::kGroupInfoDidDownloaded, &AppController::groupInfoDidDownloadedNotification);
    observe(n::kBuddyManagerGroupUpdated, &AppController::buddyManagerGroupUpdatedNotification);
    observe(n::kBuddyManagerBuddyUpdated, &AppController::buddyManagerBuddyUpdatedNotification);
    observe(n::kBuddyManagerBuddyLoggedIn, &AppController::buddyManagerBuddyLoggedNotification);
    observe(n::kBuddyManagerBuddyLogout, &AppController::buddyManagerBuddyLogoutNotification);
    observe(n::kBuddyManagerRequestedAddBuddy, &AppController::buddyManagerRequestAddBuddyReceivedNotification);
    observe(n::kBuddyStringTypeChanged, &AppController::buddyStringTypeChangedNotification);
    observe(n::kSessionConnected, &AppController::sessionConnectedNotification);
    observe(n::kSessionConnectionFailed, &AppController::sessionConnectionFailedNotification);
    observe(n::kSessionClosed, &AppController::sessionClosedNotification);
    observe(n::kMyNickNameChanged, &AppController::myNickNameChangedNotification);
    observe(n::kMyAlarmReceived, &AppController::myAlarmNotification);
    observe(n::kBuddyAlarmReceived, &AppController::buddyAlarmNotification);
    observe(n::kPreferenceSave, &AppController::preferenceSaveNotification);
    observe(n::kOrchardMainAccountInfoReceived, &AppController::orchardMainAccountInfoReceivedNotification);
    observe(n::kOrchardNewArticleInfoReceived, &AppController::orchardNewArticleInfoReceivedNotification);
    observe(n::kUpdateManagerMainVersionChecked, &AppController::updateManagerMainVersionCheckedNotification);
    observe(n::kUpdateManagerPlugInVersionChecked, &AppController::updateManagerPlugInVersionCheckedNotification);
    observe(n::kPlugInQuit, &AppController::plugInQuitNotification);
    observe(n::kErrorCodeReceived, &AppController::errorCodeReceivedNotification);
    observe(n::kCertInitError, &AppController::certificationInitErrorNotification);
    observe(n::kCertError, &AppController::certificationErrorNotification);
    observe(n::kSystemWillSleep, &AppController::systemWillSleepNotification);
    observe(n::kSystemWillPowerOn, &AppController::systemWillPowerOnNotification);
    observe(n::kSystemHasPoweredOn, &AppController::systemHasPoweredOnNotification);
    observe(n::kServerDidNotResponse, &AppController::serverTimeout);
    observe(n::kSaveChatMessage, &AppController::saveChatMessage);
    observe(n::kSessionKill, &AppController::sessionKill);
    observe(n::kSessionList, &AppController::sessionList);
    observe(n::kSessionCount, &AppController::sessionCountNotification);
    observe(n::kClose, &AppController::closeApplication);
    observe(n::kLogout, &AppController::logoutApplication);
    observe(n::kSessionKilled, &AppController::dpsessionKilled);
    observe(n::kSessionReceiveKill, &AppController::sessionKilled);

    // Sleep and wake reach the observers above once the power manager runs.
    if (mOptions.startPowerNotifications)
        PLSystemPowerNotificationManager::start();

    observePlugIn(n::kPlugUserInfo, &AppController::infoFromPlugIn);
    observePlugIn(n::kOpenMessageBoxHelp, &AppController::pluginOpenMessagBoxHelp);
    observePlugIn(n::kOpenWebChatBox, &AppController::pluginOpenWebChatBox);
    observePlugIn(n::kOpenWebMemoBox, &AppController::pluginOpenWebMemoBox);
}

void AppController::setStatusTitle(const QString &title, bool isSelected)
{
    ShellWindows::statusView().setTitle(title, isSelected);
    if (mMainWindow)
        mMainWindow->buddyView()->buddyStatusField->setText(title);
}

// Shell services the core asks for.

void AppController::changeStatusMainWindow(int status)
{
    static const char *const titles[] = {"AppearOffline", "Online", "Busy", "Away", "OnThePhone", "OnThemeeting"};
    static const char *const images[] = {"32x32_offline", "32x32_normal", "32x32_busy",
                                         "32x32_other",   "32x32_busy",   "32x32_other"};
    if (status < 0 || status > 5)
        return;
    // What the server reports is shown, not sent back.
    mIsProtocolSend = false;
    if (mMainWindow)
        mMainWindow->buddyView()->setStatusImage(QLatin1String(images[status]));
    setStatusTitle(KCLocalizedString(QLatin1String(titles[status])), true);
}

void AppController::updateCounterButtons()
{
    if (!mMainWindow)
        return;
    BuddyView *view = mMainWindow->buddyView();
    const auto show = [](QToolButton *button, int count, const char *newImage, const char *image) {
        button->setText(QString::number(count));
        const QPixmap pixmap = ImageRegistry::pixmap(QLatin1String(count > 0 ? newImage : image));
        if (!pixmap.isNull())
            button->setIcon(pixmap);
    };
    show(view->mailButton, mMailCount, "20x15_mailNew", "20x15_mail");
    show(view->memoButton, mMemoCount, "20x15_memoNew", "20x15_memo");
}

void AppController::incMailCount() { setMailCount(mMailCount + 1); }

void AppController::setMailCount(int count)
{
    mMailCount = qBound(0, count, kCountLimit);
    updateCounterButtons();
}

void AppController::incMemoCount() { setMemoCount(mMemoCount + 1); }

void AppController::setMemoCount(int count)
{
    mMemoCount = qBound(0, count, kCountLimit);
    updateCounterButtons();
}

void AppController::removeAddBuddyWidget(const QString &buddyCMN)
{
    const auto found = mAddBuddyWidgets.find(buddyCMN);
    if (found == mAddBuddyWidgets.end())
        return;
    found->second->close();
    mAddBuddyWidgets.erase(found);
}

void AppController::showToasterWindow(const QString &type, const QVariantMap &userInfo)
{
    ShellWindows::toasterManager().showToasterWindow(type, userInfo);
}

void AppController::readPreferences() { ShellWindows::prefsController().readPreferences(); }

void AppController::bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag)
{
    ShellWindows::bridgePage().bridgePageCall(code, param, returnURL, hFlag);
}

void AppController::showCertFAQ() { ShellWindows::bridgePage().showCertFAQ(); }

void AppController::showInformationalAlert(const QString &title, const QString &message, const QString &button)
{
    KCAlertRequest request;
    request.key = QStringLiteral("InformationalAlert");
    request.title = title;
    request.message = message;
    request.buttons = {button};
    request.style = KCAlertRequest::Style::Informational;
    // Shown beside the windows, never holding up the event loop.
    KCAlerts().show(request);
}

void AppController::setCookie(const QString &cookie, const QString &tid)
{
    ShellWindows::messageWindowManager().setCookie(cookie, tid);
}

void AppController::clearOrButtonX() { ShellWindows::buddyListManager().clearOrButtonX(); }

} // namespace parley::shell
