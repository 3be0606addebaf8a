#pragma once

// A buddy was put on a list. The word in field 2 picks the form: with tid "0"
// the server reports a change made elsewhere (an "RL" line: someone put the
// user on their list, with a message), otherwise it answers our own ADDB.
// A line too short for its form fails to parse and stays invalid.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvADDBPacket : public PLRecvPacket
{
public:
    enum PacketType : qint32 {
        Undecoded = 0,
        General = 1,
        ForwardList = 2,
        AllowList = 3,
        ReverseList = 4,
        BlockList = 5
    };

    qint32 packetType() const { return mPacketType; }
    QString type() const { return value(QStringLiteral("type")); }
    QString fromCMN() const { return value(QStringLiteral("fromCMN")); }
    QString fromID() const { return value(QStringLiteral("fromID")); }
    QString groupCache() const { return value(QStringLiteral("groupCache")); }
    QString groupID() const { return value(QStringLiteral("groupID")); }
    QString name() const { return value(QStringLiteral("name")); }
    QString msg() const { return value(QStringLiteral("msg")); }
    QString targetCMN() const { return value(QStringLiteral("targetCMN")); }
    const QString &nick() const { return mNick; }
    const QString &areaCode() const { return mAreaCode; }

protected:
    void decodeFields() override;

private:
    void readForwardList();

    qint32 mPacketType = Undecoded;
    QString mNick;
    QString mAreaCode;
};

} // namespace parley
