#pragma once

// An upload whose progress matters: sends one request and runs the calling
// thread's event loop until the reply has ended or failed, posting progress
// and the end as notifications (sender: the connection, on this thread).

#include <QByteArray>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QString>

#include <memory>

class QIODevice;
class QNetworkAccessManager;

namespace parley {

class PLURLConnection : public QObject
{
    Q_OBJECT
public:
    // Sends the request with the body read from the device, which must stay
    // open until the constructor returns, and waits for the end. Never on the
    // main thread: there it logs the guard and sends nothing.
    PLURLConnection(const QNetworkRequest &request, const QByteArray &method, QIODevice *body);
    ~PLURLConnection() override;

    QByteArray mResponseData() const { return mResponseData_; }
    // The HTTP status of the reply; 0 when none came.
    int mResponse() const { return mResponse_; }
    // Empty when the server answered.
    QString mError() const { return mError_; }
    bool mFinished() const { return mFinished_; }

private:
    void responseReceived(QNetworkReply *reply);
    void bodySent(qint64 sent, qint64 total);
    void loadingEnded(QNetworkReply *reply);

    std::unique_ptr<QNetworkAccessManager> mConnection;
    QByteArray mResponseData_;
    int mResponse_ = 0;
    QString mError_;
    bool mFinished_ = false;
};

} // namespace parley
