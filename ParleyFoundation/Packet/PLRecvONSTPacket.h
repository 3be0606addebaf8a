#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The reply to a status change: only its tid matters.
class PLRecvONSTPacket : public PLRecvPacket
{
};

} // namespace parley
