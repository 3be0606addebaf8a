#include "PLRecvCONFPacket.h"

namespace parley {

void PLRecvCONFPacket::decodeFields()
{
    readField(QStringLiteral("cache"), 2);
    // The length is the last field, but never the cache itself: a line that
    // ends at the cache announces no body, rather than one as long as its
    // version number.
    if (fieldCount() > 3)
        readRawField(QStringLiteral("msgLen"), fieldCount() - 1);
}

} // namespace parley
