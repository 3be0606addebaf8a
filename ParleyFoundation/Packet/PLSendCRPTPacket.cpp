#include "PLSendCRPTPacket.h"

namespace parley {

PLSendCRPTPacket::PLSendCRPTPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("CRPT"));
}

bool PLSendCRPTPacket::composeParams()
{
    mParams.clear();
    appendBody(mBodyData);
    return true;
}

} // namespace parley
