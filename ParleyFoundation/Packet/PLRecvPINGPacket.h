#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The server's keepalive probe: command and tid only.
class PLRecvPINGPacket : public PLRecvPacket
{
};

} // namespace parley
