#pragma once

// What a peer-to-peer session tells its manager, always on the main thread.
// The dictionaries carry the keys named beside each call.

#include <QVariantMap>

namespace parley {

class PLP2PSession;

class PLP2PSessionDelegate
{
public:
    virtual ~PLP2PSessionDelegate() = default;

    // The socket is open (outgoing and accepted sessions alike).
    virtual void p2pSessionConnected(PLP2PSession *) {}
    // The downloading side announced itself to a relay (FRIN): the buddy must
    // now be told to join.
    virtual void p2pSessionRelayAnnounced(PLP2PSession *, const QString & /*frCookie*/) {}
    // An ATHC request arrived: fromID, targetID, cookie, port.
    virtual void p2pSessionP2PInfoReceived(PLP2PSession *, const QVariantMap &) {}
    // The ATHC exchange finished: port, responseCode (or, after this side
    // answered a request, the request's dictionary).
    virtual void p2pSessionConnectCompleted(PLP2PSession *, const QVariantMap &) {}
    // FILE ACCEPT: cookie.
    virtual void p2pSessionFileAcceptReceived(PLP2PSession *, const QVariantMap &) {}
    // FILE INFO: fileName, fileSize.
    virtual void p2pSessionFileInfoReceived(PLP2PSession *, const QVariantMap &) {}
    // FILE END: fileCookie.
    virtual void p2pSessionFileEndReceived(PLP2PSession *, const QVariantMap &) {}
    // Every byte of the download arrived and the file is saved.
    virtual void p2pSessionFileReceiveCompleted(PLP2PSession *, const QString & /*fileCookie*/) {}
    // The transfer cannot go on (bad data from the peer, a file error, a
    // failed write); the session closes after this call.
    virtual void p2pSessionTransferFailed(PLP2PSession *, const QString & /*fileCookie*/) {}
    // The peer said what this connection does not take (an ATHC or FILE
    // line out of turn or for something else); the session closes after
    // this call.
    virtual void p2pSessionRefused(PLP2PSession *, const QString & /*why*/) {}
    // The connection closed or could not be made.
    virtual void p2pSessionDisconnected(PLP2PSession *) {}
};

} // namespace parley
