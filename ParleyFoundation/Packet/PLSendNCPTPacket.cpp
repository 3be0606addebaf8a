#include "PLSendNCPTPacket.h"

namespace parley {

PLSendNCPTPacket::PLSendNCPTPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("NCPT");
}

void PLSendNCPTPacket::setTID(qint32 tid, const QString &userID, const QString &range)
{
    mTID = tid;
    mUserID = userID;
    mRange = range;
}

bool PLSendNCPTPacket::composeParams()
{
    mParams = {mUserID, mRange, QStringLiteral("0")};
    return true;
}

} // namespace parley
