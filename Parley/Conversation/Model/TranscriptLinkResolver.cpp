#include "TranscriptLinkResolver.h"

#include "AsciiText.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

constexpr char kBridgePrefix[] = "bridge://";

// "bridge://CODE?REST" through the bridge page: "PAGE?t=TICKET&code=CODE&r_url=REST".
QString bridgeAddress(const QString &href, const QString &bridgePageUrl, const QString &ticket)
{
    const QString rest = href.mid(qsizetype(sizeof kBridgePrefix - 1));
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    if (bridgePageUrl.isEmpty() || question < 0 || !isAsciiLettersAndDigits(QStringView(rest).left(question)))
        return {};
    return bridgePageUrl + QStringLiteral("?t=") + ticket + QStringLiteral("&code=") + rest.left(question)
           + QStringLiteral("&r_url=") + rest.mid(question + 1);
}

} // namespace

QString TranscriptLinkResolver::schemeOf(const QString &href)
{
    static const QRegularExpression scheme(QStringLiteral(R"(\A([A-Za-z][A-Za-z0-9+.\-]*):)"));
    static const QRegularExpression port(QStringLiteral(R"(\A[0-9]+(?:[/?#]|\z))"));
    const QRegularExpressionMatch match = scheme.match(href);
    if (!match.hasMatch())
        return {};
    // "www.example.com:8080/..." names a host and its port.
    if (port.match(href.mid(match.capturedEnd(0))).hasMatch())
        return {};
    return match.captured(1).toLower();
}

QString TranscriptLinkResolver::resolve(const QString &href, const QString &bridgePageUrl, const QString &ticket)
{
    if (href.trimmed().isEmpty())
        return {};
    QString address = href;
    if (address.startsWith(QLatin1String(kBridgePrefix), Qt::CaseInsensitive)) {
        address = bridgeAddress(address, bridgePageUrl, ticket);
        if (address.isEmpty())
            return {};
    }
    const QString scheme = schemeOf(address);
    if (scheme.isNull())
        address = QStringLiteral("http://") + address;
    else if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("mailto"))
        return {};
    if (!QUrl(address, QUrl::StrictMode).isValid())
        return {};
    return address;
}
