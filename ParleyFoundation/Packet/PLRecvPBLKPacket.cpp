#include "PLRecvPBLKPacket.h"

namespace parley {

void PLRecvPBLKPacket::decodeFields()
{
    readField(QStringLiteral("publicKey"), 2);
}

} // namespace parley
