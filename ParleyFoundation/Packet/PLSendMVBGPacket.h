#pragma once

// Moves buddies between groups, many at once.

#include "PLMVBGBuddyData.h"
#include "PLSendBuddyBatchPacket.h"

namespace parley {

class PLSendMVBGPacket : public PLSendBuddyBatchPacket<PLMVBGBuddyData>
{
public:
    explicit PLSendMVBGPacket(qint32 tid = 0)
        : PLSendBuddyBatchPacket(QStringLiteral("MVBG"), tid)
    {
    }
};

} // namespace parley
