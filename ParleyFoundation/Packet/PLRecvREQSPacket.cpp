#include "PLRecvREQSPacket.h"

namespace parley {

void PLRecvREQSPacket::decodeFields()
{
    readField(QStringLiteral("serverName"), 2);
    readField(QStringLiteral("ip"), 3);
    readField(QStringLiteral("port"), 4);
}

} // namespace parley
