#include "EndpointsWriter.h"

#include <QSaveFile>

namespace localservice {

QByteArray EndpointsWriter::text(const Endpoints &e)
{
    // The client's "key = value" file. The relay is the dispatch server
    // itself (it answers RCON) on both relay ports; there is no HTTP tunnel, so
    // its host is left out, and the client's own time-outs stand.
    const QString port = QString::number(e.dispatchPort);
    QString out;
    out += QLatin1String("# Written by parley-localservice.\n");
    out += QLatin1String("dispatch.host = ") + e.host + QLatin1Char('\n');
    out += QLatin1String("dispatch.port = ") + port + QLatin1Char('\n');
    out += QLatin1String("relay.host = ") + e.host + QLatin1Char('\n');
    out += QLatin1String("relay.port1 = ") + port + QLatin1Char('\n');
    out += QLatin1String("relay.port2 = ") + port + QLatin1Char('\n');
    if (!e.webURL.isEmpty())
        for (const char *key : {"web.mail", "web.memo", "web.sister", "web.sister.member", "web.sister.help",
                                 "web.animicon"})
            out += QLatin1String(key) + QLatin1String(" = ") + e.webURL + QLatin1Char('\n');
    // The accounts' mail domain, and the rest of the sign-in window's menu.
    out += QLatin1String("portal.domain = parley.test\n"
                         "portal.maildomains = parleymail.test, parleynet.test, parleyplus.test\n"
                         "login.maildomains = orchard.test, mailone.test, posthub.test, letterbox.test, "
                         "inboxnet.test, mailstar.test, webpost.test\n");
    return out.toUtf8();
}

QString EndpointsWriter::write(const QString &path, const Endpoints &endpoints)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text(endpoints)) < 0 || !file.commit())
        return QStringLiteral("endpoints file %1: %2").arg(path, file.errorString());
    return {};
}

} // namespace localservice
