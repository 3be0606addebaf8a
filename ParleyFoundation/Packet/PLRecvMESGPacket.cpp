#include "PLRecvMESGPacket.h"

namespace parley {

namespace {
const PLFieldNames kFieldNames{QStringLiteral("ID"), QStringLiteral("type"), QStringLiteral("msg")};
} // namespace

const PLFieldNames &PLRecvMESGPacket::fieldNames()
{
    return kFieldNames;
}

void PLRecvMESGPacket::decodeFields()
{
    if (fieldCount() == 2) {
        mPacketType = Acknowledgement;
        return;
    }
    readFields(2, fieldNames());
    mPacketType = Message;
}

} // namespace parley
