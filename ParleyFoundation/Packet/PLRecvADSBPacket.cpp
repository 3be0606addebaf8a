#include "PLRecvADSBPacket.h"

namespace parley {

void PLRecvADSBPacket::decodeFields()
{
    mTid = tID();
    readRawFields(2, {QStringLiteral("event"), QStringLiteral("targetCMN")});
    if (mTid == 0)
        readRawFields(4,
                      {QStringLiteral("targetName"), QStringLiteral("groupCache"), QStringLiteral("targetArea"),
                       QStringLiteral("targetID"), QStringLiteral("targetGID")});
    else if (event() != QLatin1String("REJCT"))
        readRawFields(4, {QStringLiteral("targetName"), QStringLiteral("groupCache"), QStringLiteral("targetArea")});
}

} // namespace parley
