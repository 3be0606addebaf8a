#include "PLSendADDBPacket.h"

namespace parley {

PLSendADDBPacket::PLSendADDBPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("ADDB");
}

void PLSendADDBPacket::setTID(qint32 tid, const QString &type, const QString &targetCMN, const QString &targetID,
                              const QString &groupID)
{
    mTID = tid;
    mType = type;
    mTargetCMN = targetCMN;
    mTargetID = targetID;
    mGroupID = groupID;
}

bool PLSendADDBPacket::composeParams()
{
    mParams = {mType, mTargetCMN, mTargetID};
    if (mType == QLatin1String("FL")) {
        // A buddy added without a group goes into the top-level group "0".
        if (mGroupID == QLatin1String("%00"))
            mGroupID = QStringLiteral("0");
        mParams.append(mGroupID);
    }
    return true;
}

} // namespace parley
