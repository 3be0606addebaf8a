#include "PLSendFILEPacket.h"

namespace parley {

namespace {
const QString kClose = QStringLiteral("0");
const QString kData = QStringLiteral("DATA");
}

PLSendFILEPacket::PLSendFILEPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("FILE"));
}

void PLSendFILEPacket::setFileAcceptWithCookie(const QString &cookie)
{
    setForm({QStringLiteral("ACCEPT"), cookie, kClose});
}

void PLSendFILEPacket::setFileCancelWithCookie(const QString &cookie)
{
    setForm({QStringLiteral("CANCEL"), cookie, kClose});
}

void PLSendFILEPacket::setFileInfo(const QString &, qint64 size)
{
    setForm({QStringLiteral("INFO"), QStringLiteral("FILENAME"), QString::number(size), QStringLiteral("CHAT"), kClose});
}

void PLSendFILEPacket::setFileStartWithPosition(qint64 position)
{
    setForm({QStringLiteral("START"), QString::number(position), kClose});
}

void PLSendFILEPacket::setFileStop()
{
    setForm({QStringLiteral("STOP"), kClose});
}

void PLSendFILEPacket::setFileEnd()
{
    setForm({QStringLiteral("END"), kClose});
}

void PLSendFILEPacket::setFileDataWithBody(const QByteArray &body)
{
    mFileData = body;
    setForm({kData});
}

void PLSendFILEPacket::appendDataLine(QByteArray &out, qint32 tid, qint64 length)
{
    // The word and the numbers need no escaping (see wireParameter()).
    out.append("FILE ");
    out.append(QByteArray::number(tid));
    out.append(" DATA ");
    out.append(QByteArray::number(length));
    out.append("\r\n");
}

bool PLSendFILEPacket::composeParams()
{
    mParams = mFormFields;
    if (mFormFields.value(0) == kData)
        appendBodyBytes(mFileData);
    return true;
}

} // namespace parley
