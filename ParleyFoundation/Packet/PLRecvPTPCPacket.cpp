#include "PLRecvPTPCPacket.h"

namespace parley {

void PLRecvPTPCPacket::decodeFields()
{
    readField(QStringLiteral("subComm"), 1);
    readField(QStringLiteral("ID"), 2);
    readField(QStringLiteral("IP"), 3);
    readField(QStringLiteral("listenPort"), 4);
    readField(QStringLiteral("p2pCookie"), 5);
}

} // namespace parley
