#include "AnimiconDownload.h"

#include "Log.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

namespace AnimiconDownload {

void get(QNetworkAccessManager &network, const QString &url, QObject *context,
         std::function<void(std::optional<QByteArray>)> done)
{
    const QUrl address(url, QUrl::StrictMode);
    if (url.isEmpty() || !address.isValid()
        || (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https"))) {
        parley::plLog(QStringLiteral("animicon: not a web address: %1").arg(url));
        QMetaObject::invokeMethod(context, [done] { done(std::nullopt); }, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(address);
    request.setTransferTimeout(kTimeoutMilliseconds);
    QNetworkReply *reply = network.get(request);
    // A body over the limit is cut off as it arrives.
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kLargestBody)
            reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, context, [reply, url, done] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            parley::plLog(QStringLiteral("animicon: %1: %2").arg(url, reply->errorString()));
            done(std::nullopt);
            return;
        }
        const QByteArray body = reply->readAll();
        if (body.isEmpty() || body.size() > kLargestBody) {
            done(std::nullopt);
            return;
        }
        done(body);
    });
    // Without its context the reply has no one to hand its body to.
    QObject::connect(context, &QObject::destroyed, reply, [reply] {
        reply->abort();
        reply->deleteLater();
    });
}

} // namespace AnimiconDownload
