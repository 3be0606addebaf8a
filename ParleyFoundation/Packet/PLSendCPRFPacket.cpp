#include "PLSendCPRFPacket.h"

namespace parley {

PLSendCPRFPacket::PLSendCPRFPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("CPRF");
}

void PLSendCPRFPacket::setTID(qint32 tid, const QString &body)
{
    mTID = tid;
    mBodyText = body;
}

bool PLSendCPRFPacket::composeParams()
{
    mParams.clear();
    appendBody(mBodyText);
    return true;
}

} // namespace parley
