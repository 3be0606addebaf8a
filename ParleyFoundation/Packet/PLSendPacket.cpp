#include "PLSendPacket.h"

#include "Utils/ParleyStringAdditions.h"

#include <algorithm>
#include <charconv>

namespace parley {

namespace {
const QString kEmptyField = QStringLiteral("%00");

// The empty string and "%00" itself go out as "%00".
bool sendsAsEmptyField(const QString &parameter)
{
    return parameter.isEmpty() || parameter == kEmptyField;
}
} // namespace

PLSendPacket::PLSendPacket(qint32 tid)
    : mCommand(QLatin1String(""))
    , mTID(tid)
{
}

PLSendPacket::~PLSendPacket() = default;

QString PLSendPacket::wireParameter(const QString &parameter)
{
    if (sendsAsEmptyField(parameter))
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
    // Built in one buffer: a chat line is sent per message, and a string per
    // escaped parameter cost as much as the rest of the line.
    qsizetype size = mCommand.size() + 12 + 2 + mBody.size();
    for (const QString &parameter : std::as_const(mParams))
        size += 1 + std::max<qsizetype>(parameter.size(), kEmptyField.size());
    QString line;
    line.reserve(size);
    line += mCommand;
    line += QLatin1Char(' ');
    char digits[12];
    line += QLatin1StringView(digits, std::to_chars(digits, digits + sizeof digits, mTID).ptr);
    for (const QString &parameter : std::as_const(mParams)) {
        line += QLatin1Char(' ');
        if (sendsAsEmptyField(parameter))
            line += kEmptyField;
        else
            appendParleyEncoded(line, parameter);
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
