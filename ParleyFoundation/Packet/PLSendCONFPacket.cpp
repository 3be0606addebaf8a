#include "PLSendCONFPacket.h"

namespace parley {

PLSendCONFPacket::PLSendCONFPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("CONF");
}

void PLSendCONFPacket::setTID(qint32 tid, const QString &cache)
{
    mTID = tid;
    mCache = cache;
}

bool PLSendCONFPacket::composeParams()
{
    mParams = {mCache, QStringLiteral("0")};
    return true;
}

} // namespace parley
