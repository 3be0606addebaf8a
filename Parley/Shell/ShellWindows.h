#pragma once

// What the application controller calls of the windows and shell services
// that live in their own folders: the buddy list, the chat, memo and transfer
// windows, the buddy-request dialog, the own-status view, the tray, pop-up
// notices, the bridge page, the preferences window, the plug-in manager and
// the update check. Each is a small interface named after its class; the
// implementation registers itself once with ShellWindows::set...() (for
// example in its sharedManager() or at start-up in main.cpp) and installs
// nullptr before it is destroyed. Until one is registered the controller
// talks to a stand-in that does nothing and answers "nothing there"; tests
// register recording doubles.
//
// Everything here runs on the main thread. Registered objects are not owned.

#include "BuddyManagement/PLBuddy.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class QMenu;
class QWidget;

namespace parley::shell {

// The buddy outline's data source. When the buddy list has arrived after a
// sign-in it calls AppController::sharedController()->buddyDataReceived().
class BuddyListDataSource
{
public:
    virtual ~BuddyListDataSource() = default;
    // Reloads the outline; with `rebuild` the rows are built anew.
    virtual void reloadBuddyData(bool rebuild) = 0;
    virtual void setIsLoginCompleted(bool completed) = 0;
    virtual void expandAllItems(bool expand) = 0;
};

// The buddy-list view model.
class BuddyListManager
{
public:
    virtual ~BuddyListManager() = default;
    // The buddy record of a row's entry, or null.
    virtual PLBuddyPtr buddyForBuddyDict(const QVariantMap &entry) = 0;
    // The list's display type; 0 is the plain list.
    virtual int buddyListType() = 0;
    // The buddy statuses sent to plug-ins: login ID -> status number.
    virtual QVariantMap allBuddyList() = 0;
    // Forgets the remembered position of the sister-service button.
    virtual void clearOrButtonX() = 0;
};

// One chat window.
class ChatDocument
{
public:
    virtual ~ChatDocument() = default;
    virtual void showWindow() = 0;
    virtual QWidget *window() = 0;
    // The window holds messages the user has not seen.
    virtual bool isExistNewMessage() = 0;
};

// The chat windows' manager.
class ChatManager
{
public:
    virtual ~ChatManager() = default;
    // The open chat window whose members are exactly these IDs, or null.
    virtual ChatDocument *chatDocumentForBuddyIDs(const QStringList &buddyIDs) = 0;
    // The plain transcript of the room's window; null when there is none.
    virtual QString getChatText(const QString &sessionKey) = 0;
    virtual void closeChatRoom(const QString &sessionKey) = 0;
    // Posts "ParleySaveChatMessage" with the oldest chat log waiting to be saved.
    virtual void saveChatMessages() = 0;
    virtual QList<ChatDocument *> visibleChatDocumentList() = 0;
    virtual QList<ChatDocument *> chatDocumentList() = 0;
    virtual void closeAllChatDocuments() = 0;
    // Brings the chat that holds unread messages forward.
    virtual void activeNewMessageChatRoom() = 0;
    // Opens (or brings forward) the chat with these buddies; null when none is available.
    virtual ChatDocument *openChatRoom(const QStringList &buddyIDs) = 0;
    // Forgets every room (sign-out).
    virtual void reset() = 0;
};

// The memo windows' manager.
class MessageWindowManager
{
public:
    virtual ~MessageWindowManager() = default;
    // Opens a received-memo window for the memo's details ("cookie" and the
    // rest of a memo notice), unless one is open for that cookie.
    virtual void createReceiveMessageWindowWithInfo(const QVariantMap &memoInfo) = 0;
    // Remembers a memo cookie under a transaction number (decimal text).
    virtual void setCookie(const QString &cookie, const QString &tid) = 0;
};

// The one file-transfer window.
class TransferController
{
public:
    virtual ~TransferController() = default;
    virtual void showWindow() = 0;
    virtual void reset() = 0;
};

// One buddy-request window; the controller keeps it under the requester's CMN.
class BuddyRequestController
{
public:
    virtual ~BuddyRequestController() = default;
    virtual void showBuddyRequestWindow(const QString &requesterID, const QString &fromCMN,
                                        const QString &requestMessage) = 0;
    virtual void close() = 0;
};

// The own-status view of the buddy view. Both setters post "KCChangeStatus"
// with the new title as the notification's "title".
class KCStatusView
{
public:
    virtual ~KCStatusView() = default;
    virtual QString title() = 0;
    virtual void setTitle(const QString &title) = 0;
    virtual void setTitle(const QString &title, bool isSelected) = 0;
    // The shown title was picked by the user (not set by the program).
    virtual bool isUserSelected() = 0;
    virtual QMenu *menu() = 0;
};

// The emoticon catalogue of animated emoticons.
class AnimiconManager
{
public:
    virtual ~AnimiconManager() = default;
    virtual void updateAnimicon() = 0;
};

// The tray icon, its badge and menu.
class DockManager
{
public:
    virtual ~DockManager() = default;
    // A new menu of the open chats (the caller owns it); null: none.
    virtual QMenu *dockMenu() = 0;
    // Redraws the icon with or without the unread badge.
    virtual void dockIconUpdate() = 0;
};

// Pop-up notices.
class ToasterManager
{
public:
    virtual ~ToasterManager() = default;
    virtual void showToasterWindow(const QString &type, const QString &buddyString, const QString &text,
                                   QWidget *popWindow, const QString &url, const QVariantMap &userInfo) = 0;
    // The count notices: "MEMOCNT" or "MAIL" with {"count"}.
    virtual void showToasterWindow(const QString &type, const QVariantMap &userInfo) = 0;
    // Whether a shown notice owns that window.
    virtual bool isToastWindow(const QWidget *window) = 0;
    // Closes every notice.
    virtual void reset() = 0;
};

// The portal's pages, opened signed in through the bridge form.
class BridgePage
{
public:
    virtual ~BridgePage() = default;
    // A null param or returnURL leaves that field out; hFlag -1 means none.
    virtual void bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag) = 0;
    virtual void removeBridgeFile() = 0;
    virtual void showCertFAQ() = 0;
    // The join and find-ID pages; `isVela`: the chosen domain is the portal's.
    virtual void showVelaJoin(bool isVela) = 0;
    virtual void showVelaFindID(bool isVela) = 0;
};

