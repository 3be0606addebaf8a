#include "PLRecvFRINPacket.h"

#include "Log.h"

namespace parley {

void PLRecvFRINPacket::decodeFields()
{
    if (fieldCount() != 3) {
        plLogFalse(__FILE__, __LINE__);
        return markInvalid();
    }
    readRawField(QStringLiteral("FRINCode"), 2);
}

} // namespace parley
