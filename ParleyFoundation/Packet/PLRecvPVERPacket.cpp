#include "PLRecvPVERPacket.h"

namespace parley {

void PLRecvPVERPacket::decodeFields()
{
    readField(QStringLiteral("upgrade"), 2);
}

} // namespace parley
