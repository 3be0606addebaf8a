#pragma once

// The result of the login options; handlers read "result".

#include "PLRecvPacket.h"

namespace parley {

class PLRecvLOPTPacket : public PLRecvPacket
{
public:
protected:
    void decodeFields() override;
};

} // namespace parley
