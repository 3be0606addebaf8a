#include "PLURLConnection.h"

#include "Log.h"
#include "MainThread.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"

#include <QEventLoop>
#include <QNetworkAccessManager>

namespace parley {

namespace nn = notifications;

PLURLConnection::PLURLConnection(const QNetworkRequest &request, const QByteArray &method, QIODevice *body)
{
    // The wait below would freeze the interface.
    PL_GUARD_FLAG(!isMainThread());
    mConnection = std::make_unique<QNetworkAccessManager>();
    QNetworkReply *reply = mConnection->sendCustomRequest(request, method, body);
    PL_GUARD_OBJECT(reply);
    QEventLoop loop;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { responseReceived(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { mResponseData_ += reply->readAll(); });
    connect(reply, &QNetworkReply::uploadProgress, this, &PLURLConnection::bodySent);
    connect(reply, &QNetworkReply::finished, this, [this, reply, &loop] {
        loadingEnded(reply);
        loop.quit();
    });
    // The request's transfer time-out ends a stalled upload, so this wait ends.
    if (!reply->isFinished())
        loop.exec();
    delete reply;
}

PLURLConnection::~PLURLConnection() = default;

void PLURLConnection::responseReceived(QNetworkReply *reply)
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return;
    // A new response (after a redirect, say) starts the body afresh.
    mResponse_ = status.toInt();
    mResponseData_.clear();
}

void PLURLConnection::bodySent(qint64 sent, qint64 total)
{
    if (total <= 0)
        return;
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kURLConnectionProgress), this,
                                             {{QLatin1String(nn::kKeyBytesWritten), sent},
                                              {QLatin1String(nn::kKeyTotalBytes), total},
                                              {QLatin1String(nn::kKeyPercent), float(double(sent) / double(total))}});
}

void PLURLConnection::loadingEnded(QNetworkReply *reply)
{
    mResponseData_ += reply->readAll();
    mFinished_ = true;
    if (!reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        mError_ = reply->errorString();
        plLog(QStringLiteral("upload failed: ") + mError_);
        return;
    }
    mResponse_ = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kURLConnectionFinish), this,
                                             {{QLatin1String(nn::kKeyResponseData), mResponseData_}});
}

} // namespace parley
