#include "PLSendRENGPacket.h"

namespace parley {

PLSendRENGPacket::PLSendRENGPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("RENG");
}

void PLSendRENGPacket::setTID(qint32 tid, const QString &localGroupCache, const QString &groupID,
                              const QString &groupName)
{
    mTID = tid;
    mLocalGroupCache = localGroupCache;
    mGroupID = groupID;
    mGroupName = groupName;
}

bool PLSendRENGPacket::composeParams()
{
    mParams = {mLocalGroupCache, mGroupID, mGroupName};
    return true;
}

} // namespace parley
