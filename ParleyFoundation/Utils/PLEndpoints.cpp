#include "PLEndpoints.h"

#include "Log.h"
#include "PLUtils.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QUrl>
#include <QtGlobal>

namespace parley {

namespace {

bool parsePort(const QString &value, quint16 *port)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < 1 || number > 65535)
        return false;
    *port = quint16(number);
    return true;
}

bool parseSeconds(const QString &value, double *seconds)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !(number > 0) || number > 24 * 3600)
        return false;
    *seconds = number;
    return true;
}

bool parseHost(const QString &value, QString *host)
{
    if (value.isEmpty() || value.contains(QLatin1Char(' ')) || value.contains(QLatin1Char('/')))
        return false;
    *host = value;
    return true;
}

bool parseWebServer(const QString &value, QString *url)
{
    const QUrl parsed(value, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.host().isEmpty()
        || (parsed.scheme() != QLatin1String("http") && parsed.scheme() != QLatin1String("https")))
        return false;
    *url = value.endsWith(QLatin1Char('/')) ? value.chopped(1) : value;
    return true;
}

// A comma-separated list of exactly `count` mail domains.
bool parseDomains(const QString &value, int count, QStringList *domains)
{
    QStringList parsed;
    for (const QString &part : value.split(QLatin1Char(','))) {
        const QString domain = part.trimmed();
        QString checked;
        if (!parseHost(domain, &checked) || domain.contains(QLatin1Char('@')) || domain.startsWith(QLatin1Char('.'))
            || parsed.contains(domain))
            return false;
        parsed.append(domain);
    }
    if (parsed.size() != count)
        return false;
    *domains = parsed;
    return true;
}

QMutex gMutex;
std::optional<PLEndpoints> gCurrent;

} // namespace

std::optional<PLEndpoints> PLEndpoints::fromText(const QByteArray &text, QString *error)
{
    PLEndpoints result;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const auto fail = [&](const QString &why) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(i + 1).arg(why);
            return std::optional<PLEndpoints>();
        };
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return fail(QStringLiteral("expected key = value"));
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        bool ok = false;
        if (key == QLatin1String("dispatch.host"))
            ok = parseHost(value, &result.dispatchHost);
        else if (key == QLatin1String("dispatch.port"))
            ok = parsePort(value, &result.dispatchPort);
        else if (key == QLatin1String("relay.host"))
            ok = parseHost(value, &result.relayHost);
        else if (key == QLatin1String("relay.port1"))
            ok = parsePort(value, &result.relayPort1);
        else if (key == QLatin1String("relay.port2"))
            ok = parsePort(value, &result.relayPort2);
        else if (key == QLatin1String("tunnel.host"))
            ok = parseHost(value, &result.tunnelHost);
        else if (key == QLatin1String("tunnel.port"))
            ok = parsePort(value, &result.tunnelPort);
        else if (key == QLatin1String("connect.timeout"))
            ok = parseSeconds(value, &result.connectTimeout);
        else if (key == QLatin1String("connectivity.timeout"))
            ok = parseSeconds(value, &result.connectivityTimeout);
        else if (key == QLatin1String("web.mail"))
            ok = parseWebServer(value, &result.webMail);
        else if (key == QLatin1String("web.memo"))
            ok = parseWebServer(value, &result.webMemo);
        else if (key == QLatin1String("web.sister"))
            ok = parseWebServer(value, &result.webSister);
        else if (key == QLatin1String("web.bridge"))
            ok = parseWebServer(value, &result.webBridge);
        else if (key == QLatin1String("web.mailhome"))
            ok = parseWebServer(value, &result.webMailHome);
        else if (key == QLatin1String("web.update"))
            ok = parseWebServer(value, &result.webUpdate);
        else if (key == QLatin1String("web.sister.member"))
            ok = parseWebServer(value, &result.webSisterMember);
        else if (key == QLatin1String("web.sister.help"))
            ok = parseWebServer(value, &result.webSisterHelp);
        else if (key == QLatin1String("web.animicon"))
            ok = parseWebServer(value, &result.webAnimicon);
        else if (key == QLatin1String("tunnel.timeout"))
            ok = parseSeconds(value, &result.tunnelTimeout);
        else if (key == QLatin1String("portal.domain"))
            ok = parseHost(value, &result.portalDomain) && !value.startsWith(QLatin1Char('.'))
                && !value.contains(QLatin1Char('@'));
        else if (key == QLatin1String("portal.maildomains"))
            ok = parseDomains(value, kPortalMailDomainCount, &result.portalMailDomains);
        else if (key == QLatin1String("login.maildomains"))
            ok = parseDomains(value, kLoginMailDomainCount, &result.loginMailDomains);
        else if (key == QLatin1String("keepalive.interval"))
            ok = parseSeconds(value, &result.keepaliveInterval);
        else if (key == QLatin1String("signout.timeout"))
            ok = parseSeconds(value, &result.signoutTimeout);
        else if (key == QLatin1String("p2p.timeout"))
            ok = parseSeconds(value, &result.p2pTimeout);
        else if (key == QLatin1String("tunnel.attempts")) {
            const int attempts = value.toInt(&ok);
            ok = ok && attempts >= 1 && attempts <= 10;
            if (ok)
                result.tunnelAttempts = attempts;
        } else
            return fail(QStringLiteral("unknown key \"%1\"").arg(key));
        if (!ok)
            return fail(QStringLiteral("bad value \"%1\" for %2").arg(value, key));
    }
    return result;
}

std::optional<PLEndpoints> PLEndpoints::fromFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    // The file is a handful of lines; anything large is not ours.
    const QByteArray text = file.read(64 * 1024 + 1);
    if (text.size() > 64 * 1024) {
        if (error)
            *error = QStringLiteral("file too large");
        return std::nullopt;
    }
    return fromText(text, error);
}

QString PLEndpoints::configurationPath()
{
    const QString fromEnvironment = qEnvironmentVariable("PARLEY_ENDPOINTS");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString support = PLAppSupportPath();
    return support.isNull() ? QString() : support + QStringLiteral("endpoints.conf");
}

PLEndpoints PLEndpoints::current()
{
    QMutexLocker lock(&gMutex);
    if (!gCurrent) {
        const QString path = configurationPath();
        const bool named = !qEnvironmentVariable("PARLEY_ENDPOINTS").isEmpty();
        QString error;
        std::optional<PLEndpoints> loaded;
        if (!path.isEmpty() && (named || QFile::exists(path)))
            loaded = fromFile(path, &error);
        if (!loaded && !error.isEmpty())
            plLog(QStringLiteral("endpoints: %1: %2; using the defaults").arg(path, error));
        gCurrent = loaded ? *loaded : PLEndpoints();
    }
    return *gCurrent;
}

void PLEndpoints::setCurrent(const PLEndpoints &endpoints)
{
    QMutexLocker lock(&gMutex);
    gCurrent = endpoints;
}

} // namespace parley
