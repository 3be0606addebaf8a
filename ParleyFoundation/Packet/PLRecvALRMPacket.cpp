#include "PLRecvALRMPacket.h"

namespace parley {

void PLRecvALRMPacket::decodeFields()
{
    readField(QStringLiteral("SVC_GB"), 2);
    readField(QStringLiteral("from"), 3);
    readField(QStringLiteral("text"), 4);
    readField(QStringLiteral("URL_GB"), 5);
    readField(QStringLiteral("URL"), 6);
    QString defined = QLatin1String("");
    for (qsizetype i = 7; i < fieldCount(); ++i)
        defined += field(i) + QLatin1Char(' ');
    setValue(QStringLiteral("SVC_Defined"), defined);
}

} // namespace parley
