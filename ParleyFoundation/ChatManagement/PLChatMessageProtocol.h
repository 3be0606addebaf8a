#pragma once

// The receiver of one chat room's events: the chat window that shows the room
// attaches itself through PLChatSessionManager::setMessageReceiver. Every call
// comes on the main thread with one dictionary.

#include <QVariantMap>

namespace parley {

class PLChatMessageProtocol
{
public:
    virtual ~PLChatMessageProtocol() = default;

    // {"velaID", "message", "sessionKey"}; handwriting {"activateType" =
    // "inkMessage", "message", "sessionKey", "senderID"}; server warnings
    // {"activateType" = "spshMessage", "message", "sessionKey"}.
    virtual void messageReceived(const QVariantMap &info) = 0;
    // {"velaID", "message", "sessionKey"}
    virtual void awayMessageReceived(const QVariantMap &info) = 0;
    // {"velaID", "flag", "sessionKey"}
    virtual void typingInfoReceived(const QVariantMap &info) = 0;
    // {"sessionKey", "userID", "animiconInfo"}
    virtual void animiconReceived(const QVariantMap &info) = 0;
    // One member-list record {"velaID", "nickName", "name", "index", "count"}.
    virtual void userInfoReceived(const QVariantMap &info) = 0;
    // {"velaID", "nickName", "name"}
    virtual void userJoined(const QVariantMap &info) = 0;
    // {"velaID", "isLast", "sessionKey"}
    virtual void userQuited(const QVariantMap &info) = 0;
    // {"sessionKey", "userID", "message"}
    virtual void ackAnimicon(const QVariantMap &info) = 0;
    // Messages the room never sent because it closed while the user was alone
    // in it: {"sessionKey", "messages" = [{"message", "absence"}, ...]}, oldest
    // first.
    virtual void messagesUndelivered(const QVariantMap &info) = 0;
};

} // namespace parley
