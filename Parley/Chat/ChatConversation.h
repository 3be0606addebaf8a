#pragma once

// The decisions of one chat window, without widgets: the room it talks to
// (its key, the buddy it waits for, the selected buddy), what the user sends
// and what arrives, the queue of messages that wait for a room, the away
// reply, joins, departures and the server's closing of the room, the title,
// the plain-text log with its subject, the absence banner and input lock,
// invitations and drops, and the files that wait for their receiver.
// ChatDocument binds it to its widgets (ChatConversationView) and to the
// services (ChatRoomServices).
//
// One class in three sources:
//   ChatConversation.cpp          the room, sending, receiving, joins, title, log
//   ChatConversation+Members.cpp  member lookups, banner, invitations, drops
//   ChatConversation+Files.cpp    file hand-off, file lines, saving, closing
//
// Texts: only our own localized texts are formats (ChatText::fill); peer
// text goes into the transcript escaped and into the log as it is.

#include "ChatConversationView.h"

#include "BuddyManagement/PLBuddy.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

namespace parley {

class ChatRoomServices;

class ChatConversation
{
public:
    ChatConversation(ChatRoomServices &services, ChatConversationView &view);

    // Opens the transcript: the notice that chats are not encrypted, when
    // the user's setting sends them in the clear.
    void start();

    // --- state
    const QString &sessionKey() const { return mSessionKey; }
    void setSessionKey(const QString &key) { mSessionKey = key; }
    const QString &lastBuddyID() const { return mLastBuddyID; }
    void setLastBuddyID(const QString &id) { mLastBuddyID = id; }
    const QString &selectedBuddyID() const { return mSelectedBuddyID; }
    void setSelectedBuddyID(const QString &id);
    bool isSessionDisconnected() const { return mIsSessionDisconnected; }
    // A room of ours is ready again (the manager attached this window to it).
    void setSessionDisconnected(bool flag);
    bool isExistNewMessage() const { return mIsExistNewMessage; }
    void setExistNewMessage(bool flag) { mIsExistNewMessage = flag; }
    int unviewedCount() const { return mUnviewedCount; }
    bool isJoined() const { return mIsJoined; }
    const QStringList &messageQueue() const { return mMessageQueue; }
    const QString &subject() const { return mSubject; }
    const QString &chatText() const { return mChatText; }
    const QString &title() const { return mTitle; }
    const ChatBanner &banner() const { return mBanner; }
    bool isChangedMyStatus() const { return mIsChangedMyStatus; }
    bool isFileTransferChat() const { return mIsFileTransferChat; }
    bool isWantUploadFileToLastUser() const { return mIsWantUploadFileToLastUser; }
    const QString &lastUserForUploadFile() const { return mLastUserForUploadFile; }
    const QStringList &uploadFilesForLastUser() const { return mUploadFilesForLastUser; }

    // --- the user
    // Sends the input: `text` with emoticon tokens (and, with an animicon,
    // its wire form in place of the picture), `animiconID` the four
    // characters of the input's animicon or null. False for an empty text:
    // nothing is sent, shown or cleared.
    bool send(const QString &text, const QString &animiconID = {}, const QString &animiconMessage = {});
    // The input changed; `isEmpty`: it holds nothing now.
    void textDidChange(bool isEmpty);
    // The window became key (`inputIsEmpty` as above) or stopped being key.
    void windowDidBecomeKey(bool inputIsEmpty);
    void windowDidResignKey();

    // --- the room's events (PLChatMessageProtocol)
    void messageReceived(const QVariantMap &info);
    void awayMessageReceived(const QVariantMap &info);
    void typingInfoReceived(const QVariantMap &info);
    void userJoined(const QVariantMap &info);
    void userQuited(const QVariantMap &info);
    void userInfoReceived(const QVariantMap &info);
    void ackAnimicon(const QVariantMap &info);
    void messagesUndelivered(const QVariantMap &info);

    // --- notifications the window hears
    void sessionWillClose(const QString &sessionKey);
    void buddyUpdated();
    void myStatusChanged();
    void buddyStringTypeChanged() { updateChatTitle(std::nullopt); }
    void memberListArrived() { mIsJoined = true; }

    // --- lines
    // One message with its name line; `fromID` null for the user's own.
    void addMessage(const QString &message, const QString &fromID, bool isMe, bool isAbsent);
    // A system line from one of our localized formats, its "%@" filled with
    // who the ID is (the buddy's display string, else the ID); without an
    // ID the format's text as it is.
    void addSystemMessage(const QString &format, const QString &velaID = {});
    // A system line of finished text.
    void addSystemText(const QString &text);
    // A warning of the server: HTML of its allowed tags.
    void addWarningMessage(const QString &html);
    // Sets the title from these IDs' display strings, or with nothing from
    // the room's members (none: the title stays).
    void updateChatTitle(const std::optional<QStringList> &buddyIDs);

