#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The relay's answer: it now carries the connection on to the real server.
class PLRecvRCONPacket : public PLRecvPacket
{
};

} // namespace parley
