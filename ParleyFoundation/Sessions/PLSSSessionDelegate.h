#pragma once

// What a switchboard session tells its owner: one call per room event. Every
// call is optional (the default does nothing). The first argument is always
// the session; the dictionaries carry the keys named beside each call.

#include <QVariantMap>

namespace parley {

class PLSSSession;

class PLSSSessionDelegate
{
public:
    virtual ~PLSSSessionDelegate() = default;

    // The option dictionary given to setActive(true, option).
    virtual void ssSessionActivated(PLSSSession *, const QVariantMap & /*option*/) {}
    virtual void ssSessionWillDisconnect(PLSSSession *) {}
    virtual void ssSessionDidDisconnect(PLSSSession *) {}
    virtual void ssSessionRemoteConnected(PLSSSession *) {}
    // The server closes the room (DSEL, or the connection ended by the server).
    virtual void ssSessionWillCloseReceived(PLSSSession *) {}
    // {"tid", "encodeType", "publicKey"}
    virtual void ssSessionNcptPublicKeyReceived(PLSSSession *, const QVariantMap &) {}
    // {"tid", "publicKey"}
    virtual void ssSessionPublicKeyReceived(PLSSSession *, const QVariantMap &) {}
    // {"velaID", "nickName", "name", "index", "count"}
    virtual void ssSessionUserReceived(PLSSSession *, const QVariantMap &) {}
    // {"velaID", "nickName", "name"}
    virtual void ssSessionJoinReceived(PLSSSession *, const QVariantMap &) {}
    // {"velaID"}
    virtual void ssSessionUserQuitReceived(PLSSSession *, const QVariantMap &) {}
    // {"velaID", "message"} for the next three
    virtual void ssSessionMessageReceived(PLSSSession *, const QVariantMap &) {}
    virtual void ssSessionAwayMessageReceived(PLSSSession *, const QVariantMap &) {}
    virtual void ssSessionInkMessageReceived(PLSSSession *, const QVariantMap &) {}
    // {"velaID", "flag"}
    virtual void ssSessionTypingInfoReceived(PLSSSession *, const QVariantMap &) {}
    // {"message", "type"}
    virtual void ssSessionSpshMsgReceived(PLSSSession *, const QVariantMap &) {}
    // {"userID", "animiconInfo"}
    virtual void ssSessionAnimiconReceived(PLSSSession *, const QVariantMap &) {}
    virtual void ssSessionAnimiconAck(PLSSSession *, const QVariantMap &) {}
    // {"fileInfos", "userID", "dpKey"}
    virtual void ssSessionRequestFileTransferReceived(PLSSSession *, const QVariantMap &) {}
    virtual void ssSessionNackFileTransferReceived(PLSSSession *, const QVariantMap &) {}
    // {"fileCookies", "userID", "dpKey"}
    virtual void ssSessionCancelFileTransferReceived(PLSSSession *, const QVariantMap &) {}
    // {"tid", "errCode", "errSubCode", "errMessage"}
    virtual void ssSessionErrorReceived(PLSSSession *, const QVariantMap &) {}
};

} // namespace parley
