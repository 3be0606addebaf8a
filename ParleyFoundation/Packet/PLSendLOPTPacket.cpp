#include "PLSendLOPTPacket.h"

namespace parley {

PLSendLOPTPacket::PLSendLOPTPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("LOPT");
}

bool PLSendLOPTPacket::composeParams()
{
    mParams = {mBodyType};
    appendBody(mBodyText);
    return true;
}

} // namespace parley
