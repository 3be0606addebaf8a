#include "BuddyListWindow.h"

#include "BuddyListView.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyTabView.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "KCOutlineView.h"
#include "PlugInNotifications.h"
#include "Sessions/PLParleySession.h"
#include "Shell/AppController.h"
#include "Shell/BuddyView.h"
#include "Shell/MainWindow.h"

namespace parley {

BuddyListWindow::BuddyListWindow(shell::AppController &controller, DistributedNotificationCenter *plugInCenter,
                                 QObject *parent)
    : QObject(parent),
      mController(controller),
      mManager(parley::BuddyListManager::sharedManager()),
      mDataSource(mManager)
{
    mDataSource.setShell(this);
    if (plugInCenter)
        mDataSource.setStatusListPoster(
            [plugInCenter](const QVariantMap &list) { return plugin::postBuddyStatusList(list, *plugInCenter); });
    if (shell::MainWindow *window = controller.window()) {
        mView = new BuddyListView;
        // The main window's own tool bar adds buddies and groups; the tab
        // bar is the buddy dialogs' to fill and show.
        mView->tabBar()->hide();
        mDataSource.setMBuddyListView(mView->outlineView());
        window->buddyView()->setBuddyListWidget(mView);
    }
    shell::ShellWindows::setBuddyListDataSource(this);
    shell::ShellWindows::setBuddyListManager(this);
    PLChatSessionManager::sharedManager().setBuddyString(&mBuddyString);
}

BuddyListWindow::~BuddyListWindow()
{
    PLChatSessionManager::sharedManager().setBuddyString(nullptr);
    shell::ShellWindows::setBuddyListDataSource(nullptr);
    shell::ShellWindows::setBuddyListManager(nullptr);
}

BuddyListView *BuddyListWindow::view() const { return mView.data(); }

bool BuddyListWindow::isBuddyDataReceived() const { return mController.mIsBuddyDataReceived(); }

void BuddyListWindow::buddyDataReceived() { mController.buddyDataReceived(); }

bool BuddyListWindow::moveBuddies(const QVariantList &requests)
{
    PLParleySession *session = mController.session();
    return session && session->moveBuddies(requests);
}

void BuddyListWindow::showBuddyMininook(const PLBuddyPtr &buddy)
{
    // One rule for the buddy's page, shared with the chat window's home button.
    shell::ShellWindows::bridgePage().showBuddyMininook(buddy);
}

PLBuddyPtr BuddyListWindow::buddyForBuddyDict(const QVariantMap &entry)
{
    const PLBuddyPtr buddy = entry.value(QStringLiteral("buddy")).value<PLBuddyPtr>();
    if (buddy)
        return buddy;
    const QString velaID = entry.value(QStringLiteral("velaID")).toString();
    return velaID.isEmpty() ? nullptr : mManager.buddies().buddyForID(velaID);
}

} // namespace parley
