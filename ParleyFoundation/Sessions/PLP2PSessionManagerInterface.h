#pragma once

// What the sign-in asks of the peer-to-peer session manager: the own address
// that peers are to connect to. The real manager implements it.

#include <QString>
#include <QVariantMap>

namespace parley {

class PLP2PSessionManagerInterface
{
public:
    virtual ~PLP2PSessionManagerInterface() = default;
    virtual void setMyIP(const QString &ip) = 0;
    // The account session's use: peer sessions, the own address and port.
    // A connection a peer asked for names its request under "subCmd" ("NEW",
    // "RES" or "FR"): it is made only when this client's own records of
    // offers and files justify it (false otherwise, and nothing is made).
    virtual bool createConnectSession(const QVariantMap &info) = 0;
    virtual void reset() = 0;
    virtual QString myIP() = 0;
    virtual int p2pPortNo() = 0;
    virtual void setFileCookie(const QString &fileCookie, const QString &p2pCookie) = 0;
    virtual void setSender(bool isSender, const QString &p2pCookie) = 0;
    // This client offered `peerID` a connection for its download of the
    // file (REQC NEW with the P2P cookie): a receiving side, and the record
    // the peer's connections and answer are checked against.
    virtual void connectOfferSent(const QString &p2pCookie, const QString &fileCookie, const QString &myID,
                                  const QString &peerID) = 0;
};

} // namespace parley
