#include "PLRecvWGETPacket.h"

namespace parley {

void PLRecvWGETPacket::decodeFields()
{
    readField(QStringLiteral("subcomm"), 2);
    readField(QStringLiteral("curpage"), 3);
    readField(QStringLiteral("totalpages"), 4);
    readField(QStringLiteral("resultcode"), 5);
    setValue(QStringLiteral("bodylen"), lastField(6));
}

} // namespace parley
