#include "PLSendMLSTPacket.h"

namespace parley {

PLSendMLSTPacket::PLSendMLSTPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("MLST"));
}

bool PLSendMLSTPacket::composeParams()
{
    mParams = {mTarget, QStringLiteral("0")};
    return true;
}

} // namespace parley
