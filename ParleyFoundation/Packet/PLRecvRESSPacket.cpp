#include "PLRecvRESSPacket.h"

namespace parley {

void PLRecvRESSPacket::decodeFields()
{
    readField(QStringLiteral("ip"), 2);
    readField(QStringLiteral("port"), 3);
    readField(QStringLiteral("key"), 4);
}

} // namespace parley
