#include "PLRecvLOPTPacket.h"

namespace parley {

void PLRecvLOPTPacket::decodeFields()
{
    readField(QStringLiteral("result"), 2);
}

} // namespace parley
