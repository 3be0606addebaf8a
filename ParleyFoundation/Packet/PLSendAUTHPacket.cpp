#include "PLSendAUTHPacket.h"

namespace parley {

PLSendAUTHPacket::PLSendAUTHPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("AUTH");
}

void PLSendAUTHPacket::setTID(qint32 tid, const QString &authType)
{
    mTID = tid;
    mAuthType = authType;
}

bool PLSendAUTHPacket::composeParams()
{
    mParams = {mAuthType};
    return true;
}

} // namespace parley
