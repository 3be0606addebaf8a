#include "RawHttpServer.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

namespace parley::test {

QByteArray ReceivedRequest::header(const QByteArray &name) const
{
    for (const auto &entry : headers) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0)
            return entry.second;
    }
    return QByteArray();
}

int ReceivedRequest::headerCount(const QByteArray &name) const
{
    int count = 0;
    for (const auto &entry : headers)
        count += entry.first.compare(name, Qt::CaseInsensitive) == 0;
    return count;
}

RawHttpServer::RawHttpServer() : mServer(new QTcpServer(this))
{
    mServer->listen(QHostAddress::LocalHost, 0);
    connect(mServer, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = mServer->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QObject::destroyed, this, [this, socket] { mPending.remove(socket); });
        }
    });
}

RawHttpServer::~RawHttpServer() = default;

void RawHttpServer::redirect(const QByteArray &path, const QString &location)
{
    mRedirects.insert(path, location.toUtf8());
}

quint16 RawHttpServer::port() const { return mServer->serverPort(); }

QString RawHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void RawHttpServer::answer(const QByteArray &path, const QByteArray &body, const QByteArray &extraHeaders)
{
    mAnswers.insert(path, {body, extraHeaders});
}

QList<ReceivedRequest> RawHttpServer::received() const
{
    QMutexLocker lock(&mLock);
    return mReceived;
}

qsizetype RawHttpServer::receivedCount() const
{
    QMutexLocker lock(&mLock);
    return mReceived.size();
}

void RawHttpServer::readFrom(QTcpSocket *socket)
{
    QByteArray &buffer = mPending[socket];
    buffer += socket->readAll();
    for (;;) {
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        ReceivedRequest request;
        const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
        request.method = requestLine.value(0);
        request.path = requestLine.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines.at(i).trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
        }
        const qsizetype length = request.header("Content-Length").toLongLong();
        if (buffer.size() < headerEnd + 4 + length)
            return;
        request.body = buffer.mid(headerEnd + 4, length);
        buffer.remove(0, headerEnd + 4 + length);
        {
            QMutexLocker lock(&mLock);
            mReceived.append(request);
        }
        if (mRedirects.contains(request.path)) {
            socket->write("HTTP/1.1 302 Found\r\nLocation: " + mRedirects.value(request.path)
                          + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        const auto found = mAnswers.constFind(request.path);
        const QByteArray status = found == mAnswers.constEnd() ? "404 Not Found" : "200 OK";
        const QByteArray body = found == mAnswers.constEnd() ? QByteArray() : found.value().first;
        const QByteArray extra = found == mAnswers.constEnd() ? QByteArray() : found.value().second;
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain; charset=utf-8\r\n" + extra
                      + "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n"
                      + body);
        socket->disconnectFromHost();
        return;
    }
}

} // namespace parley::test
