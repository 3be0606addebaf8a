#include "PLRecvMLSTPacket.h"

#include "Utils/ParleyStringAdditions.h"

namespace parley {

void PLRecvMLSTPacket::decodeFields()
{
    mTarget = field(2);
    mCount = plIntValue(field(3));
    mBodyLength = plIntValue(lastField(4));
}

} // namespace parley
