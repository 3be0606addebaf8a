#pragma once

#include "PLRecvPacket.h"

namespace parley {

// Authentication of a peer-to-peer or relay connection: a request naming both
// users and the transfer's cookies (more than five items), or the reply with a
// response code.
class PLRecvATHCPacket : public PLRecvPacket
{
public:
    enum Type { Request = 1, Reply = 2 };

    qint32 type() const { return mType; }
    QString fromID() const { return value(QStringLiteral("fromID")); }
    QString targetID() const { return value(QStringLiteral("targetID")); }
    QString p2pFRCookie() const { return value(QStringLiteral("p2pCookie")); }
    QString p2pFRAuthCookie() const { return value(QStringLiteral("p2pAuthCookie")); }
    QString responseCode() const { return value(QStringLiteral("responseCode")); }
    qint32 p2pNegoListenPort() const { return intValue(QStringLiteral("listenPort")); }

protected:
    void decodeFields() override;

private:
    qint32 mType = 0;
};

} // namespace parley
