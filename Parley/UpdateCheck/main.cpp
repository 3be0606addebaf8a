// parley-update-check URL
//
// Fetches one version list of the update check and writes it to standard
// output; exit status 0 only for a whole list answered with status 200. A
// failure is one line on standard error and exit status 1 (2: bad
// arguments). The messenger runs it for each list so that fetching over
// https (the TLS library and its set-up, several megabytes) costs memory in
// this short-lived process rather than for the whole run of the messenger.
//
// Only https, or plain http from this machine, is fetched, redirects
// included; a list over 1 MB is refused; a stalled transfer ends after 60 s.
#include "UpdateDecisions.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <cstdio>

namespace {

constexpr qint64 kMaxListBytes = parley::UpdateDecisions::kMaxListBytes;
constexpr int kTransferTimeoutMs = 60000;

int fail(const QString &why, int status = 1)
{
    std::fprintf(stderr, "%s\n", why.toLocal8Bit().constData());
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2)
        return fail(QStringLiteral("usage: parley-update-check URL"), 2);
    const QUrl url(arguments.at(1), QUrl::StrictMode);
    if (!url.isValid() || !parley::UpdateDecisions::isAllowedDownloadURL(url))
        return fail(QStringLiteral("%1 is not fetched: https only").arg(arguments.at(1)), 2);

    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setTransferTimeout(kTransferTimeoutMs);
    QNetworkReply *reply = network.get(request);
    QString refused;
    // A redirect must meet the same rule as the address asked for.
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, &refused](const QUrl &target) {
        if (parley::UpdateDecisions::isAllowedDownloadURL(target)) {
            emit reply->redirectAllowed();
        } else {
            refused = QStringLiteral("refused a redirect to %1").arg(target.toString());
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply, &refused](qint64 received, qint64) {
        if (received > kMaxListBytes) {
            refused = QStringLiteral("the list is over %1 bytes").arg(kMaxListBytes);
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &app, &QCoreApplication::quit);
    if (!reply->isFinished())
        app.exec();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!refused.isEmpty())
        return fail(refused);
    if (reply->error() != QNetworkReply::NoError)
        return fail(reply->errorString());
    if (status != 200)
        return fail(QStringLiteral("the server answered %1").arg(status));
    const QByteArray list = reply->readAll();
    if (list.size() > kMaxListBytes)
        return fail(QStringLiteral("the list is over %1 bytes").arg(kMaxListBytes));
    if (std::fwrite(list.constData(), 1, size_t(list.size()), stdout) != size_t(list.size()) || std::fflush(stdout) != 0)
        return fail(QStringLiteral("the list could not be written out"));
    return 0;
}
