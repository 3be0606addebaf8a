#pragma once

// What the chat-session manager and the buddy list ask of the chat windows'
// manager.

#include <QString>
#include <QStringList>

namespace parley {

class ChatManagerInterface
{
public:
    virtual ~ChatManagerInterface() = default;
    // Whether a chat window shows exactly these members.
    virtual bool chatDocumentForBuddyIDs(const QStringList &buddyIDs) = 0;
    // The plain transcript of the room's window; null when there is none.
    virtual QString getChatText(const QString &sessionKey) = 0;
    // Opens the chat window with these buddies, or brings the open one forward.
    virtual void openChatRoom(const QStringList &buddyIDs) = 0;
    // Opens a chat with these buddies that offers `toUser` the files; with no
    // files the chat window asks for them.
    virtual void openChatRoomWithFileTransfer(const QStringList &buddyIDs, const QStringList &files,
                                              const QString &toUser) = 0;
};

} // namespace parley
