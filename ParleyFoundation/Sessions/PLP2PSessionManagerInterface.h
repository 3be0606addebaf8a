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
    virtual bool createConnectSession(const QVariantMap &info) = 0;
    virtual void reset() = 0;
    virtual QString myIP() = 0;
    virtual int p2pPortNo() = 0;
    virtual void setFileCookie(const QString &fileCookie, const QString &p2pCookie) = 0;
    virtual void setSender(bool isSender, const QString &p2pCookie) = 0;
};

} // namespace parley
