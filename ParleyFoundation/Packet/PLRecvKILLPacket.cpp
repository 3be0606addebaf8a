#include "PLRecvKILLPacket.h"

namespace parley {

void PLRecvKILLPacket::decodeFields()
{
    if (fieldCount() > 3) {
        mBrCode = field(2);
        mBrParams = field(3);
    }
}

} // namespace parley
