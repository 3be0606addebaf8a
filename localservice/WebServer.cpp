#include "WebServer.h"

#include "AccountDirectory.h"
#include "AnimiconSite.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QUrlQuery>

namespace localservice {

namespace {

// A form body's value by key, percent-decoded; null when absent.
QString formValue(const QString &body, const QString &key)
{
    for (const QString &pair : body.trimmed().split(QLatin1Char('&'))) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals > 0 && pair.left(equals) == key)
            return QUrl::fromPercentEncoding(pair.mid(equals + 1).toUtf8());
    }
    return {};
}

// The sister-service numbers of a buddy list ("a;b;c" once decoded).
QStringList buddyList(const QString &body)
{
    const QString list = formValue(body, QStringLiteral("buddy_list"));
    return list.isEmpty() ? QStringList() : list.split(QLatin1Char(';'));
}

} // namespace

WebServer::WebServer(AccountDirectory &directory, const QString &animiconFolder)
    : mDirectory(directory), mServer(std::make_unique<QHttpServer>()),
      mAnimicons(std::make_unique<AnimiconSite>(animiconFolder))
{
    mAnimicons->addRoutes(*mServer);
    mServer->route(QStringLiteral("/ParleyStart.php"), [this](const QHttpServerRequest &request) {
        return mailCount(QUrlQuery(request.url()).queryItemValue(QStringLiteral("id"), QUrl::FullyDecoded));
    });
    mServer->route(QStringLiteral("/client/CountMessage.do"), [this](const QHttpServerRequest &request) {
        return memoCount(QString::fromUtf8(request.body()));
    });
    mServer->route(QStringLiteral("/pims/parley/parley_get_mainid.asp"), [this](const QHttpServerRequest &request) {
        return mainAccount(QString::fromUtf8(request.body()));
    });
    mServer->route(QStringLiteral("/pims/parley/parley_new_article_q7.asp"), [this](const QHttpServerRequest &request) {
        return newPosts(QString::fromUtf8(request.body()));
    });
    // The sister service's pages that the preferences open in a browser.
    for (const QString &path : sisterPagePaths()) {
        mServer->route(path, [path] {
            return QHttpServerResponse(QByteArrayLiteral("text/html; charset=utf-8"), sisterPage(path));
        });
    }
}

QStringList WebServer::sisterPagePaths()
{
    return {QStringLiteral("/main2/preview_minicb.asp"), QStringLiteral("/main/regist/checkmember.jsp"),
            QStringLiteral("/id/id_main.asp")};
}

QByteArray WebServer::sisterPage(const QString &path)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Orchard</title></head>"
           "<body><p>Orchard (local service): " + path.toUtf8() + "</p></body></html>";
}

WebServer::~WebServer() = default;

bool WebServer::listen(quint16 port, QString *error)
{
    mPort = quint16(mServer->listen(QHostAddress::LocalHost, port));
    if (mPort == 0 && error)
        *error = QStringLiteral("web port %1: cannot listen").arg(port);
    return mPort != 0;
}

QString WebServer::baseURL() const { return QStringLiteral("http://127.0.0.1:%1").arg(mPort); }

QString WebServer::animiconBaseURL() const { return baseURL() + QStringLiteral("/animicon"); }

QString WebServer::mailCount(const QString &id) const
{
    // The portal ID arrives without its domain; the service keeps no mail.
    for (const QString &domain : {QString(), QStringLiteral("@parley.test")})
        if (mDirectory.account(id + domain))
            return QStringLiteral("unseen:0");
    return QStringLiteral("error:unknown");
}

QString WebServer::memoCount(const QString &formBody) const
{
    const Account *account = mDirectory.accountForCMN(formValue(formBody, QStringLiteral("owner_cmn")));
    if (!account || account->ticket.isEmpty() || account->ticket != formValue(formBody, QStringLiteral("ticket")))
        return QStringLiteral("ERROR\n\nresult=denied");
    return QStringLiteral("OK\n\nresult=cnt=%1").arg(mDirectory.memoCount(account->id));
}

QString WebServer::mainAccount(const QString &formBody) const
{
    // Every account here keeps the ordinary personal page (mode 1).
    QString reply = QStringLiteral("own:own:1<BR>");
    for (const QString &orcmn : buddyList(formBody))
        reply += orcmn + QLatin1Char(':') + orcmn + QLatin1String(":1<BR>");
    return reply;
}

QString WebServer::newPosts(const QString &formBody) const
{
    QString reply = QStringLiteral("ERROR<BR>");
    for (const QString &record : buddyList(formBody))
        reply += record.section(QLatin1Char(':'), 0, 0) + QLatin1String(":0:0<BR>");
    return reply;
}

} // namespace localservice
