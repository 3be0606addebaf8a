#pragma once

// What the chat-session manager asks of the chat windows' manager.

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
};

} // namespace parley
