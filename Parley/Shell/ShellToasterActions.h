#pragma once

// What the messenger's pop-up notices open, through the application
// controller and the other windows.

#include "ToasterActions.h"

namespace parley::shell {

class AppController;

class ShellToasterActions final : public ToasterActions
{
public:
    explicit ShellToasterActions(AppController &controller) : mController(controller) {}

    int myStatus() override;
    void showPopWindow(QWidget *window) override;
    void showBridgePageForSVC(const QString &svc, const QString &bridgeCode, int hFlag, const QString &url) override;
    void openMemo(const QVariantMap &memoInfo) override;
    void showVelaMemo() override;
    void showVelaMail() override;
    void showConfirmMail() override;
    void openSessionManager() override;
    void openChatRoom(const QString &buddyID) override;
    void setMiniNookNew(bool isNew) override;
    void setOrchardNew(bool isNew) override;

private:
    AppController &mController;
};

} // namespace parley::shell
