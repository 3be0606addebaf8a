#include "PLRecvCRPTPacket.h"

namespace parley {

void PLRecvCRPTPacket::decodeFields()
{
    setValue(QStringLiteral("bodyLen"), lastField(2));
}

} // namespace parley
