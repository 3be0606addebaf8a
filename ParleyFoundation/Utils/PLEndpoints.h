#pragma once

// Where the client finds the service, and how long it waits for it.
//
// One small text file, "key = value" per line; '#' starts a comment line and
// blank lines are skipped. Its path is $PARLEY_ENDPOINTS, else
// <support folder>/endpoints.conf; a missing file means the defaults below.
//
//   dispatch.host        login-dispatch server            (no default)
//   dispatch.port        its port                         5004
//   relay.host           relay server                     (no default)
//   relay.port1          the relay's first port           80
//   relay.port2          the relay's second port          1863
//   tunnel.host          HTTP tunnel server               (no default)
//   tunnel.port          its port, also in the request   80
//   connect.timeout      seconds for a session connect    20
//   connectivity.timeout seconds for one route test       20
//   tunnel.attempts      connects to the proxy per POST   3
//   tunnel.timeout       seconds for one tunnel exchange  60
//   portal.domain        the portal's own domain          parley.test
//                        (server host names must end in it; it is the
//                        mail domain stripped from login IDs)
//   portal.maildomains   the portal family's three other  parleymail.test, parleynet.test,
//                        mail domains (comma-separated)   parleyplus.test
//   login.maildomains    the sign-in menu's further mail  orchard.test, mailone.test,
//                        domains: the sister service's,   posthub.test, letterbox.test,
//                        then six other providers' (7)    inboxnet.test, mailstar.test,
//                                                         webpost.test
//   keepalive.interval   seconds between keepalive ticks  5
//   signout.timeout      seconds quitting or signing out  3
//                        waits for the server to take the
//                        status left for the other logins
//   p2p.timeout          seconds a file transfer waits    60
//                        for a byte from the peer
//   web.mail             mail-count web server (URL)      (no default)
//   web.memo             memo-count web server (URL)      (no default)
//   web.sister           sister service's web server      (no default)
//   web.bridge           the portal's bridge host         https://www.parley.test
//                        (its "/index.php" takes the bridge
//                        form and the report page)
//   web.mailhome         the portal's web-mail home page  https://mail.parley.test
//   web.update           the update host (version lists)  https://update.parley.test
//   web.sister.member    its membership pages' server     (no default)
//   web.sister.help      its ID help pages' server        (no default)
//   web.animicon         animicon web site (play pages)   (no default)
//
// Ports are 1..65535, time-outs positive numbers, attempts 1..10.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace parley {

struct PLEndpoints
{
    QString dispatchHost;
    quint16 dispatchPort = 5004;
    QString relayHost;
    quint16 relayPort1 = 80;
    quint16 relayPort2 = 1863;
    QString tunnelHost;
    quint16 tunnelPort = 80;
    double connectTimeout = 20.0;
    double connectivityTimeout = 20.0;
    int tunnelAttempts = 3;
    double tunnelTimeout = 60.0;
    QString portalDomain = QStringLiteral("parley.test");
    // The portal family's other three mail domains and the sign-in menu's
    // further seven; the menu lists portalDomain first.
    QStringList portalMailDomains{QStringLiteral("parleymail.test"), QStringLiteral("parleynet.test"),
                                  QStringLiteral("parleyplus.test")};
    QStringList loginMailDomains{QStringLiteral("orchard.test"),   QStringLiteral("mailone.test"),
                                 QStringLiteral("posthub.test"),   QStringLiteral("letterbox.test"),
                                 QStringLiteral("inboxnet.test"),  QStringLiteral("mailstar.test"),
                                 QStringLiteral("webpost.test")};
    static constexpr int kPortalMailDomainCount = 3;
    static constexpr int kLoginMailDomainCount = 7;
    double keepaliveInterval = 5.0;
    double signoutTimeout = 3.0;
    double p2pTimeout = 60.0;
    // Web servers as "http://host[:port]" (a query without its server is skipped).
    QString webMail;
    QString webMemo;
    QString webSister;
    // The portal's bridge host, its web-mail home page and the update host.
    QString webBridge = QStringLiteral("https://www.parley.test");
    QString webMailHome = QStringLiteral("https://mail.parley.test");
    QString webUpdate = QStringLiteral("https://update.parley.test");
    QString webSisterMember;
    QString webSisterHelp;
    // The animicon web site, whose "animicon_play.php" plays an animicon.
    QString webAnimicon;

    // Parses the file's text; on the first bad line answers nothing and says
    // why in `error` (line number and reason). Unknown keys are errors too, so
    // that a misspelt key is not silently ignored.
    static std::optional<PLEndpoints> fromText(const QByteArray &text, QString *error = nullptr);
    // Reads and parses a file; a file that cannot be read is an error.
    static std::optional<PLEndpoints> fromFile(const QString &path, QString *error = nullptr);
    // The file's path: $PARLEY_ENDPOINTS, else endpoints.conf in the support folder.
    static QString configurationPath();

    // The configuration in force: loaded from configurationPath() on first use
    // (a bad or unreadable file is logged and the defaults are used; a missing
    // default file is silently the defaults).
    static PLEndpoints current();
    // Replaces the configuration in force (tests, or a reload).
    static void setCurrent(const PLEndpoints &endpoints);
};

} // namespace parley
