#pragma once

// The answer to a copy-to-group batch.

#include "PLRecvBuddyBatchPacket.h"

namespace parley {

class PLRecvCPBGPacket : public PLRecvBuddyBatchPacket
{
};

} // namespace parley
