#pragma once

// The notification server the login-dispatch server assigns.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvREQSPacket : public PLRecvPacket
{
public:
    QString serverName() const { return value(QStringLiteral("serverName")); }
    QString serverIP() const { return value(QStringLiteral("ip")); }
    qint32 serverPort() const { return intValue(QStringLiteral("port"), -1); }

protected:
    void decodeFields() override;
};

} // namespace parley
