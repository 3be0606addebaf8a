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
    // The account session's use: forget every room; a room's server address.
    virtual void reset() = 0;
    virtual QString ipForSession(const QString &sessionKey) = 0;
    virtual int portForSession(const QString &sessionKey) = 0;
};

} // namespace parley
