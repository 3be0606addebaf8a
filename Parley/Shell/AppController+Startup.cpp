// Start-up, the application folders, quit and the child windows.
#include "AppController.h"

#include "AboutBox.h"
#include "ApplicationFolders.h"
#include "BuddyView.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "ConnectivityTest.h"
#include "DomainSheet.h"
#include "FileTransfer/PLCookieManager.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "FileTransfer/PLMailTransferManager.h"
#include "FileTransfer/PLP2PSessionManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "KCAlertPresenter.h"
#include "KCMenuButton.h"
#include "KCResourceDirectory.h"
#include "LoginView.h"
#include "Log.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "Sessions/PLEncrypUtil.h"
#include "Sessions/PLManagerRegistry.h"
#include "Sessions/PLParleySession.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"
#include "Utils/PLUtils.h"
#include "Utils/PrefsManager.h"

#include <QAction>
#include <QApplication>
#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace parley::shell {

namespace {

const QString kWindowFrameKey = QStringLiteral("NSWindow Frame Parley");

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

UserDefaults &defaults() { return UserDefaults::standardUserDefaults(); }

} // namespace

int AppController::statusCodeForSessionManager(int choice)
{
    // The session list's choice 1..6 in its menu order, as status codes.
    static const int codes[] = {1, 3, 2, 4, 5, 0};
    return choice >= 1 && choice <= 6 ? codes[choice - 1] : -1;
}

void AppController::buildMainWindow()
{
    mMainWindow = new MainWindow;
    LoginView *login = mMainWindow->loginView();
    connect(login->loginButton, &QPushButton::clicked, this, [this, login] { loginAction(login->loginButton); });
    // Return in either field presses the sign-in button, as its key equivalent.
    for (QLineEdit *field : {login->idField, login->passwordField}) {
        connect(field, &QLineEdit::textChanged, this, &AppController::controlTextDidChange);
        connect(field, &QLineEdit::returnPressed, login->loginButton, [login] {
            if (login->loginButton->isEnabled())
                login->loginButton->click();
        });
    }
    connect(login->domainNameField, &QLineEdit::returnPressed, login->loginButton, [login] {
        if (login->loginButton->isEnabled())
            login->loginButton->click();
    });
    connect(login->loginCancelButton, &QPushButton::clicked, this, &AppController::loginCancelAction);
    connect(login->loginAgainButton, &QPushButton::clicked, this, &AppController::reloginAction);
    connect(login->loginDiffIDButton, &QPushButton::clicked, this, &AppController::loginAsOtherIDAction);
    connect(login->findIDButton, &QAbstractButton::clicked, this, &AppController::findIDAction);
    connect(login->signUpButton, &QAbstractButton::clicked, this, &AppController::signUpAction);
    connect(login->domainComboButton, &QComboBox::activated, this, &AppController::selectDomainAction);

    connect(mMainWindow->aboutAction, &QAction::triggered, this, &AppController::openAboutBox);
    connect(mMainWindow->quitAction, &QAction::triggered, this, &AppController::closeAction);
    connect(mMainWindow->logoutAction, &QAction::triggered, this, &AppController::logoutAction);
    connect(mMainWindow->transferAction, &QAction::triggered, this, &AppController::openTransfer);
    connect(mMainWindow->mainWindowAction, &QAction::triggered, this, &AppController::applicationShouldHandleReopen);
    connect(mMainWindow->preferencesAction, &QAction::triggered, this, [this] {
        PrefsController &prefs = ShellWindows::prefsController();
        if (loginStatus())
            prefs.setUserID(fullUserID());
        prefs.showWindow();
    });

    mDomainPanel = new DomainSheet(mMainWindow);
    connect(mDomainPanel, &QDialog::finished, this, &AppController::sheetDidEnd);
    connectPlugInControls();
    connectPortalControls();
}

