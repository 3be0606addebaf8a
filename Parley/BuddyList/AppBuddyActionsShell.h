#pragma once

// The buddy list commands' view of the messenger: the shell's registered
// windows (status view, chat windows, preferences, bridge page), the main
// window, the add-buddy window and the invite panel.

#include "BuddyActionsShell.h"

namespace parley {

class BuddyListShell;

namespace shell {
class AppController;
class ChatDocument;
}

class AppBuddyActionsShell final : public BuddyActionsShell
{
public:
    AppBuddyActionsShell(shell::AppController &controller, BuddyListShell &listShell)
        : mController(controller), mListShell(listShell)
    {
    }

    QString statusTitle() override;
    void setStatusTitle(const QString &title) override;
    bool hasChatToSave() override;
    bool saveChat() override;
    void openMessagePreferences() override;
    void reloadPreferences() override;
    void bridgePageCall(const QString &code, const QString &param, int hFlag) override;
    void showBuddyMininook(const PLBuddyPtr &buddy) override;
    void showAddBuddyWindow() override;
    void showInvitePanel(bool onlineOnly, std::function<void(const QStringList &)> didEnd) override;
    QWidget *window() override;

private:
    shell::ChatDocument *chatDocumentToSave();

    shell::AppController &mController;
    BuddyListShell &mListShell;
};

} // namespace parley
