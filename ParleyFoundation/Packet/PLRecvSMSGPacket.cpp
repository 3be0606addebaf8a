#include "PLRecvSMSGPacket.h"

namespace parley {

void PLRecvSMSGPacket::decodeFields()
{
    readField(QStringLiteral("fromID"), 2);
    readField(QStringLiteral("bodyLen"), 3);
}

} // namespace parley
