#include "PLSendPVERPacket.h"

namespace parley {

PLSendPVERPacket::PLSendPVERPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("PVER");
}

void PLSendPVERPacket::setTID(qint32 tid, const QString &clientVersion, const QString &protocolVersion,
                              const QString &langOS)
{
    mTID = tid;
    mClientVersion = clientVersion;
    mProtocolVersion = protocolVersion;
    mLangOS = langOS;
}

bool PLSendPVERPacket::composeParams()
{
    mParams = {mClientVersion, mProtocolVersion, mLangOS};
    return true;
}

} // namespace parley
