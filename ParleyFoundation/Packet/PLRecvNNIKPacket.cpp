#include "PLRecvNNIKPacket.h"

namespace parley {

void PLRecvNNIKPacket::decodeFields()
{
    readField(QStringLiteral("ID"), 2);
    readField(QStringLiteral("nickName"), 3);
}

} // namespace parley
