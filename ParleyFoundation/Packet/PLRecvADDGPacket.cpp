#include "PLRecvADDGPacket.h"

namespace parley {

void PLRecvADDGPacket::decodeFields()
{
    readRawField(QStringLiteral("newGroupCache"), 2);
    readRawField(QStringLiteral("groupID"), 3);
    if (tidFieldIsZero())
        readRawField(QStringLiteral("groupName"), 4);
}

} // namespace parley
