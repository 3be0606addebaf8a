#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The server's positive acknowledgement: command and tid only.
class PLRecvPACKPacket : public PLRecvPacket
{
};

} // namespace parley
