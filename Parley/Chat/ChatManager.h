#pragma once

// The owner of the open chat windows. It opens a window when the user starts
// a chat, attaches a window to every room the chat-session manager
// activates, finds windows by room key or by buddies, places new windows,
// closes them, keeps the chat text colour, and paces the upload of saved chat
// logs (one every two seconds). It is the shell's chat manager, the core's
// (coreInterface()) and the transfer window's way into the chat windows.
//
// Windows are held as QPointer under their room key, in the order they were
// entered; a window whose room is being set up stands under a provisional
// identifier until "ParleyChatSessionCreated" names the real key.
//
// One instance for the application (main.cpp makes it); everything runs on
// the main thread.

#include "ChatDocument.h"

#include "Shell/ShellWindows.h"
#include "Transfer/TransferChatLines.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QTimer>
#include <QVariantList>

#include <functional>
#include <memory>

class QColorDialog;

namespace parley {

namespace shell {
class UrlOpener;
}

class ChatManagerInterface;
class DistributedNotificationCenter;
class NotificationCenter;
class PLChatSessionManager;

class ChatManager final : public QObject, public shell::ChatManager, public TransferChatLines
{
    Q_OBJECT
public:
    // What the windows ask of the signed-in account (its session facade).
    struct Account
    {
        // A room with these buddies; true with the room's provisional
        // identifier in `uuid`, false when it could not be asked for.
        std::function<bool(const QStringList &buddyIDs, QString *uuid)> createRoom;
        // Invites these buddies into the room.
        std::function<bool(const QStringList &buddyIDs, const QString &sessionKey)> invite;
        // Offers files to a member of the room (the transfer manager).
        std::function<bool(const QStringList &paths, const QString &userID, const QString &sessionKey)> upload;
    };
    // The account of the application controller's facade.
    static Account facadeAccount();
    // Opens the invite panel over `parent`; the chosen IDs go to `done`.
    using InvitePanel = std::function<void(QWidget *parent, std::function<void(QStringList)> done)>;

    // The live manager, or null.
    static ChatManager *sharedManager();

    ChatManager(PLChatSessionManager &rooms, NotificationCenter &center, Account account,
                QObject *parent = nullptr);
    ~ChatManager() override;

    // What the chat-session manager and the buddy list ask of the windows.
    ChatManagerInterface &coreInterface();
    // Hears "PLConversationWindow" from other processes on `center`.
    void listenForConversationRequests(DistributedNotificationCenter &center);
    void setInvitePanel(InvitePanel panel) { mInvitePanel = std::move(panel); }
    void openInvitePanel(QWidget *parent, std::function<void(QStringList)> done);
    // Where saved chat records go to the message box (the session bus's
    // center when none is set).
    void setPlugInCenter(DistributedNotificationCenter *center) { mPlugInCenter = center; }
    void postSaveChatDocument(const QVariantMap &record);
    void uploadFiles(const QStringList &paths, const QString &userID, const QString &sessionKey);
    // Where the windows' links open (the desktop's browser when none is set).
    void setUrlOpener(shell::UrlOpener *opener) { mUrlOpener = opener; }
    shell::UrlOpener &urlOpener();
    // The room services every window uses.
    PLChatSessionManager &rooms() { return mRooms; }
    NotificationCenter &center() { return mCenter; }
    const Account &account() const { return mAccount; }

    // --- windows
    // Finds or opens the window for these buddies; null when none of them can
    // chat (unknown, offline or blocked) or no room could be asked for.
    ChatDocument *openChatRoom(const QStringList &buddyIDs) override;
    ChatDocument *openChatRoomWithFileTransfer(const QStringList &buddyIDs, const QStringList &files,
                                               const QString &toUser);
    // Asks a new room for a window whose room is gone and re-keys it; false
    // when none could be asked for.
    bool openChatRoomWithDoc(ChatDocument *document, const QStringList &buddyIDs, const QString &sessionKey);
    ChatDocument *chatDocumentForSessionKey(const QString &sessionKey) const;
    // The first window whose members are these IDs in this order, or whose
    // awaited buddy is the first of them.
    ChatDocument *chatDocumentForBuddyIDs(const QStringList &buddyIDs) override;
    ChatDocument *chatDocumentForBuddyDicts(const QVariantList &members);
    // The first window whose members are exactly these IDs.
    ChatDocument *chatDocumentForMembers(const QStringList &buddyIDs) const;
    QList<shell::ChatDocument *> chatDocumentList() override;
    QList<shell::ChatDocument *> visibleChatDocumentList() override;
    // A window tells when it becomes the active window.
    void chatDocumentBecameActive(ChatDocument *document) { mLastActive = document; }
    ChatDocument *lastActiveChatDocument() override;
    QList<ChatDocument *> documents() const;
    QStringList sessionKeys() const;
    void closeChatRoom(const QString &sessionKey) override;
    void closeAllChatDocuments() override;
    void addNewMessageChat(ChatDocument *document);
    void activeNewMessageChatRoom() override;
    QString getChatText(const QString &sessionKey) override;
    void reset() override;
    // Where the next new window goes, in Qt's screen coordinates.
    QRect newWindowFrame() const;
    static bool isExistAvailableBuddy(const QStringList &buddyIDs);

    // --- the room events that reach the manager
    void chatSessionCreated(const QVariantMap &userInfo);
    void chatSessionActivated(const QVariantMap &userInfo);
    // "PLConversationWindow": a buddy's ID opens its chat; none opens the
    // invite panel; anything else is refused.
    void conversationWindowRequested(const QString &object);

    // --- chat text colour and face
    static QColor fontColor();
    static void setFontColor(const QColor &color);
    // The colour as the decimal of blue, green and red bytes (red lowest).
    static QString fontColorString();
    static QString colorString(const QColor &color);
    static QString fontName();
    void showColorPanel();

    // --- the chat logs to upload
    void addSaveBuffer(const QString &body);
    void saveChatMessages() override;
    int pendingSaves() const { return int(mSaveChatMessageBuffer.size()); }
    void setSaveInterval(int milliseconds) { mSaveTimer.setInterval(milliseconds); }

    // --- TransferChatLines
    void addFileInfoMessage(const QString &sessionKey, const QString &formatKey, int kind,
                            const QString &buddyID) override;
    void addFileMessage(const QString &sessionKey, const QString &text, int kind) override;
    void addFileInfo(const QString &sessionKey, const QString &text, int kind) override;

    static constexpr char kWindowFrameKey[] = "ChatDocumentWindowFrame";

private:
    struct Entry
    {
        QString key;
        QPointer<ChatDocument> document;
    };
    ChatDocument *makeDocument();
    void enter(const QString &key, ChatDocument *document);
    void removeKey(const QString &key);
    void removeDocument(const ChatDocument *document);
    void prune();
    void attach(ChatDocument *document, const QString &sessionKey);
    void showFirstNotice(ChatDocument *document, const QString &type, const QString &senderID,
                         const QVariantMap &userInfo);

    PLChatSessionManager &mRooms;
    NotificationCenter &mCenter;
    Account mAccount;
    InvitePanel mInvitePanel;
    QList<Entry> mChatDict;
    QList<QPointer<ChatDocument>> mNewChatList;
    QStringList mSaveChatMessageBuffer;
    QTimer mSaveTimer;
    QList<quint64> mObservers;
    QPointer<QColorDialog> mColorPanel;
    DistributedNotificationCenter *mPlugInCenter = nullptr;
    shell::UrlOpener *mUrlOpener = nullptr;
    QPointer<ChatDocument> mLastActive;
    std::unique_ptr<ChatManagerInterface> mCore;
};

} // namespace parley
