#include "PLHTTPTunnelReply.h"

#include "Utils/ParleyDataAdditions.h"
#include "Utils/ParleyStringAdditions.h"

#include <QStringDecoder>
#include <QStringList>

namespace parley {

std::optional<QHash<QString, QString>> PLHTTPTunnelReply::parseHeader(const QByteArray &header, int *statusCode)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(header);
    if (decoder.hasError())
        return std::nullopt;
    QStringList lines = text.split(QStringLiteral("\r\n"));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() < 2)
        return std::nullopt;
    if (statusCode) {
        // "HTTP/1.1 200 OK": the second word.
        const QStringList words = lines.first().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool ok = false;
        const int code = words.size() >= 2 ? words.at(1).toInt(&ok) : 0;
        *statusCode = ok ? code : 0;
    }
    QHash<QString, QString> fields;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList parts = lines.at(i).split(QLatin1Char(':'));
        if (parts.size() != 2)
            continue;
        fields.insert(trimSpacesAndTabs(parts.at(0)), trimSpacesAndTabs(parts.at(1)));
    }
    return fields;
}

QString PLHTTPTunnelReply::headerValue(const QString &name) const
{
    if (!mHeader)
        return {};
    for (auto it = mHeader->cbegin(); it != mHeader->cend(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return {};
}

PLHTTPTunnelReply::Status PLHTTPTunnelReply::fail(const QString &why)
{
    mError = why;
    mBuffer.clear();
    mBody.clear();
    return mStatus = Status::Error;
}

PLHTTPTunnelReply::Status PLHTTPTunnelReply::feed(const QByteArray &bytes)
{
    if (mStatus != Status::NeedMore)
        return mStatus;
    mBuffer.append(bytes);
    if (!mHeader) {
        const ParleyRange range = HTTPHeaderRange(mBuffer);
        if (range.location == kParleyNotFound) {
            if (mBuffer.size() > kMaxHeaderLength)
                return fail(QStringLiteral("reply header longer than %1 bytes").arg(kMaxHeaderLength));
            return mStatus;
        }
        if (range.length > kMaxHeaderLength)
            return fail(QStringLiteral("reply header longer than %1 bytes").arg(kMaxHeaderLength));
        mHeader = parseHeader(mBuffer.left(range.length), &mStatusCode);
        if (!mHeader)
            return fail(QStringLiteral("unreadable reply header"));
        mBuffer.remove(0, range.length);
        // Anything but success carries the proxy's own page, not the server's bytes.
        if (mStatusCode < 200 || mStatusCode > 299)
            return fail(QStringLiteral("tunnel reply status %1").arg(mStatusCode));
        const QString length = headerValue(QStringLiteral("Content-Length"));
        if (!length.isNull()) {
            bool ok = false;
            const qint64 value = length.toLongLong(&ok);
            if (!ok || value < 0 || value > kMaxBodyLength || length.startsWith(QLatin1Char('+')))
                return fail(QStringLiteral("bad Content-Length \"%1\"").arg(length));
            mExpected = value;
        }
    }
    return checkBody();
}

PLHTTPTunnelReply::Status PLHTTPTunnelReply::checkBody()
{
    if (mExpected < 0) {
        if (mBuffer.size() > kMaxBodyLength)
            return fail(QStringLiteral("reply body longer than %1 bytes").arg(kMaxBodyLength));
        return mStatus;
    }
    if (mBuffer.size() < mExpected)
        return mStatus;
    // Bytes past the announced length belong to no reply of ours.
    mBody = mBuffer.left(mExpected);
    mBuffer.clear();
    return mStatus = Status::Complete;
}

PLHTTPTunnelReply::Status PLHTTPTunnelReply::finish()
{
    if (mStatus != Status::NeedMore)
        return mStatus;
    if (!mHeader)
        return fail(QStringLiteral("connection ended before the reply header"));
    if (mExpected >= 0)
        return fail(QStringLiteral("reply cut short: %1 of %2 bytes").arg(mBuffer.size()).arg(mExpected));
    mBody = mBuffer;
    mBuffer.clear();
    return mStatus = Status::Complete;
}

} // namespace parley