    // --- members (ChatConversation+Members.cpp)
    // {"name", "velaID", "nickName"} of a buddy, else the room's record of
    // that member; empty when neither.
    QVariantMap buddyDictForID(const QString &velaID) const;
    QStringList buddyIDList() const;
    // 1 while the window waits for one buddy, else the members' count.
    int buddyCount() const;
    // {"blockedBuddies", "busyBuddies"}: the waited-for buddy, or the members.
    QVariantMap buddyStatusList() const;
    // Rebuilds the banner and the input lock from the current statuses.
    void updateAbsentBuddyStatusView();
    // The selected buddy moves to another member; only to a member or the
    // buddy this window waits for.
    bool selectBuddy(const QString &velaID);
    // The distinct IDs of a buddy drag, in order.
    static QStringList dragIDList(const QVariantList &entries);
    // Whether a buddy drag brings anybody new who is signed in.
    bool acceptsBuddies(const QStringList &buddyIDs) const;
    // Invites the chosen buddies (the invite panel, or a buddy drop).
    void buddyInvitePanelDidEnd(const QStringList &buddyIDs);
    void dropBuddies(const QStringList &buddyIDs);
    // Asks for a new room for this window with these buddies.
    void chatSessionReconnect(const QStringList &buddyIDs);
    // Whether every path names a regular file (links followed).
    static bool acceptsFiles(const QStringList &paths);

    // --- files, saving and closing (ChatConversation+Files.cpp)
    void setFileTransferChat(bool flag, const QStringList &files, const QString &receiver);
    // Runs the recorded transfer when it can; without files the file panel
    // opens shortly.
    void fileUploadingCheck();
    // Files dropped on the window.
    void dropFiles(const QStringList &paths);
    // Files chosen in the file panel (folders are refused with an alert).
    void sendFiles(const QStringList &paths);
    // A transfer line whose text is one of our localized formats (`formatKey`),
    // its "%@" filled with who `velaID` is.
    void addFileInfoMessage(const QString &formatKey, int fileType, const QString &velaID);
    // A transfer line of finished text.
    void addFileMessage(const QString &text, int fileType);
    // A file's own line (its name and size); a sound and a desktop notice
    // when the window is not key.
    void addFileInfo(const QString &text, int fileType);
    // The upload body of the log, or null when there is nothing to save.
    QString chatLogBody() const;
    // Hands the log to the manager's save buffer and to the message box;
    // false when there was nothing to save.
    bool saveChatMessages();
    // Whether the window may close, after the prompts; saves on the way out
    // as the user's setting says.
    bool windowShouldClose();

private:
    void sendQueue();
    void reopenWithSelectedBuddy();
    void inviteOrReconnect(const QStringList &buddyIDs);
    void addBuddyNameDisplayMessage(const QString &line);
    void addChatMessage(const QString &text, const QString &fontName, const QString &fontColor,
                        const QString &fontStyle);
    void addAnimiconMessage(const QString &message, const QString &fontName, const QString &fontColor,
                            const QString &fontStyle);
    void noteSubject(const QString &text);
    void showUnseenNotices(const QString &senderID, const QString &message, bool isAnimicon, const QString &now);
    void sendAwayReply();
    void afterMembersChanged();
    QString displayStringForMember(const QString &velaID) const;
    QString whoIs(const QString &velaID) const;
    QStringList invitees(const QStringList &chosen) const;
    void uploadToMembers(const QStringList &paths);

    ChatRoomServices &mServices;
    ChatConversationView &mView;

    QString mSessionKey;
    QString mLastBuddyID;
    QString mSelectedBuddyID;
    QStringList mMessageQueue;
    QString mSubject;
    bool mHasSubject = false;
    QString mChatText;
    QString mTitle;
    ChatBanner mBanner;
    bool mIsExistNewMessage = true;
    bool mIsChangedMyStatus = true;
    bool mIsSessionDisconnected = false;
    bool mIsJoined = false;
    // A new room was asked for and has not come yet: further messages wait
    // for it instead of asking again.
    bool mIsReopening = false;
    bool mIsFileTransferChat = false;
    QString mFileReceiver;
    QStringList mTransferFiles;
    bool mIsWantUploadFileToLastUser = false;
    QString mLastUserForUploadFile;
    QStringList mUploadFilesForLastUser;
    bool mIsSendTypingInfo = false;
    int mUnviewedCount = 0;
};

} // namespace parley
