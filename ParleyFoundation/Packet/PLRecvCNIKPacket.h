#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The reply to a nickname change: only its tid matters.
class PLRecvCNIKPacket : public PLRecvPacket
{
};

} // namespace parley
