#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A connection-negotiation command. It has no tid: its sub-command stands in
// field 1, so tID() is that word's integer value (normally 0).
class PLRecvPTPCPacket : public PLRecvPacket
{
public:
    QString subCommand() const { return value(QStringLiteral("subComm")); }
    QString ID() const { return value(QStringLiteral("ID")); }
    QString IP() const { return value(QStringLiteral("IP")); }
    qint32 listenPort() const { return intValue(QStringLiteral("listenPort")); }
    QString p2pCookie() const { return value(QStringLiteral("p2pCookie")); }

protected:
    void decodeFields() override;
};

} // namespace parley
