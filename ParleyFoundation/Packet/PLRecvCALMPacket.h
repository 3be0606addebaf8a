#pragma once

#include "PLRecvALRMPacket.h"

namespace parley {

// The sister service's alarm notice, shaped exactly like ALRM.
class PLRecvCALMPacket : public PLRecvALRMPacket
{
};

} // namespace parley