void AppController::installCoreServices()
{
    // The crypto glue and the managers the sessions reach through the registry.
    PLEncrypUtil::install();
    PLChatSessionManager &chat = PLChatSessionManager::sharedManager();
    PLFileTransferManager &files = PLFileTransferManager::sharedManager();
    files.setChatSessionManager(&chat);
    chat.setFileTransferManager(&files);
    PLManagerRegistry::setChatSessionManager(&chat);
    PLManagerRegistry::setCookieManager(&PLCookieManager::sharedManager());
    PLManagerRegistry::setP2PSessionManager(&PLP2PSessionManager::sharedManager());
    PLManagerRegistry::setFileTransferManager(&files);
    PLManagerRegistry::setMailTransferManager(&PLMailTransferManager::sharedManager());
    if (mSession->facade())
        files.setSession(mSession->facade());
}

void AppController::uninstallCoreServices()
{
    PLFileTransferManager::sharedManager().setSession(static_cast<PLParleySession *>(nullptr));
    PLManagerRegistry::setChatSessionManager(nullptr);
    PLManagerRegistry::setCookieManager(nullptr);
    PLManagerRegistry::setP2PSessionManager(nullptr);
    PLManagerRegistry::setFileTransferManager(nullptr);
    PLManagerRegistry::setMailTransferManager(nullptr);
}

void AppController::awakeFromNib()
{
    // Plug-ins left from an earlier run quit.
    postQuitPlugInProcess();
    mConnectivity->checkNetworkStatus();
    ShellWindows::updateManager().checkVersion();

    if (!KCCheckSystemVersion()) {
        KCAlertRequest request;
        request.key = QStringLiteral("InvalidOSVersion");
        request.title = text("Alert");
        request.message = text("InvalidOSVersion");
        request.buttons = {text("Quit")};
        request.style = KCAlertRequest::Style::Critical;
        KCAlerts().ask(request);
        mIsForceTerminate = true;
        terminate();
        return;
    }

    initializeApplicationFolder();
    if (mIsForceTerminate)
        return;

    MainWindow *window = mMainWindow;
    LoginView *login = window->loginView();
    window->setWindowTitle(text("ParleyTitle"));
    const QByteArray frame = defaults().dataForKey(kWindowFrameKey);
    if (!frame.isEmpty())
        window->restoreGeometry(frame);
    if (QMenu *statusMenu = ShellWindows::statusView().menu())
        window->buddyView()->myStatusButton->setPopupMenu(statusMenu);

    window->showLoginView();
    buildDomainMenuItem();
    buildLocalizedString();
    login->selectTab(LoginView::FormTab);
    mDomainPanel->resetDataAction();

    login->loginButton->setEnabled(false);
    window->buddyView()->sessionMgrButton->hide();

    // The transfer window and the memo windows' manager exist from now on.
    ShellWindows::transferController();
    ShellWindows::messageWindowManager();

    removePreLoginStore();

    const QVariant viewSessionManager = defaults().objectForKey(QStringLiteral("viewSessionManager"));
    if (!viewSessionManager.isValid()) {
        defaults().setBool(true, QStringLiteral("viewSessionManager"));
        PLMyInfoManager::sharedManager().setIsAutoViewSessionManager(true);
        mIsSessionManagerFirstLogin = true;
    } else {
        PLMyInfoManager::sharedManager().setIsAutoViewSessionManager(viewSessionManager.toBool());
        mIsSessionManagerFirstLogin = viewSessionManager.toBool();
    }

    const QString accountName = defaults().stringForKey(QStringLiteral("accountname"));
    const QString accountDomain = defaults().stringForKey(QStringLiteral("accountDomain"));
    if (!accountName.isEmpty()) {
        login->idField->setText(accountName);
        if (!accountDomain.isEmpty()) {
            if (login->usesDomainMenu()) {
                QComboBox *combo = login->domainComboButton;
                if (combo->findText(accountDomain) < 0)
                    combo->insertItem(qMax(0, combo->count() - 1), accountDomain);
                combo->setCurrentIndex(combo->findText(accountDomain));
            } else {
                login->domainNameField->setText(accountDomain);
            }
        }
    }

    if (mOptions.installCoreServices)
        PLP2PSessionManager::sharedManager().setP2pPortNo(PrefsManager::firewall_P2PPort());

    mOTPInputFirst = true;
    login->autoLoginButton->setChecked(PrefsManager::pref_IsAutoLogin());

    if (PrefsManager::firewall_IsUseProxy() && !PrefsManager::firewall_ProxyServer().isEmpty()) {
        const int mode = PrefsManager::firewall_ProxyMode();
        mSession->setProxyMode(mode, PrefsManager::firewall_ProxyServer(), PrefsManager::firewall_ProxyPort(mode),
                               PrefsManager::firewall_ProxyUser(), PrefsManager::firewall_ProxyPass());
    }

    window->show();
    if (PrefsManager::pref_IsAutoLogin())
        autoLoginAction();
}

