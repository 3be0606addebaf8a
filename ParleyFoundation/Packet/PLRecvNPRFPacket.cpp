#include "PLRecvNPRFPacket.h"

namespace parley {

void PLRecvNPRFPacket::decodeFields()
{
    readFields(2,
               {QStringLiteral("ID"), QStringLiteral("typeMask"), QStringLiteral("mobile"), QStringLiteral("email"),
                QStringLiteral("orcmn"), QStringLiteral("musicDate"), QStringLiteral("ewerYN")});
    if (fieldCount() >= 10)
        readField(QStringLiteral("birth"), 9);
    else
        setValue(QStringLiteral("birth"), QString(QLatin1String("")));
}

} // namespace parley
