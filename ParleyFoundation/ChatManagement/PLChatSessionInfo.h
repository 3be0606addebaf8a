#pragma once

// One chat room: its switchboard session, the window that receives its
// events, and the other members now in it (keyed by login ID).

#include "Sessions/PLSSSession.h"

#include <QMap>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace parley {

class PLChatMessageProtocol;

class PLChatSessionInfo
{
public:
    PLChatSessionInfo() = default;

    PLSSSession *session() const { return mSession.get(); }
    void setSession(PLSSSession *session) { mSession.reset(session); }
    // Gives the session up (the caller disposes of it).
    PLSSSession *takeSession() { return mSession.release(); }
    // Not owned: the receiver detaches itself before it goes.
    PLChatMessageProtocol *receiver() const { return mReceiver; }
    void setReceiver(PLChatMessageProtocol *receiver) { mReceiver = receiver; }

    bool isConnected() const;
    // Needs "velaID" and "name"; false, changing nothing, for a member
    // already present.
    bool addUserInfo(const QVariantMap &record);
    bool removeUserInfoByUserID(const QString &velaID);
    QString userNameForID(const QString &velaID) const;
    QStringList userIDsInRoom() const { return mEnteredUserDict.keys(); }
    // The records in the order of userIDsInRoom().
    QVariantList userInfos() const;
    int userCount() const { return int(mEnteredUserDict.size()); }
    bool isAlone() const { return mEnteredUserDict.isEmpty(); }
    void removeAllUser() { mEnteredUserDict.clear(); }

private:
    struct SessionDisposer
    {
        void operator()(PLSSSession *session) const
        {
            if (session)
                session->disposeLater();
        }
    };
    std::unique_ptr<PLSSSession, SessionDisposer> mSession;
    PLChatMessageProtocol *mReceiver = nullptr;
    QMap<QString, QVariantMap> mEnteredUserDict;
};

} // namespace parley
