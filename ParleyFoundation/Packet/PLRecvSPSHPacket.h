#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A warning or notice that the server pushes into the room.
class PLRecvSPSHPacket : public PLRecvPacket
{
public:
    enum PacketType { BankWarning = 1, HardWarning = 2, CustomMessage = 3 };

    QString msg() const { return value(QStringLiteral("msg")); }
    qint32 packetType() const { return mPacketType; }

protected:
    void decodeFields() override;
    // A short line is dropped without a log line.
    void logParseError(const QString &) const override {}

private:
    qint32 mPacketType = 0;
};

} // namespace parley
