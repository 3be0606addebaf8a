#include "PLRecvREFRPacket.h"

#include "Log.h"

namespace parley {

void PLRecvREFRPacket::decodeFields()
{
    if (fieldCount() != 5) {
        plLogFalse(__FILE__, __LINE__);
        return markInvalid();
    }
    readRawField(QStringLiteral("REFRServerIP"), 2);
    readRawField(QStringLiteral("REFRPortNo"), 3);
    readRawField(QStringLiteral("REFRCookie"), 4);
}

} // namespace parley