void AppController::initializeApplicationFolder()
{
    const QString resources = mOptions.resourceDirectory.isNull() ? KCResourceDirectory() : mOptions.resourceDirectory;
    auto folders = std::make_shared<ApplicationFolders>(PLAppSupportPath(), resources);
    const ApplicationFolders::Plan plan = folders->prepare();
    if (plan.result == ApplicationFolders::Result::ComponentsMissing) {
        terminateForComponents();
        return;
    }
    if (!plan.install && !folders->emoticonsMissing()) {
        ShellWindows::plugInManager().loadPlugInFromLocal(folders->plugInListPath());
        return;
    }
    // The copies can be tens of megabytes: they run beside the event loop,
    // and the plug-in list is read once they are done (long before a sign-in
    // could launch a plug-in).
    mFolderWorker = QThread::create([this, folders, plan] {
        folders->copyEmoticons();
        const bool installed = plan.install && folders->installMessageBox();
        QMetaObject::invokeMethod(
            this,
            [this, folders, plan, installed] {
                if (installed)
                    folders->recordMessageBox(plan.version);
                ShellWindows::plugInManager().loadPlugInFromLocal(folders->plugInListPath());
            },
            Qt::QueuedConnection);
    });
    mFolderWorker->start();
}

void AppController::removePreLoginStore()
{
    ApplicationFolders folders(PLAppSupportPath(), QString());
    if (!folders.removePreLoginStore())
        plLog(QStringLiteral("can not delete the message box's pre-login store"));
}

void AppController::terminateForComponents()
{
    KCAlertRequest request;
    request.key = QStringLiteral("ComponentsIsNotExist");
    request.title = text("ExecuteError");
    request.message = text("ComponentsIsNotExist");
    request.style = KCAlertRequest::Style::Critical;
    KCAlerts().ask(request);
    mIsForceTerminate = true;
    terminate();
}

// Quit.

void AppController::closeAction()
{
    mIsCloseApplication = false;
    const QVariant choice = defaults().objectForKey(QStringLiteral("statusSessionManager"));
    const int code = choice.isValid() ? statusCodeForSessionManager(int(choice.toLongLong())) : -1;
    if (code >= 0 && mSessionCount > 1) {
        // The other logins see the chosen status; the quit follows the
        // server's acknowledgement ("ParleyClose"), or the wait's end.
        mIsCloseApplication = true;
        mSession->setMyStatus(code);
        const int wait = ++mAckWait;
        mScheduler->schedule(this, PLEndpoints::current().signoutTimeout, [this, wait] {
            if (wait != mAckWait || !mIsCloseApplication)
                return;
            plLog(QStringLiteral("no acknowledgement of the status from the server; quitting"));
            finishCloseApplication();
        });
        return;
    }
    terminate();
}

void AppController::closeApplication(const Notification &) { finishCloseApplication(); }

void AppController::finishCloseApplication()
{
    ++mAckWait;
    mIsCloseApplication = false;
    terminate();
}

void AppController::terminate()
{
    if (mTerminating)
        return;
    mTerminating = true;
    const bool agreed = applicationShouldTerminate();
    if (agreed) {
        applicationWillTerminate();
        if (mOptions.quitApplication)
            mOptions.quitApplication();
        else
            // exit(), not quit(): quit() first asks every window to close
            // and gives up when one refuses, as the main window does (it
            // hides). Queued: at start-up the event loop is not running yet.
            QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); },
                                      Qt::QueuedConnection);
    }
    mTerminating = false;
}

