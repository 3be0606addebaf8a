#include "PLRecvTOKNPacket.h"

namespace parley {

void PLRecvTOKNPacket::decodeFields()
{
    readRawField(QStringLiteral("encType"), 2);
    readRawField(QStringLiteral("bodyLen"), 3);
}

} // namespace parley
