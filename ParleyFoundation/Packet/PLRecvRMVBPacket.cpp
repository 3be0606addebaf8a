#include "PLRecvRMVBPacket.h"

namespace parley {

void PLRecvRMVBPacket::decodeFields()
{
    const bool reverseList = field(2) == QLatin1String("RL");
    if (tidFieldIsZero() && !reverseList) {
        mPacketType = ServerChange;
        readRawFields(2, {QStringLiteral("type"), QStringLiteral("fromCMN"), QStringLiteral("fromID")});
    } else if (reverseList) {
        mPacketType = ReverseList;
        readField(QStringLiteral("type"), 2);
        readRawFields(3, {QStringLiteral("fromCMN"), QStringLiteral("fromID")});
    } else {
        mPacketType = General;
        readRawField(QStringLiteral("groupCache"), 2);
    }
}

} // namespace parley