void AppController::terminateWithoutAsking()
{
    mIsForceTerminate = true;
    terminate();
}

bool AppController::applicationShouldTerminate()
{
    if (mIsForceTerminate || !loginStatus() || !isExistVisibleChildWindows())
        return true;
    KCAlertRequest request;
    request.key = QStringLiteral("AlertQuitMessage");
    request.title = text("Parley");
    request.message = text("AlertQuitMessage");
    request.buttons = {text("OK"), text("Cancel")};
    return KCAlerts().ask(request).button == 0;
}

void AppController::applicationWillTerminate()
{
    if (mWillTerminateDone)
        return;
    mWillTerminateDone = true;
    if (mMainWindow)
        defaults().setData(mMainWindow->saveGeometry(), kWindowFrameKey);
    ShellWindows::bridgePage().removeBridgeFile();
    postQuitPlugInProcess();
    // The server hears that this login ends rather than finding the line cut.
    if (loginStatus()) {
        mSession->logout(false);
        waitForSignOutWritten();
    }
    // The settings are on disk when the program ends, however it ends.
    defaults().synchronize();
}

void AppController::waitForSignOutWritten()
{
    PLParleySession *facade = mSession->facade();
    if (!facade || !facade->isSignOutInProgress())
        return;
    // The LOUT is written by the event loop that quitting is about to end;
    // the facade bounds its own wait, the timer only guards against a
    // facade that never says.
    QEventLoop loop;
    QObject::connect(facade, &PLParleySession::signOutFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(PLParleySession::kSignOutWaitMs + 1000, &loop, &QEventLoop::quit);
    if (facade->isSignOutInProgress())
        loop.exec();
}

bool AppController::applicationShouldHandleReopen()
{
    if (mMainWindow) {
        // A minimized window is brought back too: show() alone leaves it iconic.
        mMainWindow->setWindowState(mMainWindow->windowState() & ~Qt::WindowMinimized);
        mMainWindow->show();
        mMainWindow->raise();
        mMainWindow->activateWindow();
    }
    ShellWindows::chatManager().activeNewMessageChatRoom();
    return true;
}

void AppController::openAboutBox() { AboutBox::sharedBox()->showWindow(); }

void AppController::openTransfer() { ShellWindows::transferController().showWindow(); }

// Child windows.

namespace {

// Qt's own tray icon is a top-level widget where the desktop's tray embeds
// windows: it is no window of the messenger's and lives as long as it.
bool isTrayIconWindow(const QWidget *window)
{
    return window->windowFlags().testFlag(Qt::BypassWindowManagerHint)
        || window->inherits("QSystemTrayIconSys")
        || window->objectName() == QLatin1String("QSystemTrayIconSys");
}

bool isChildWindow(const QWidget *window, const QWidget *mainWindow)
{
    if (!window->isWindow() || !window->isVisible() || window == mainWindow || isTrayIconWindow(window))
        return false;
    switch (window->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::SplashScreen:
    case Qt::Desktop:
        return false;
    default:
        break;
    }
    return !ShellWindows::toasterManager().isToastWindow(window);
}

} // namespace

bool AppController::isExistVisibleChildWindows() const
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [this](const QWidget *w) { return isChildWindow(w, mMainWindow); });
}

void AppController::closeAllChildWindows()
{
    // A window may refuse to close; the passes are bounded.
    for (int pass = 0; pass < 16; ++pass) {
        bool restart = false;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (!isChildWindow(window, mMainWindow))
                continue;
            auto *dialog = qobject_cast<QDialog *>(window);
            if (dialog && dialog->windowModality() == Qt::WindowModal) {
                // A sheet is ended directly, and the walk starts again.
                dialog->reject();
                restart = true;
                break;
            }
            window->close();
        }
        if (!restart)
            return;
    }
}

} // namespace parley::shell
