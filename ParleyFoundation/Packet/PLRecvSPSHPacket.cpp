#include "PLRecvSPSHPacket.h"

namespace parley {

void PLRecvSPSHPacket::decodeFields()
{
    readField(QStringLiteral("type"), 2);
    readField(QStringLiteral("msg"), 3);
    const QString type = value(QStringLiteral("type"));
    if (type == QLatin1String("BANKWARN"))
        mPacketType = BankWarning;
    else if (type == QLatin1String("HARDWARN"))
        mPacketType = HardWarning;
    else if (type == QLatin1String("CUSTMSG"))
        mPacketType = CustomMessage;
    else
        markInvalid();
}

} // namespace parley
