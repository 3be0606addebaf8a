#include "PLRecvLIN4Packet.h"

namespace parley {

void PLRecvLIN4Packet::decodeFields()
{
    // Field 2 carries nothing the client uses.
    readRawField(QStringLiteral("encType"), 3);
    readRawField(QStringLiteral("bodyLen"), 4);
}

} // namespace parley
