#pragma once

// The buddy list's menus and commands installed in the messenger: the
// actions on the application's session, the menus in the outline and the
// menu bar, the buddy view's tool buttons, and the buddy-request windows.
// Made once at start-up after the buddy list; undoes its registrations when
// destroyed.

#include "AppBuddyActionsShell.h"
#include "BuddyGroupActions.h"
#include "BuddyListActions.h"
#include "BuddyListMenus.h"

#include <QObject>

namespace parley {

class BuddyListWindow;
class ChatManagerInterface;
class MemoWindowOpener;

namespace shell {
class AppController;
}

class BuddyListCommands final : public QObject
{
    Q_OBJECT

public:
    BuddyListCommands(BuddyListWindow &list, shell::AppController &controller, QObject *parent = nullptr);
    ~BuddyListCommands() override;

    void setChatManager(ChatManagerInterface *chat);
    void setMemoWindows(MemoWindowOpener *memos);

    BuddyListActions &actions() { return mActions; }
    BuddyGroupActions &groups() { return mGroups; }
    BuddyListMenus &menus() { return mMenus; }

private:
    BuddyListWindow &mList;
    AppBuddyActionsShell mShell;
    BuddyListActions mActions;
    BuddyGroupActions mGroups;
    BuddyListMenus mMenus;
};

} // namespace parley
