#pragma once

// What the buddy list's commands ask of the rest of the messenger: the
// own-status view, the chat window to save, the preferences window, the
// portal's pages, the add-buddy window and the invite panel. AppBuddyActionsShell
// is the application's; tests record.

#include "BuddyManagement/PLBuddy.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace parley {

class BuddyActionsShell
{
public:
    virtual ~BuddyActionsShell() = default;
    // The own-status view's title (a localized status word such as "자리 비움").
    virtual QString statusTitle() = 0;
    // Sets it as the user's own choice (a localized status word).
    virtual void setStatusTitle(const QString &title) = 0;
    // The chat window in front can be saved; saves it.
    virtual bool hasChatToSave() = 0;
    // Saves the chat window that was active last; false when no log went to
    // the save queue.
    virtual bool saveChat() = 0;
    // The preferences window on its message pane; its panes read again.
    virtual void openMessagePreferences() = 0;
    virtual void reloadPreferences() = 0;
    // A page of the portal through its bridge page (hFlag -1: none).
    virtual void bridgePageCall(const QString &code, const QString &param, int hFlag) = 0;
    virtual void showBuddyMininook(const PLBuddyPtr &buddy) = 0;
    virtual void showAddBuddyWindow() = 0;
    // The invite panel over the main window; `didEnd` hears the picked IDs after OK.
    virtual void showInvitePanel(bool onlineOnly, std::function<void(const QStringList &)> didEnd) = 0;
    // The window sheets and alerts go over.
    virtual QWidget *window() = 0;
};

} // namespace parley
