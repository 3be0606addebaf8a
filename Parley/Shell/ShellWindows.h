#pragma once

// What the application controller calls of the windows and shell services
// that live in their own folders: the buddy list, the chat, memo and transfer
// windows, the buddy-request dialog, the own-status view, the tray, pop-up
// and desktop notices, the bridge page, the preferences window, the plug-in
// manager, the update check and the session list. Each is a small interface named after its class; the
// implementation registers itself once with ShellWindows::set...() (for
// example in its sharedManager() or by the program's assembly, ParleyProgram)
// and installs nullptr before it is destroyed. Until one is registered the
// controller talks to a stand-in that does nothing and answers "nothing
// there", and says so once in the log; tests register recording doubles.
//
// Everything here runs on the main thread. Registered objects are not owned.

#include "BuddyManagement/PLBuddy.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
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
    // How many lines arrived unseen.
    virtual int unviewedCount() { return 0; }
    // Hands the window's conversation log to the save queue; false when
    // there was nothing to save (no line yet, or no subject).
    virtual bool saveChatAction() { return false; }
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
    // The open chat window that was the active window last, or null.
    virtual ChatDocument *lastActiveChatDocument() { return nullptr; }
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
    // Called once the window was closed (answered, cancelled or closed by the shell).
    virtual void setClosedHandler(std::function<void()>) {}
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
    // Asks for the user's attention every 1.5 s while chats hold unread
    // messages (a message arrived); starts nothing when it runs already.
    virtual void dockIconBounce() {}
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

    // The other pages (they do nothing until the bridge page is registered).
    // A notice's page: `code` null and `hFlag` -1 take the service type's own.
    virtual void showBridgePageForSVC(const QString &, const QString &, int, const QString &) {}
    virtual void showVelaMsgBoxHelp() {}
    virtual void showVelaVelaComHome() {}
    virtual void showVelaOrchardHome() {}
    virtual void showParleyHome() {}
    virtual void showParleyFAQ() {}
    virtual void showParleyHottip() {}
    virtual void showParleyMininook() {}
    virtual void showParleyHelp() {}
    virtual void showConfirmMail() {}
    virtual void showVelaMemo() {}
    // A null ID opens the whole chat-log box.
    virtual void showVelaChat(const QString &) {}
    virtual void showVelaMail(bool) {}
    virtual void showVelaMainHomepage(bool) {}
    virtual void showOrchardMainHomepage(bool) {}
    virtual void showBuddyProfile(const PLBuddyPtr &) {}
    virtual void showProfile(const QString &) {}
    virtual void showMyProfile() {}
    virtual void showMyProfileSettings() {}
    virtual void showBuddyMininook(const PLBuddyPtr &) {}
    virtual void showMyMininook() {}
    // The buddy-list entries of the recipients (empty: none chosen).
    virtual void showVelaSMS(const QList<QVariantMap> &) {}
    // Where the form posts.
    virtual QString bridgePageUrl() { return {}; }
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
    // Brings the message pane or the notification pane forward.
    virtual void showMessagePane() {}
    virtual void showNotificationPane() {}
    // Brings forward the pane that links the portal ID.
    virtual void showVelaComPane() {}
    // Brings forward the general pane (the nickname) or the sister service's pane.
    virtual void showGeneralPane() {}
    virtual void showOrchardPane() {}
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

    // The entries ("id", "name", "description", "path", "version",
    // "autolaunch", "enableAutoLaunch"; while an update waits also
    // "needUpdate", "newVersion", "updateInfo"), in list order.
    virtual QList<QVariantMap> plugInList() { return {}; }
    // The entry, or an empty map.
    virtual QVariantMap pluginForID(const QString &) { return {}; }
    virtual QVariantMap pluginForName(const QString &) { return {}; }
    virtual bool isInstalledPlugIn(const QString &) { return false; }
    virtual bool isAutoLaunchPlugIn(const QString &) { return false; }
    virtual bool isEnableAutoLaunchPlugIn(const QString &) { return false; }
    virtual bool isNeedUpdatePlugIn(const QString &) { return false; }
    virtual bool isPlugInRunning(const QString &) { return false; }
    // Starts the plug-in's program; answers whether it runs.
    virtual bool plugInExecute(const QString &) { return false; }
    // Waits for the plug-in to end (the caller has told it to quit), then
    // posts "PlugInQuitNotification" {"id", "key"}.
    virtual void quitPlugin(const QString &, const QString &) {}
    virtual void setPluginNeedUpdate(const QString &, bool) {}
    virtual void setPluginAutoLaunch(const QString &, bool) {}
    virtual void setPluginEnableAutoLaunch(const QString &, bool) {}
    virtual void setPluginVersion(const QString &, const QString &) {}
    // Merges a record of the server's plug-in list.
    virtual void addPluginForUpdate(const QVariantMap &) {}
    // Deletes the plug-in's bundle (inside the plug-in folder only) and its entry.
    virtual void removePlugIn(const QString &) {}
};

