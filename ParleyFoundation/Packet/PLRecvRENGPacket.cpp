#include "PLRecvRENGPacket.h"

namespace parley {

void PLRecvRENGPacket::decodeFields()
{
    readRawField(QStringLiteral("newGroupCache"), 2);
    if (tidFieldIsZero()) {
        readRawField(QStringLiteral("groupID"), 3);
        readRawField(QStringLiteral("groupName"), 4);
    }
}

} // namespace parley
