#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A message in the room (packetType 2), or the switchboard's bare
// acknowledgement of one the client sent (packetType 1).
class PLRecvMESGPacket : public PLRecvPacket
{
public:
    enum PacketType { Acknowledgement = 1, Message = 2 };

    QString ID() const { return value(QStringLiteral("ID")); }
    QString type() const { return value(QStringLiteral("type")); }
    QString msg() const { return value(QStringLiteral("msg")); }
    qint32 packetType() const { return mPacketType; }

protected:
    void decodeFields() override;
    // A malformed message is dropped without a log line.
    void logParseError(const QString &) const override {}

private:
    qint32 mPacketType = 0;
};

} // namespace parley
