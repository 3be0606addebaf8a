#include "PLRecvLSINPacket.h"

namespace parley {

void PLRecvLSINPacket::decodeFields()
{
    readField(QStringLiteral("encryptedBody"), 2);
}

} // namespace parley
