#pragma once

// Copies buddies into groups, many at once.

#include "PLCPBGBuddyData.h"
#include "PLSendBuddyBatchPacket.h"

namespace parley {

class PLSendCPBGPacket : public PLSendBuddyBatchPacket<PLCPBGBuddyData>
{
public:
    explicit PLSendCPBGPacket(qint32 tid = 0)
        : PLSendBuddyBatchPacket(QStringLiteral("CPBG"), tid)
    {
    }
};

} // namespace parley
