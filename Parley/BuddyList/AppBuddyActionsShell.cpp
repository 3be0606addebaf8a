#include "AppBuddyActionsShell.h"

#include "BuddyController.h"
#include "BuddyInviteController.h"
#include "BuddyListShell.h"
#include "Shell/AppController.h"
#include "Shell/MainWindow.h"
#include "Shell/ShellWindows.h"

#include <QApplication>

namespace parley {

using shell::ShellWindows;

QString AppBuddyActionsShell::statusTitle() { return ShellWindows::statusView().title(); }

void AppBuddyActionsShell::setStatusTitle(const QString &title)
{
    // Chosen by the user: Away goes out as away (3), not as idle.
    ShellWindows::statusView().setTitle(title, true);
}

// The main window's menu is open while it is the active window: the chat
// window meant is the one active last.
shell::ChatDocument *AppBuddyActionsShell::chatDocumentToSave()
{
    return ShellWindows::chatManager().lastActiveChatDocument();
}

bool AppBuddyActionsShell::hasChatToSave() { return chatDocumentToSave() != nullptr; }

bool AppBuddyActionsShell::saveChat()
{
    shell::ChatDocument *document = chatDocumentToSave();
    return document && document->saveChatAction();
}

void AppBuddyActionsShell::openMessagePreferences()
{
    shell::PrefsController &prefs = ShellWindows::prefsController();
    prefs.setUserID(mController.currentUserID());
    prefs.showWindow();
    prefs.showMessagePane();
}

void AppBuddyActionsShell::reloadPreferences()
{
    shell::PrefsController &prefs = ShellWindows::prefsController();
    prefs.setUserID(mController.currentUserID());
    prefs.readPreferences();
}

void AppBuddyActionsShell::bridgePageCall(const QString &code, const QString &param, int hFlag)
{
    ShellWindows::bridgePage().bridgePageCall(code, param, QString(), hFlag);
}

void AppBuddyActionsShell::showBuddyMininook(const PLBuddyPtr &buddy) { mListShell.showBuddyMininook(buddy); }

void AppBuddyActionsShell::showAddBuddyWindow()
{
    BuddyController *dialog = BuddyController::defaultController();
    dialog->showAddBuddyTab();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void AppBuddyActionsShell::showInvitePanel(bool onlineOnly, std::function<void(const QStringList &)> didEnd)
{
    BuddyInviteController::runBuddyInvitePanel(window(), onlineOnly, std::move(didEnd));
}

QWidget *AppBuddyActionsShell::window() { return mController.window(); }

} // namespace parley
