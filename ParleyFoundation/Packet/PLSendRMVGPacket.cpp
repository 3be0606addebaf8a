#include "PLSendRMVGPacket.h"

namespace parley {

PLSendRMVGPacket::PLSendRMVGPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("RMVG");
}

void PLSendRMVGPacket::setTID(qint32 tid, const QString &localGroupCache, const QString &groupID)
{
    mTID = tid;
    mLocalGroupCache = localGroupCache;
    mGroupID = groupID;
}

bool PLSendRMVGPacket::composeParams()
{
    mParams = {mLocalGroupCache, mGroupID};
    return true;
}

} // namespace parley
