#include "PLSendPacket.h"

#include "Utils/ParleyStringAdditions.h"

namespace parley {

namespace {
const QString kEmptyField = QStringLiteral("%00");
}

PLSendPacket::PLSendPacket(qint32 tid)
    : mCommand(QLatin1String(""))
    , mTID(tid)
{
}

PLSendPacket::~PLSendPacket() = default;

QString PLSendPacket::wireParameter(const QString &parameter)
{
    if (parameter.isEmpty() || parameter == kEmptyField)
        return kEmptyField;
    return stringByParleyEncoding(parameter);
}

void PLSendPacket::appendBody(const QString &body)
{
    mBody = body;
    mParams.append(QString::number(body.toUtf8().size()));
}

void PLSendPacket::appendBodyBytes(const QByteArray &body)
{
    mBodyBytes = body;
    mParams.append(QString::number(body.size()));
}

QString PLSendPacket::packetString()
{
    mBody.clear();
    mBodyBytes.clear();
    if (!composeParams())
        return QString();
    QString line = mCommand;
    line += QLatin1Char(' ');
    line += QString::number(mTID);
    for (const QString &parameter : std::as_const(mParams)) {
        line += QLatin1Char(' ');
        line += wireParameter(parameter);
    }
    line += QLatin1String("\r\n");
    line += mBody;
    return line;
}

QByteArray PLSendPacket::data()
{
    const QString line = packetString();
    if (line.isNull())
        return QByteArray();
    return line.toUtf8() + mBodyBytes;
}

} // namespace parley
