#include "PLSendGLSTPacket.h"

namespace parley {

PLSendGLSTPacket::PLSendGLSTPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("GLST");
}

void PLSendGLSTPacket::setTID(qint32 tid, const QString &cache)
{
    mTID = tid;
    mCache = cache;
}

bool PLSendGLSTPacket::composeParams()
{
    mParams = {mCache};
    return true;
}

} // namespace parley
