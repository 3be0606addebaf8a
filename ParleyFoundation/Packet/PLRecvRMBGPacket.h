#pragma once

// The answer to a remove-from-group batch.

#include "PLRecvBuddyBatchPacket.h"

namespace parley {

class PLRecvRMBGPacket : public PLRecvBuddyBatchPacket
{
};

} // namespace parley
