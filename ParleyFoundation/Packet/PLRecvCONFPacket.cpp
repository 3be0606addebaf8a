#include "PLRecvCONFPacket.h"

namespace parley {

void PLRecvCONFPacket::decodeFields()
{
    readField(QStringLiteral("cache"), 2);
    readRawField(QStringLiteral("msgLen"), fieldCount() - 1);
}

} // namespace parley
