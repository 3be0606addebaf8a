#include "PLSendCMSGPacket.h"

namespace parley {

PLSendCMSGPacket::PLSendCMSGPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("CMSG"));
}

bool PLSendCMSGPacket::composeParams()
{
    mParams = {mIsConfirm ? QStringLiteral("Y") : QStringLiteral("N")};
    appendBody(mBodyData);
    return true;
}

} // namespace parley
