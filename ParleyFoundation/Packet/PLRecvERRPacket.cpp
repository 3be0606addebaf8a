#include "PLRecvERRPacket.h"

namespace parley {

PLRecvPacket *PLRecvERRPacket::setParams(const QString &line)
{
    // Not the base step: the command is "ERR" and the tid stays 0.
    PLRecvPacket::setParams(line);
    mCommand = QStringLiteral("ERR");
    mTID = 0;
    return this;
}

void PLRecvERRPacket::decodeFields()
{
    readField(QStringLiteral("errCode"), 0);
    readField(QStringLiteral("errTID"), 1);
    if (fieldCount() > 2)
        readField(QStringLiteral("errSubCode"), 2);
    if (fieldCount() > 3)
        readField(QStringLiteral("errMsg"), 3);
}

} // namespace parley
