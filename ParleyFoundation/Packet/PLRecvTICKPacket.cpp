#include "PLRecvTICKPacket.h"

namespace parley {

void PLRecvTICKPacket::decodeFields()
{
    readField(QStringLiteral("ticket"), 2);
}

} // namespace parley
