#include "PLSendWHSPPacket.h"

#include "Utils/PLClientVersion.h"
#include "Utils/ParleyStringAdditions.h"

namespace parley {

namespace {
const QString kFile = QStringLiteral("FILE");
}

PLSendWHSPPacket::PLSendWHSPPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("WHSP"));
}

void PLSendWHSPPacket::addFile(const QString &name, qint64 size, const QString &cookie)
{
    if (cookie.isNull())
        return;
    if (mSubType == QLatin1String("CANCEL") || mSubType == QLatin1String("ACK") || name.isNull())
        mDataArray.append(cookie);
    else
        // Joined, not formatted: a name is peer text and may hold "%1"-like markers.
        mDataArray.append(name + QLatin1Char('|') + QString::number(size) + QLatin1Char('|') + cookie);
}

bool PLSendWHSPPacket::composeParams()
{
    if (mSubType == QLatin1String("UNKNOWN")) {
        // The answer to a type this client cannot handle names the version.
        mParams = {mID, mType, mSubType + QLatin1Char('\t') + PLClientVersion()};
    } else if (mType == kFile) {
        mParams = {mID, kFile, mSubType};
    } else if (mType == QLatin1String("ANIMICON")) {
        mParams = {mID, mType, QStringLiteral("OBJECT\t") + mMsg};
    } else {
        mParams = {mID, mType, mMsg};
    }
    return true;
}

QString PLSendWHSPPacket::packetString()
{
    QString line = PLSendPacket::packetString();
    if (mType != kFile || mSubType == QLatin1String("UNKNOWN"))
        return line;
    // The file entries follow the sub-type as TAB-led items, escaped as a
    // whole, on the same line.
    QString tail = QLatin1Char('\t') + QString::number(fileCount());
    for (const QString &entry : std::as_const(mDataArray))
        tail += QLatin1Char('\t') + entry;
    line.chop(2);
    return line + stringByParleyEncoding(tail) + QLatin1String("\r\n");
}

} // namespace parley
