#include "PLSendCNIKPacket.h"

namespace parley {

PLSendCNIKPacket::PLSendCNIKPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("CNIK");
}

void PLSendCNIKPacket::setTID(qint32 tid, const QString &nickName)
{
    mTID = tid;
    mNickName = nickName;
}

bool PLSendCNIKPacket::composeParams()
{
    mParams = {mNickName};
    return true;
}

} // namespace parley
