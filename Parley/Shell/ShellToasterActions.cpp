#include "ShellToasterActions.h"

#include "AppController.h"
#include "BuddyManagement/PLMyInfoManager.h"

#include <QWidget>

namespace parley::shell {

int ShellToasterActions::myStatus() { return PLMyInfoManager::sharedManager().status(); }

void ShellToasterActions::showPopWindow(QWidget *window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

void ShellToasterActions::showBridgePageForSVC(const QString &svc, const QString &bridgeCode, int hFlag,
                                               const QString &url)
{
    ShellWindows::bridgePage().showBridgePageForSVC(svc, bridgeCode, hFlag, url);
}

void ShellToasterActions::openMemo(const QVariantMap &memoInfo)
{
    mController.getMemo(memoInfo.value(QStringLiteral("cookie")).toString());
    ShellWindows::messageWindowManager().createReceiveMessageWindowWithInfo(memoInfo);
}

void ShellToasterActions::showVelaMemo() { mController.showVelaMemo(); }

void ShellToasterActions::showVelaMail() { mController.showVelaMail(); }

void ShellToasterActions::showConfirmMail() { mController.showConfirmMail(); }

void ShellToasterActions::openSessionManager() { mController.openSessionManager(); }

void ShellToasterActions::openChatRoom(const QString &buddyID) { ShellWindows::chatManager().openChatRoom({buddyID}); }

void ShellToasterActions::setMiniNookNew(bool isNew) { mController.setMiniNookNew(isNew); }

void ShellToasterActions::setOrchardNew(bool isNew) { mController.setOrchardNew(isNew); }

} // namespace parley::shell
