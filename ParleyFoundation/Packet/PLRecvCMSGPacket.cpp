#include "PLRecvCMSGPacket.h"

namespace parley {

void PLRecvCMSGPacket::decodeFields()
{
    readField(QStringLiteral("fromID"), 2);
    setValue(QStringLiteral("bodyLen"), lastField(3));
}

} // namespace parley
