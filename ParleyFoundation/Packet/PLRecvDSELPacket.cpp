#include "PLRecvDSELPacket.h"

namespace parley {

void PLRecvDSELPacket::decodeFields()
{
    mBrCode = field(2);
}

} // namespace parley
