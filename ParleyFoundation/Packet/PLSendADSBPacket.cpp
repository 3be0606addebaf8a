#include "PLSendADSBPacket.h"

namespace parley {

PLSendADSBPacket::PLSendADSBPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("ADSB");
}

void PLSendADSBPacket::setTID(qint32 tid, const QString &event, const QString &targetCMN, const QString &targetID,
                              const QString &groupID, const QString &msg)
{
    mTID = tid;
    mEvent = event;
    mTargetCMN = targetCMN;
    mTargetID = targetID;
    mGroupID = groupID;
    mMsg = msg;
}

bool PLSendADSBPacket::composeParams()
{
    mParams = {mEvent, mTargetCMN, mTargetID, mGroupID, mMsg};
    return true;
}

} // namespace parley
