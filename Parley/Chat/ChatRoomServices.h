#pragma once

// What a chat conversation (ChatConversation) asks of the world around its
// window: the room at the chat-session manager, the account's invitations,
// the chat-window manager, the transfer manager, the animicon catalogue, the
// notices of an unseen message, the log's two destinations and the clock.
// ChatDocument answers with the real services; tests record the calls.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

namespace parley {

class ChatRoomServices
{
public:
    virtual ~ChatRoomServices() = default;

    // The room.
    virtual bool isValidSessionKey(const QString &sessionKey) = 0;
    // The member records {"velaID", "name", "nickName", ...} in room order.
    virtual QVariantList userInfosInSession(const QString &sessionKey) = 0;
    virtual void sendMessage(const QString &message, const QString &sessionKey) = 0;
    virtual void leaveMessage(const QString &message, const QString &sessionKey) = 0;
    virtual void sendTypingInfo(bool typing, const QString &sessionKey) = 0;
    virtual void sendAnimicon(const QString &animiconMessage, const QString &sessionKey) = 0;
    // Forgets the room's members (the server closed it).
    virtual void removeAllUser(const QString &sessionKey) = 0;
    virtual void inviteBuddies(const QStringList &buddyIDs, const QString &sessionKey) = 0;
    // Asks the chat-window manager for a new room for this window with these
    // buddies; it re-keys the window. False when no room could be asked for.
    virtual bool reopenRoom(const QStringList &buddyIDs, const QString &sessionKey) = 0;
    // Offers the files to that member of the room.
    virtual void uploadFiles(const QStringList &paths, const QString &userID, const QString &sessionKey) = 0;

    // The chat manager's text settings: the font name and the colour string.
    virtual QString fontName() = 0;
    virtual QString fontColorString() = 0;

    // Animicons: the decoded wire form of a message ("animiconUrl",
    // "animiconName", "categoryID", "animiconID"), nothing when it does not
    // decode; the play page of an item, null when unknown.
    virtual std::optional<QVariantMap> animiconInfo(const QString &message) = 0;
    virtual QString animiconUrl(const QString &categoryID, const QString &animiconID) = 0;

    // An unseen message: the window joins the manager's unread list, the
    // tray asks for attention or redraws its badge, a sound plays, a
    // desktop notice shows (its click context names the chat).
    virtual void addNewMessageChat() = 0;
    virtual void dockIconBounce() = 0;
    virtual void dockIconUpdate() = 0;
    virtual void playChatSound() = 0;
    virtual void playTransferSound() = 0;
    virtual void desktopNotice(const QString &title, const QString &description, const QString &iconName,
                               const QVariantList &clickContext) = 0;

    // A saved log: the upload body for the manager's save buffer, and the
    // message box's record.
    virtual void addSaveBuffer(const QString &body) = 0;
    virtual void postSaveChatDocument(const QVariantMap &record) = 0;

    virtual QDateTime now() = 0;
};

} // namespace parley
