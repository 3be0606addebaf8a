#include "PLRecvNCPTPacket.h"

namespace parley {

void PLRecvNCPTPacket::decodeFields()
{
    if (fieldCount() == 5) {
        readField(QStringLiteral("range"), 2);
        readField(QStringLiteral("encodeType"), 3);
        readField(QStringLiteral("bodyLen"), 4);
    } else if (fieldCount() == 4) {
        readField(QStringLiteral("encodeType"), 2);
        readField(QStringLiteral("bodyLen"), 3);
    }
}

} // namespace parley
