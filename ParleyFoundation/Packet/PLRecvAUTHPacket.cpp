#include "PLRecvAUTHPacket.h"

namespace parley {

void PLRecvAUTHPacket::decodeFields()
{
    readField(QStringLiteral("authType"), 2);
}

} // namespace parley