// The preferences window.
class PrefsController
{
public:
    virtual ~PrefsController() = default;
    virtual void showWindow() = 0;
    // The window is open now.
    virtual bool isWindowVisible() = 0;
    virtual void close() = 0;
    // The full ID of the account whose settings the window shows.
    virtual void setUserID(const QString &userID) = 0;
    // Reloads every pane from the stored settings.
    virtual void readPreferences() = 0;
};

// The plug-ins installed in the support folder.
class PlugInManager
{
public:
    virtual ~PlugInManager() = default;
    // Adds the plug-ins of a plugin.plist to the list.
    virtual void loadPlugInFromLocal(const QString &plistPath) = 0;
    // Forgets run-time state (sign-out).
    virtual void reset() = 0;
};

// The version check of the messenger and its plug-ins.
class UpdateManager
{
public:
    virtual ~UpdateManager() = default;
    virtual void checkVersion() = 0;
};

// The registry. Each accessor answers the registered object, or a stand-in
// that does nothing.
class ShellWindows
{
public:
    ShellWindows() = delete;

    static BuddyListDataSource &buddyListDataSource();
    static BuddyListManager &buddyListManager();
    static ChatManager &chatManager();
    static MessageWindowManager &messageWindowManager();
    static TransferController &transferController();
    static KCStatusView &statusView();
    static AnimiconManager &animiconManager();
    static DockManager &dockManager();
    static ToasterManager &toasterManager();
    static BridgePage &bridgePage();
    static PrefsController &prefsController();
    static PlugInManager &plugInManager();
    static UpdateManager &updateManager();
    // A new buddy-request window (a stand-in that shows nothing until a
    // factory is registered).
    static std::unique_ptr<BuddyRequestController> makeBuddyRequestController();

    // Whether a real data source is registered (the controller shows the
    // buddy view itself when none is, so that a sign-in still completes).
    static bool hasBuddyListDataSource();

    static void setBuddyListDataSource(BuddyListDataSource *dataSource);
    static void setBuddyListManager(BuddyListManager *manager);
    static void setChatManager(ChatManager *manager);
    static void setMessageWindowManager(MessageWindowManager *manager);
    static void setTransferController(TransferController *controller);
    static void setStatusView(KCStatusView *view);
    static void setAnimiconManager(AnimiconManager *manager);
    static void setDockManager(DockManager *manager);
    static void setToasterManager(ToasterManager *manager);
    static void setBridgePage(BridgePage *page);
    static void setPrefsController(PrefsController *controller);
    static void setPlugInManager(PlugInManager *manager);
    static void setUpdateManager(UpdateManager *manager);
    using BuddyRequestFactory = std::unique_ptr<BuddyRequestController> (*)();
    static void setBuddyRequestFactory(BuddyRequestFactory factory);

    // Unregisters everything (tests).
    static void clear();
};

} // namespace parley::shell
