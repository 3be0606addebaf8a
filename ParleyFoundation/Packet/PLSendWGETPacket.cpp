#include "PLSendWGETPacket.h"

namespace parley {

PLSendWGETPacket::PLSendWGETPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("WGET"));
}

bool PLSendWGETPacket::composeParams()
{
    mParams = {mSubCmd, QStringLiteral("N"), QStringLiteral("8192")};
    appendBody(mBodyData);
    return true;
}

} // namespace parley
