#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A notice this client ignores: consumed, never valid, so it reaches no
// handler.
class PLRecvIPRMPacket : public PLRecvPacket
{
protected:
    void decodeFields() override;
};

} // namespace parley
