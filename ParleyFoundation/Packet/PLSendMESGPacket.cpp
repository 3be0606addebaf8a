#include "PLSendMESGPacket.h"

namespace parley {

PLSendMESGPacket::PLSendMESGPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("MESG"));
}

bool PLSendMESGPacket::composeParams()
{
    mParams = {mType, mMsg};
    return true;
}

} // namespace parley
