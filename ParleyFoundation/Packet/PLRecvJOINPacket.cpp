#include "PLRecvJOINPacket.h"

namespace parley {

void PLRecvJOINPacket::decodeFields()
{
    readField(QStringLiteral("id"), 2);
    readField(QStringLiteral("nickName"), 3);
    readField(QStringLiteral("name"), 4);
    if (fieldCount() == 7) {
        readField(QStringLiteral("pver"), 5);
        readField(QStringLiteral("deviceType"), 6);
    }
}

} // namespace parley
