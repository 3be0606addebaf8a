#include "PLRecvRMVGPacket.h"

namespace parley {

void PLRecvRMVGPacket::decodeFields()
{
    readRawField(QStringLiteral("newGroupCache"), 2);
    if (tidFieldIsZero())
        readRawField(QStringLiteral("groupID"), 3);
}

} // namespace parley
