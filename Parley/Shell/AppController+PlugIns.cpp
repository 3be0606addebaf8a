// The plug-ins' side of the shell and the account's other logins: launching
// the plug-ins after sign-in and answering them over the bus, their menu
// item, the version check's offers, the count notice and the blinking
// session button, the session list and the remote logout, and the clicks on
// desktop notices.
#include "AppController.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "BuddyView.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "DistributedNotificationCenter.h"
#include "ImageRegistry.h"
#include "KCAlertPresenter.h"
#include "Log.h"
#include "MainWindow.h"
#include "MessageBoxRecordQueue.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ParleyVersion.h"
#include "PlugInNotifications.h"
#include "SessionListModel.h"
#include "UpdateDecisions.h"
#include "UrlOpener.h"
#include "Utils/KCUtilities.h"
#include "Utils/ParleyStringAdditions.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace parley::shell {

namespace {

constexpr int kBlinkIntervalMs = 500;
constexpr int kBlinkRestart = 40000;
const QString kUpdatePlugInKey = QStringLiteral("updatePlugIn_App");
const QString kMessageBoxID = QLatin1String(notifications::kMessageBoxPlugInID);

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

QString infoText(const Notification &n, const char *key) { return n.userInfo.value(QLatin1String(key)).toString(); }

const char *const kGrowlNames[] = {"Parley Memo", "Parley Chat", "Parley Login", "Parley Multi-Login",
                                   "Parley MiniCubby"};

} // namespace

UrlOpener &AppController::urlOpener() { return mOptions.urlOpener ? *mOptions.urlOpener : UrlOpener::desktop(); }

void AppController::connectPlugInControls()
{
    BuddyView *view = mMainWindow->buddyView();
    connect(view->sessionMgrButton, &QToolButton::clicked, this, &AppController::openSessionManager);
    connect(view->communicationViewerButton, &QToolButton::clicked, this, &AppController::communicationViewerAction);
    view->sessionMgrButton->setToolTip(text("LoginManager"));
}

// Launch and menu.

void AppController::startPluginService()
{
    PlugInManager &plugIns = ShellWindows::plugInManager();
    for (const QVariantMap &entry : plugIns.plugInList()) {
        const QString id = entry.value(QStringLiteral("id")).toString();
        // The message box always starts; the others when the user chose so.
        if (id == kMessageBoxID || entry.value(QStringLiteral("autolaunch")).toBool())
            plugIns.plugInExecute(id);
    }
}

