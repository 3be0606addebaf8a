#include "PLRecvESSKPacket.h"

namespace parley {

void PLRecvESSKPacket::decodeFields()
{
    readField(QStringLiteral("msg"), 2);
}

} // namespace parley
