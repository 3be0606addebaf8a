#pragma once

// A small HTTP server for the web-request tests: listens on 127.0.0.1 on a
// port the kernel picks, records every request exactly as its bytes arrived
// and answers from a table of path -> reply body (404 for other paths).

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace parley::test {

struct ReceivedRequest {
    QByteArray method;
    QByteArray path;
    QList<QPair<QByteArray, QByteArray>> headers; // names as sent
    QByteArray body;

    // The value of a header by case-insensitive name; null when absent.
    QByteArray header(const QByteArray &name) const;
    int headerCount(const QByteArray &name) const;
};

class RawHttpServer : public QObject
{
public:
    RawHttpServer();
    ~RawHttpServer() override;

    quint16 port() const;
    QString url(const QString &path) const;
    void answer(const QByteArray &path, const QByteArray &body, const QByteArray &extraHeaders = {});
    // Answers the path with "302 Found" to the location.
    void redirect(const QByteArray &path, const QString &location);

    // Thread-safe: requests are recorded on the main thread.
    QList<ReceivedRequest> received() const;
    qsizetype receivedCount() const;

private:
    void readFrom(QTcpSocket *socket);

    QTcpServer *mServer;
    QHash<QByteArray, QPair<QByteArray, QByteArray>> mAnswers; // body, extra header lines
    QHash<QByteArray, QByteArray> mRedirects;
    QHash<QTcpSocket *, QByteArray> mPending;
    mutable QMutex mLock;
    QList<ReceivedRequest> mReceived;
};

} // namespace parley::test