// The version check of the messenger and its plug-ins.
class UpdateManager
{
public:
    virtual ~UpdateManager() = default;
    virtual void checkVersion() = 0;

    // From the messenger's version list (null until it arrived).
    virtual QString latestMainVersion() { return {}; }
    virtual QString mainDownloadURL() { return {}; }
    // Downloads and installs the plug-in's update in the background; answers
    // whether the download started.
    virtual bool updatePlugIn(const QString &, bool) { return false; }
    // The updater window of that plug-in; `execute`: open the plug-in afterwards.
    virtual void showPlugInUpdater(const QString &, bool) {}
};

// The list of the account's other logins.
class SessionManagerWindow
{
public:
    virtual ~SessionManagerWindow() = default;
    // The window exists (it is made by showWindow() and gone once closed).
    virtual bool isAvailable() = 0;
    virtual void showWindow() = 0;
    virtual void closeWindow() {}
    // Reads the status choice and the show-again box from the settings.
    virtual void loadSetting() = 0;
    virtual void removeAllList() = 0;
    // One other login; `typeName` is the localized "TypePC", "TypeMobile" or "TypeWeb".
    virtual void addList(const QString &sessionKey, const QString &mediaType, const QString &equipType,
                         const QString &langOS, const QString &displayName, const QString &typeName) = 0;
    virtual void reloadSessionList() = 0;
};

// One desktop notice (its click comes back as the context through
// AppController::growlNotificationWasClicked()).
struct DesktopNotice {
    QString title;
    QString description;
    QString notificationName; // one of AppController::growlNotificationNames()
    QString iconName;         // an image of the ImageRegistry
    int priority = 0;
    bool sticky = false;
    QVariantList clickContext;
};

// The desktop-notice backend.
class DesktopNotices
{
public:
    virtual ~DesktopNotices() = default;
    virtual void notify(const DesktopNotice &notice) = 0;
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
    static SessionManagerWindow &sessionManagerWindow();
    static DesktopNotices &desktopNotices();
    // A new buddy-request window (a stand-in that shows nothing until a
    // factory is registered).
    static std::unique_ptr<BuddyRequestController> makeBuddyRequestController();

    // Whether a real data source is registered (the controller shows the
    // buddy view itself when none is, so that a sign-in still completes).
    static bool hasBuddyListDataSource();
    static bool hasChatManager();
    // Whether a real one is registered (the controller installs its own
    // notices, tray and status view only where none is).
    static bool hasStatusView();
    static bool hasDockManager();
    static bool hasToasterManager();

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
    static void setSessionManagerWindow(SessionManagerWindow *window);
    static void setDesktopNotices(DesktopNotices *notices);
    using BuddyRequestFactory = std::unique_ptr<BuddyRequestController> (*)();
    static void setBuddyRequestFactory(BuddyRequestFactory factory);

    // The services nothing has installed (a stand-in answers for each), by
    // the name of their accessor; empty in the assembled program.
    static QStringList standIns();

    // Unregisters everything (tests).
    static void clear();
};

} // namespace parley::shell
