#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The answer to the client's keepalive: command and tid only.
class PLRecvPONGPacket : public PLRecvPacket
{
};

} // namespace parley
