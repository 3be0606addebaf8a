#pragma once

// What the buddy list's menus, buttons and keys do to buddies: chat, memo,
// files, pages, the own status, the display options, block and unblock,
// removing, moving and copying. Requests go through the buddy session; the
// list changes when the server's replies reach the buddy manager. Every
// question goes through the kit's alerts.

#include "BuddyListRemoval.h"

#include <QObject>

namespace parley {

class BuddyActionsShell;
class BuddyListDataSource;
class BuddySession;
class ChatManagerInterface;
class MemoWindowOpener;

class BuddyListActions : public QObject
{
    Q_OBJECT

public:
    // The user default that skips the block question once answered with its box ticked.
    static constexpr char kBlockDontShowKey[] = "buddyBlockMessageDontShow";

    BuddyListActions(BuddyListDataSource &list, BuddySession &session, BuddyActionsShell &shell,
                     QObject *parent = nullptr);

    void setChatManager(ChatManagerInterface *chat) { mChat = chat; }
    void setMemoWindows(MemoWindowOpener *memos) { mMemos = memos; }

    // Chat and files.
    void chatAction();
    void newChatAction();
    void buddyInvitePanelDidEnd(const QStringList &velaIDs);
    void sendFileAction();
    void saveChatAction();
    void showLastChatAction();
    // Memos.
    void sendMessageAction();
    // Pages.
    void smsAction();
    void showMiniNookAction();
    void buddyProfileAction();
    void addBuddyAction();
    // The own status by menu tag.
    void changeStatusAction(int tag);
    // Display options.
    void setDisplayType(int type);
    void setBuddyStringType(const QString &type);
    void displayEmoticon();
    void expandAllItems();
    void closeAllItems();
    // Block, unblock, remove.
    void blockUnblockBuddyAction();
    void blockGroupAction();
    void unblockGroupAction();
    void removeBuddyAction();
    // The Delete key: as removeBuddyAction, except that a group selected in
    // display type 2 (whose buddies are every buddy of that state) is left alone.
    void deleteKeyAction();
    // Moves or copies the selected buddies into the group of that ID.
    void moveBuddyToGroup(const QString &groupID);
    void copyBuddyToGroup(const QString &groupID);

    // The confirm-once question: YES at once when its default is set,
    // otherwise the alert (OK, Cancel, a "don't show again" box).
    bool dontShowAgainAlert(const QString &title, const QString &text, const QString &defaultsKey);

private:
    void showOfflineAlert(const char *messageKey);
    void reloadIfCompleted(bool rebuild);
    QList<BuddyRemovalRow> removalRows() const;
    void runRemovalStep(const BuddyRemovalStep &step);
    void moveOrCopy(const QString &groupID, bool move);

    BuddyListDataSource &mList;
    BuddySession &mSession;
    BuddyActionsShell &mShell;
    ChatManagerInterface *mChat = nullptr;
    MemoWindowOpener *mMemos = nullptr;
};

} // namespace parley
