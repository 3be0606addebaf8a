#include "PLSendRMVBPacket.h"

namespace parley {

PLSendRMVBPacket::PLSendRMVBPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("RMVB");
}

void PLSendRMVBPacket::setTID(qint32 tid, const QString &type, const QString &targetCMN, const QString &targetID)
{
    mTID = tid;
    mType = type;
    mTargetCMN = targetCMN;
    mTargetID = targetID;
}

bool PLSendRMVBPacket::composeParams()
{
    mParams = {mType, mTargetCMN, mTargetID};
    return true;
}

} // namespace parley
