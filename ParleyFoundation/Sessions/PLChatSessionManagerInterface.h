#pragma once

// What the sign-in asks of the chat-session manager: the user's proxy
// settings for the chat-room sessions it opens. The real manager implements it.

#include <QString>

namespace parley {

class PLChatSessionManagerInterface
{
public:
    virtual ~PLChatSessionManagerInterface() = default;
    virtual void setProxyMode(int mode, const QString &serverIP, int portNo) = 0;
};

} // namespace parley
