#include "PLRecvQUITPacket.h"

namespace parley {

void PLRecvQUITPacket::decodeFields()
{
    readField(QStringLiteral("ID"), 2);
    // On the short form the one field is a reason code, not a member.
    const bool reasonOnly = fieldCount() == 3;
    mIsTimeOut = reasonOnly && field(2) == QLatin1String("1");
    mIsOverflow = reasonOnly && field(2) == QLatin1String("2");
}

} // namespace parley
