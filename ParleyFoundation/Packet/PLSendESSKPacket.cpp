#include "PLSendESSKPacket.h"

namespace parley {

PLSendESSKPacket::PLSendESSKPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("ESSK"));
}

bool PLSendESSKPacket::composeParams()
{
    mParams = {mEncSSKey, mEncType};
    return true;
}

} // namespace parley
