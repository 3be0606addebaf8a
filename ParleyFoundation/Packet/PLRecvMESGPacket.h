#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A message in the room (packetType 2), or the switchboard's bare
// acknowledgement of one the client sent (packetType 1).
class PLRecvMESGPacket : public PLRecvPacket
{
public:
    enum PacketType { Acknowledgement = 1, Message = 2 };

    QString ID() const { return value(fieldNames(), kId); }
    QString type() const { return value(fieldNames(), kType); }
    QString msg() const { return value(fieldNames(), kMsg); }
    qint32 packetType() const { return mPacketType; }

    // A chat brings a line (or its acknowledgement) per message.
    bool isReusable() const override { return true; }

protected:
    void clearDecoded() override { mPacketType = 0; }
    void decodeFields() override;
    // A malformed message is dropped without a log line.
    void logParseError(const QString &) const override {}

private:
    // The names of fields 2 to 4, in order, made once.
    enum Field { kId, kType, kMsg };
    static const PLFieldNames &fieldNames();

    qint32 mPacketType = 0;
};

} // namespace parley
