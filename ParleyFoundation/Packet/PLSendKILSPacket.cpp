#include "PLSendKILSPacket.h"

namespace parley {

PLSendKILSPacket::PLSendKILSPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("KILS"));
}

bool PLSendKILSPacket::composeParams()
{
    mParams = {mTargetType, mTarget};
    return true;
}

} // namespace parley
