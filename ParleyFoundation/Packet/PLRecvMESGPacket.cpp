#include "PLRecvMESGPacket.h"

namespace parley {

void PLRecvMESGPacket::decodeFields()
{
    if (fieldCount() == 2) {
        mPacketType = Acknowledgement;
        return;
    }
    readField(QStringLiteral("ID"), 2);
    readField(QStringLiteral("type"), 3);
    readField(QStringLiteral("msg"), 4);
    mPacketType = Message;
}

} // namespace parley
