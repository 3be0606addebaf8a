#pragma once

// Removes buddies from groups, many at once.

#include "PLRMBGBuddyData.h"
#include "PLSendBuddyBatchPacket.h"

namespace parley {

class PLSendRMBGPacket : public PLSendBuddyBatchPacket<PLRMBGBuddyData>
{
public:
    explicit PLSendRMBGPacket(qint32 tid = 0)
        : PLSendBuddyBatchPacket(QStringLiteral("RMBG"), tid)
    {
    }
};

} // namespace parley
