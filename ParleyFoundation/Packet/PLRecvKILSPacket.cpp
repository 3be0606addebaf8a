#include "PLRecvKILSPacket.h"

namespace parley {

void PLRecvKILSPacket::decodeFields()
{
    mIs100 = field(2);
}

} // namespace parley
