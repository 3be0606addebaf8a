#pragma once

// A buddy was taken off a list: with tid "0" a change made elsewhere, an "RL"
// line (someone took the user off their list), or the answer to our own RMVB
// with the new group cache.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvRMVBPacket : public PLRecvPacket
{
public:
    enum PacketType : qint32 { Undecoded = 0, General = 1, ReverseList = 2, ServerChange = 3 };

    qint32 packetType() const { return mPacketType; }
    QString type() const { return value(QStringLiteral("type")); }
    QString fromCMN() const { return value(QStringLiteral("fromCMN")); }
    QString fromID() const { return value(QStringLiteral("fromID")); }
    QString groupCache() const { return value(QStringLiteral("groupCache")); }

protected:
    void decodeFields() override;

private:
    qint32 mPacketType = Undecoded;
};

} // namespace parley
