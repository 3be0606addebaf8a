#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The switchboard accepted the client into the room; no fields.
class PLRecvENTRPacket : public PLRecvPacket
{
};

} // namespace parley
