// What the controller sets up for notices: the sound player behind the core's
// shell hooks, the desktop's notification service, the pop-up notices, the
// tray and the own-status view, each only where nothing else stands in.
#include "AppController.h"

#include "BuddyView.h"
#include "DesktopNoticeBridge.h"
#include "DesktopNotifications.h"
#include "DistributedNotificationCenter.h"
#include "IdleSourceChain.h"
#include "MainWindow.h"
#include "ShellSoundHooks.h"
#include "ShellToasterActions.h"
#include "SlideWindowSkins.h"
#include "ToasterWindowManager.h"
#include "TrayDockManager.h"
#include "Utils/KCShellHooks.h"

#include <QDBusConnection>

namespace parley::shell {

void AppController::installNotices()
{
    if (mOptions.shellHooks) {
        mShellHooks = mOptions.shellHooks;
    } else {
        mOwnedShellHooks = std::make_unique<ShellSoundHooks>();
        mShellHooks = mOwnedShellHooks.get();
    }
    KCSetShellHooks(mShellHooks);

    if (mOptions.desktopNotifications) {
        mDesktopNotifications = mOptions.desktopNotifications;
    } else {
        mOwnedDesktopNotifications = std::make_unique<DesktopNotifications>(plugInCenter().bus());
        mDesktopNotifications = mOwnedDesktopNotifications.get();
    }
    mDesktopNotifications->setClickHandler([this](const QVariant &context) {
        const QVariantList list = context.toList();
        emit desktopNoticeClicked(list);
        growlNotificationWasClicked(list);
    });
    DesktopNoticeBridge::setNotifications(mDesktopNotifications);

    if (mOptions.idleSource) {
        mIdleSource = mOptions.idleSource;
    } else {
        mOwnedIdleSource = IdleSourceChain::standard(plugInCenter().bus(), QDBusConnection::systemBus());
        mIdleSource = mOwnedIdleSource.get();
    }
    mIdleTimer.setSingleShot(true);
    connect(&mIdleTimer, &QTimer::timeout, this, &AppController::checkIdle);

    mToasterActions = std::make_unique<ShellToasterActions>(*this);
    if (!ShellWindows::hasToasterManager()) {
        const QString skins =
            mOptions.noticeSkinsPath.isNull() ? ToasterWindowManager::defaultSkinsPath() : mOptions.noticeSkinsPath;
        mToasterManager = std::make_unique<ToasterWindowManager>(*mToasterActions, SlideWindowSkins::load(skins),
                                                                 mOptions.noticeArea);
        ShellWindows::setToasterManager(mToasterManager.get());
    }
    if (!ShellWindows::hasDockManager()) {
        mDockManager = std::make_unique<TrayDockManager>([this]() -> QWidget * { return mMainWindow; },
                                                         [this] { applicationShouldHandleReopen(); },
                                                         plugInCenter().bus());
        ShellWindows::setDockManager(mDockManager.get());
        mDockManager->dockIconUpdate();
    }
    if (!ShellWindows::hasStatusView() && mMainWindow) {
        auto *view = new KCStatusViewWidget;
        view->setDelegate(this);
        mMainWindow->buddyView()->setStatusWidget(view);
        mStatusView = view;
        ShellWindows::setStatusView(view);
    }
}

void AppController::uninstallNotices()
{
    mIdleTimer.stop();
    if (mStatusView) {
        mStatusView->setDelegate(nullptr);
        if (&ShellWindows::statusView() == static_cast<KCStatusView *>(mStatusView.data()))
            ShellWindows::setStatusView(nullptr);
    }
    if (mDockManager && &ShellWindows::dockManager() == mDockManager.get())
        ShellWindows::setDockManager(nullptr);
    mDockManager.reset();
    if (mToasterManager && &ShellWindows::toasterManager() == mToasterManager.get())
        ShellWindows::setToasterManager(nullptr);
    mToasterManager.reset();
    if (DesktopNoticeBridge::notifications() == mDesktopNotifications)
        DesktopNoticeBridge::setNotifications(nullptr);
    if (mDesktopNotifications)
        mDesktopNotifications->setClickHandler({});
    mOwnedDesktopNotifications.reset();
    if (&KCCurrentShellHooks() == mShellHooks)
        KCSetShellHooks(nullptr);
    mOwnedShellHooks.reset();
}

} // namespace parley::shell
