#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The server's negative acknowledgement: command and tid only.
class PLRecvPNAKPacket : public PLRecvPacket
{
};

} // namespace parley