void AppController::buildWindowMenuItem()
{
    if (!mMainWindow)
        return;
    QMenu *menu = mMainWindow->menuAt(MainWindow::WindowMenu);
    const QString name = ShellWindows::plugInManager().pluginForID(kMessageBoxID).value(QStringLiteral("name")).toString();
    const auto itemsNamed = [menu](const QString &title) {
        QList<QAction *> found;
        for (QAction *action : menu->actions())
            if (action->property("plugInName").toString() == title && !title.isEmpty())
                found.append(action);
        return found;
    };
    if (loginStatus() && !PLMyInfoManager::sharedManager().isGlobalMode()) {
        if (name.isEmpty() || !itemsNamed(name).isEmpty())
            return;
        // The name is data: an "&" in it is no mnemonic.
        QAction *item = menu->addAction(QString(name).replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setProperty("plugInName", name);
        connect(item, &QAction::triggered, this, [this, name] { selectPlugMenuAction(name); });
        return;
    }
    // Every plug-in item goes, whatever plug-in list is loaded now.
    const QList<QAction *> actions = menu->actions();
    for (qsizetype i = actions.size() - 1; i >= 0; --i) {
        if (!actions[i]->property("plugInName").isValid())
            continue;
        menu->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
}

void AppController::selectPlugMenuAction(const QString &title)
{
    const QVariantMap entry = ShellWindows::plugInManager().pluginForName(title);
    if (!entry.isEmpty())
        openPlugIn(entry.value(QStringLiteral("id")).toString());
}

void AppController::communicationViewerAction() { openPlugIn(kMessageBoxID); }

void AppController::openPlugIn(const QString &plugInID)
{
    PlugInManager &plugIns = ShellWindows::plugInManager();
    const QVariantMap entry = plugIns.pluginForID(plugInID);
    if (entry.isEmpty())
        return;
    if (plugIns.isNeedUpdatePlugIn(plugInID)) {
        const QString name = entry.value(QStringLiteral("name")).toString();
        KCAlertRequest request;
        request.key = QStringLiteral("UpdatePlugInMessage");
        request.title = text("UpdatePlugIn");
        request.message = text("UpdatePlugInMessage").arg(name, name, entry.value(QStringLiteral("newVersion")).toString());
        request.buttons = {text("OK"), text("Cancel")};
        if (KCAlerts().ask(request).button == 0) {
            // The update follows the plug-in's end ("PlugInQuitNotification").
            plugin::postQuitPlugInProcess(plugInID, plugInCenter());
            plugIns.quitPlugin(plugInID, kUpdatePlugInKey);
            return;
        }
    }
    plugIns.setPluginNeedUpdate(plugInID, false);
    if (!plugIns.isPlugInRunning(plugInID)) {
        mIsShowMessageBox = true;
        plugIns.plugInExecute(plugInID);
    } else {
        plugin::postShowPlugInWindow(plugInID, plugInCenter());
    }
}

// The plug-ins' requests.

void AppController::infoFromPlugIn(const DistributedNotification &n)
{
    // Before a sign-in there is no user to name.
    if (mCurrentUserID.isEmpty())
        return;
    plugin::postLoginUserInfo(mCurrentUserID, plugInCenter());
    plugin::postBuddyStatusList(ShellWindows::buddyListManager().allBuddyList(), plugInCenter());
    // The box files from now on: what waited for it goes first.
    if (n.object == kMessageBoxID && mRecordQueue)
        mRecordQueue->boxListening();
    // Opened by the user: once it is ready, its window comes forward (it starts hidden).
    if (mIsShowMessageBox) {
        mIsShowMessageBox = false;
        plugin::postShowPlugInWindow(kMessageBoxID, plugInCenter());
    }
}

void AppController::pluginOpenMessagBoxHelp(const DistributedNotification &)
{
    ShellWindows::bridgePage().showVelaMsgBoxHelp();
}

void AppController::pluginOpenWebChatBox(const DistributedNotification &) { ShellWindows::bridgePage().showVelaChat({}); }

void AppController::pluginOpenWebMemoBox(const DistributedNotification &) { ShellWindows::bridgePage().showVelaMemo(); }

void AppController::plugInQuitNotification(const Notification &n)
{
    if (infoText(n, "key") != kUpdatePlugInKey)
        return;
    const QString id = infoText(n, "id");
    UpdateManager &updates = ShellWindows::updateManager();
    if (updates.updatePlugIn(id, true)) {
        updates.showPlugInUpdater(id, true);
        return;
    }
    // Nothing to wait for: say so at once rather than show an updater that never ends.
    KCAlertRequest request;
    request.key = QStringLiteral("UpdateErrorMessage");
    request.title = text("UpdatePlugIn");
    request.message = text("UpdateErrorMessage");
    request.buttons = {text("OK")};
    request.style = KCAlertRequest::Style::Warning;
    KCAlerts().show(request);
}

// The version check.

void AppController::updateManagerPlugInVersionCheckedNotification(const Notification &n)
{
    if (n.userInfo.contains(QStringLiteral("error")))
        return;
    PlugInManager &plugIns = ShellWindows::plugInManager();
    for (const QVariant &record : n.userInfo.value(QStringLiteral("plugInInfo")).toMap())
        plugIns.addPluginForUpdate(record.toMap());
}

void AppController::updateManagerMainVersionCheckedNotification(const Notification &n)
{
    if (n.userInfo.contains(QStringLiteral("error")))
        return;
    UpdateManager &updates = ShellWindows::updateManager();
    QString latest = updates.latestMainVersion();
    if (latest.isEmpty())
        latest = infoText(n, "latestMainVersion");
    if (!UpdateDecisions::isNewerMainVersion(latest, QLatin1String(kBundleVersion)))
        return;
    KCAlertRequest request;
    request.key = QStringLiteral("UpdateMessage");
    request.title = text("Update");
    request.message = text("UpdateMessage").arg(latest);
    request.buttons = {text("OK"), text("Cancel")};
    if (KCAlerts().ask(request).button != 0)
        return;
    QString source = updates.mainDownloadURL();
    if (source.isEmpty())
        source = infoText(n, "mainDownloadURL");
    const QUrl url(source);
    if (UpdateDecisions::isOpenableInBrowser(url))
        urlOpener().openUrl(url);
    else
        plLog(QStringLiteral("the installer's address %1 is no web page; not opened").arg(source));
}

// The other logins.

bool AppController::isSessionButtonBlinking() const { return mSessionMgrTimer && mSessionMgrTimer->isActive(); }

void AppController::sessionCountNotification(const Notification &n)
{
    const int count = n.userInfo.value(QStringLiteral("count")).toInt();
    QToolButton *button = mMainWindow->buddyView()->sessionMgrButton;
    if (count > 1 && count != mSessionCount) {
        if (count > mSessionCount) {
            if (PLMyInfoManager::sharedManager().isAutoViewSessionManager()
                || ShellWindows::sessionManagerWindow().isAvailable())
                mSession->requestSessionList(PLMyInfoManager::sharedManager().loginID());
            const QString message = text("MultiLoginMessage").arg(count);
            ShellWindows::toasterManager().showToasterWindow(QStringLiteral("MCNT"), QStringLiteral("XXX"), message,
                                                             nullptr, QStringLiteral("xxx"), {});
            DesktopNotice notice;
            notice.title = text("MultiLogin");
            notice.description = message;
            notice.notificationName = QStringLiteral("Parley Multi-Login");
            notice.iconName = QStringLiteral("toast_device");
            notice.clickContext = {QStringLiteral("MCNT"), QStringLiteral("XXX"), QStringLiteral("XXX")};
            ShellWindows::desktopNotices().notify(notice);
            // A chat should not go on at two places at once.
            if (mOptions.installCoreServices)
                PLChatSessionManager::sharedManager().allDisconnectSession();
        }
        button->setToolTip(text("MultiLoginTooltip").arg(count));
        button->show();
        button->update();
        mIconNumber = 0;
        if (!mSessionMgrTimer) {
            mSessionMgrTimer = new QTimer(this);
            mSessionMgrTimer->setInterval(kBlinkIntervalMs);
            connect(mSessionMgrTimer, &QTimer::timeout, this, &AppController::changeIcons);
            mSessionMgrTimer->start();
        }
    } else {
        mIsSessionManagerFirstLogin = false;
        // Only a window that exists is refreshed: making one would load the web view.
        SessionManagerWindow &window = ShellWindows::sessionManagerWindow();
        if (window.isAvailable()) {
            window.loadSetting();
            if (count < 2)
                window.removeAllList();
            window.reloadSessionList();
        }
        stopSessionButton();
    }
    mSessionCount = count;
}

void AppController::stopSessionButton()
{
    if (!mMainWindow)
        return;
    QToolButton *button = mMainWindow->buddyView()->sessionMgrButton;
    button->setToolTip(text("LoginManager"));
    if (mSessionMgrTimer) {
        mSessionMgrTimer->stop();
        mSessionMgrTimer->deleteLater();
        mSessionMgrTimer = nullptr;
    }
    const QPixmap image = ImageRegistry::pixmap(QStringLiteral("main_device01"));
    if (!image.isNull())
        button->setIcon(image);
    button->hide();
}

void AppController::changeIcons()
{
    const char *image = nullptr;
    if (mIconNumber == kBlinkRestart) {
        mIconNumber = 0;
        image = "main_device01";
    } else {
        switch (mIconNumber % 4) {
        case 0: image = "main_device01"; break;
        case 2: image = "main_device02"; break;
        case 3: image = "main_device03"; break;
        default: break;
        }
    }
    if (image && mMainWindow) {
        QToolButton *button = mMainWindow->buddyView()->sessionMgrButton;
        const QPixmap pixmap = ImageRegistry::pixmap(QLatin1String(image));
        if (!pixmap.isNull())
            button->setIcon(pixmap);
        button->update();
    }
    ++mIconNumber;
}

void AppController::openSessionManager()
{
    mIsSessionManagerIconClicked = true;
    mSession->requestSessionList(PLMyInfoManager::sharedManager().loginID());
}

void AppController::sessionList(const Notification &n)
{
    SessionManagerWindow &window = ShellWindows::sessionManagerWindow();
    if (mIsSessionManagerIconClicked) {
        mIsSessionManagerIconClicked = false;
        window.showWindow();
    } else if (mIsSessionManagerFirstLogin || PLMyInfoManager::sharedManager().isAutoViewSessionManager()) {
        // The count of 1 that every sign-in hears clears the first-login
        // flag before another login can appear; the user's "show when another
        // login appears" (auto view, set until the first list) still shows it.
        mIsSessionManagerFirstLogin = false;
        window.showWindow();
    }
    PLMyInfoManager::sharedManager().setIsAutoViewSessionManager(false);
    // A list nobody is shown is not kept in a hidden window.
    if (!window.isAvailable())
        return;
    window.loadSetting();
    window.removeAllList();
    for (const QVariant &item : n.userInfo.value(QStringLiteral("list")).toList()) {
        const QStringList fields = item.toStringList();
        // Key, media type, equipment type, language and OS, display name.
        if (fields.size() < 5)
            continue;
        window.addList(fields[0], fields[1], fields[2], fields[3], stringByParleyDecoding(fields[4]),
                       SessionListModel::typeNameForMediaType(fields[1]));
    }
    window.reloadSessionList();
}

void AppController::sessionKill(const Notification &n)
{
    const QString key = infoText(n, "killKey");
    const QString type = infoText(n, "killType");
    if (key.isEmpty() || type.isEmpty()) {
        plLog(QStringLiteral("break : object is nil (%1, %2)").arg(QLatin1String(__FILE__)).arg(__LINE__));
        return;
    }
    const int tid = mSession->sendKillSession(key, type);
    if (type == QLatin1String("U") && tid > 0)
        mKilledDict.insert(QString::number(tid), infoText(n, "PCName"));
}

void AppController::sessionKilled(const Notification &n)
{
    const QString tid = infoText(n, "tid");
    if (!mKilledDict.contains(tid))
        return;
    const QString pcName = mKilledDict.take(tid).toString();
    KCAlertRequest request;
    const bool ended = infoText(n, "result") == QLatin1String("100");
    request.key = QLatin1String(ended ? "CompleteLogoutMsg" : "AlreadyLogoutMsg");
    request.title = ended ? text("CompleteLogoutMsg").arg(pcName) : text("AlreadyLogoutMsg");
    request.buttons = {text("OK")};
    KCAlerts().show(request);
}

// Desktop notices.

QVariantMap AppController::registrationDictionaryForGrowl()
{
    QStringList names;
    for (const char *name : kGrowlNames)
        names.append(QLatin1String(name));
    return {{QStringLiteral("ApplicationName"), QStringLiteral("Parley")},
            {QStringLiteral("AllNotifications"), names},
            {QStringLiteral("DefaultNotifications"), names}};
}

void AppController::growlNotificationWasClicked(const QVariantList &context)
{
    if (context.isEmpty())
        return;
    if (mMainWindow && mMainWindow->isVisible())
        mMainWindow->activateWindow();
    if (context.size() < 2)
        return;
    const QString type = context[0].toString();
    if (type == QLatin1String("LGIN") || type == QLatin1String("CHAT")) {
        const QString buddyID = context[1].toString();
        if (!buddyID.isEmpty())
            ShellWindows::chatManager().openChatRoom({buddyID});
    } else if (type == QLatin1String("MEMO")) {
        const QVariantMap memo = context[1].toMap();
        if (memo.isEmpty())
            return;
        mSession->getMemo(memo.value(QStringLiteral("cookie")).toString());
        ShellWindows::messageWindowManager().createReceiveMessageWindowWithInfo(memo);
    } else if (type == QLatin1String("ORRP")) {
        // Service type, bridge code, h_flag and address: a shorter context opens nothing.
        if (context.size() < 5)
            return;
        bool isNumber = false;
        const int hFlag = context[3].toString().toInt(&isNumber);
        ShellWindows::bridgePage().showBridgePageForSVC(context[1].toString(), context[2].toString(),
                                                         isNumber ? hFlag : context[3].toInt(), context[4].toString());
    } else if (type == QLatin1String("MCNT")) {
        openSessionManager();
    }
}

} // namespace parley::shell
