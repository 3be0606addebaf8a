#include "PLSendREQSPacket.h"

namespace parley {

PLSendREQSPacket::PLSendREQSPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("REQS");
}

void PLSendREQSPacket::setTID(qint32 tid, const QString &authType, const QString &userID)
{
    mTID = tid;
    mAuthType = authType;
    mUserID = userID;
}

bool PLSendREQSPacket::composeParams()
{
    mParams = {mAuthType, mUserID};
    return true;
}

} // namespace parley
