#pragma once

// The answer to a move-between-groups batch; its group cache is kept as it came.

#include "PLRecvBuddyBatchPacket.h"

namespace parley {

class PLRecvMVBGPacket : public PLRecvBuddyBatchPacket
{
protected:
    bool unescapesGroupCache() const override { return false; }
};

} // namespace parley
