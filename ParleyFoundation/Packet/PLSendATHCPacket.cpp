#include "PLSendATHCPacket.h"

namespace parley {

PLSendATHCPacket::PLSendATHCPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("ATHC"));
}

void PLSendATHCPacket::setTID(qint32 tid, const QString &responseCode, qint32 listenPort)
{
    setTID(tid);
    mResponseCode = responseCode;
    mP2PNegoListenPort = listenPort;
}

bool PLSendATHCPacket::composeParams()
{
    // The response code is escaped like any field, so that a bad one cannot
    // add fields or lines.
    mParams = {mResponseCode, QString::number(mP2PNegoListenPort), QStringLiteral("0")};
    return true;
}

} // namespace parley
