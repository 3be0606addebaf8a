#include "UpdateDecisions.h"

#include <QHostAddress>
#include <QStringList>

namespace parley {

bool UpdateDecisions::isAllowedDownloadURL(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (url.scheme() == QLatin1String("https"))
        return true;
    if (url.scheme() != QLatin1String("http"))
        return false;
    if (url.host() == QLatin1String("localhost"))
        return true;
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
}

bool UpdateDecisions::isOpenableInBrowser(const QUrl &url)
{
    return url.isValid() && !url.host().isEmpty()
        && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

bool UpdateDecisions::isNewerMainVersion(const QString &latest, const QString &own)
{
    const QStringList latestFields = latest.split(QLatin1Char('.'));
    const QStringList ownFields = own.split(QLatin1Char('.'));
    const qsizetype count = qMax(latestFields.size(), ownFields.size());
    for (qsizetype i = 0; i < count; ++i) {
        const qlonglong a = latestFields.value(i).trimmed().toLongLong();
        const qlonglong b = ownFields.value(i).trimmed().toLongLong();
        if (a != b)
            return a > b;
    }
    return false;
}

} // namespace parley
