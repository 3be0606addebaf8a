#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The notification server's answer to RESS: the switchboard's address and the
// room key.
class PLRecvRESSPacket : public PLRecvPacket
{
public:
    QString IP() const { return value(QStringLiteral("ip")); }
    qint32 port() const { return intValue(QStringLiteral("port")); }
    QString key() const { return value(QStringLiteral("key")); }

protected:
    void decodeFields() override;
};

} // namespace parley
