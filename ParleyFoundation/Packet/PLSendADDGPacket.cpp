#include "PLSendADDGPacket.h"

namespace parley {

PLSendADDGPacket::PLSendADDGPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("ADDG");
}

void PLSendADDGPacket::setTID(qint32 tid, const QString &localGroupCache, const QString &groupName)
{
    mTID = tid;
    mLocalGroupCache = localGroupCache;
    mGroupName = groupName;
}

bool PLSendADDGPacket::composeParams()
{
    mParams = {mLocalGroupCache, mGroupName};
    return true;
}

} // namespace parley
