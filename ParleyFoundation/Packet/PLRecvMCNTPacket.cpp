#include "PLRecvMCNTPacket.h"

#include "Utils/ParleyStringAdditions.h"

namespace parley {

void PLRecvMCNTPacket::decodeFields()
{
    mStatus = field(2);
    mCount = plIntValue(field(3));
}

} // namespace parley
