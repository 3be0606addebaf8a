#include "PLSendPRVKPacket.h"

namespace parley {

PLSendPRVKPacket::PLSendPRVKPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("PRVK");
}

void PLSendPRVKPacket::setTID(qint32 tid, const QString &encodeType, const QString &sessionKey)
{
    mTID = tid;
    mEncodeType = encodeType;
    mSessionKey = sessionKey;
}

bool PLSendPRVKPacket::composeParams()
{
    // The exported key is ASCII, so its byte count is its character count.
    mParams = {mEncodeType};
    appendBody(mSessionKey);
    return true;
}

} // namespace parley
