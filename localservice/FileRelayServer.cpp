#include "FileRelayServer.h"

#include "RelaySplice.h"
#include "WireCheck.h"
#include "WireText.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

#include <unistd.h>

namespace localservice {

namespace {
constexpr qint64 kReadBuffer = 1024 * 1024;
} // namespace

FileRelayServer::FileRelayServer(QObject *parent) : QObject(parent), mServer(new QTcpServer(this))
{
    connect(mServer, &QTcpServer::newConnection, this, &FileRelayServer::acceptPending);
}

FileRelayServer::~FileRelayServer() = default;

bool FileRelayServer::listen(quint16 port, QString *error)
{
    if (mServer->listen(QHostAddress::LocalHost, port))
        return true;
    if (error)
        *error = QStringLiteral("file relay: %1").arg(mServer->errorString());
    return false;
}

quint16 FileRelayServer::port() const { return mServer->serverPort(); }

QString FileRelayServer::host() const { return QStringLiteral("127.0.0.1"); }

QString FileRelayServer::issueCookie()
{
    QString cookie;
    do {
        const quint64 a = QRandomGenerator::system()->generate64();
        const quint64 b = QRandomGenerator::system()->generate64();
        cookie = QString::number(a, 16) + QString::number(b, 16);
    } while (mIssued.contains(cookie));
    mIssued.insert(cookie);
    return cookie;
}

void FileRelayServer::acceptPending()
{
    while (QTcpSocket *socket = mServer->nextPendingConnection()) {
        socket->setParent(this);
        socket->setReadBufferSize(kReadBuffer);
        mFirstLines.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFirstLine(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { mFirstLines.remove(socket); });
    }
}

void FileRelayServer::readFirstLine(QTcpSocket *socket)
{
    auto it = mFirstLines.find(socket);
    if (it == mFirstLines.end())
        return;
    it.value() += socket->readAll();
    const qsizetype end = it.value().indexOf("\r\n");
    if (end < 0) {
        if (it.value().size() > kMaxFirstLine)
            socket->abort();
        return;
    }
    if (end > kMaxFirstLine) {
        socket->abort();
        return;
    }
    const QByteArray line = it.value().left(end + 2);
    const QByteArray rest = it.value().mid(end + 2);
    mFirstLines.erase(it);
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);

    // The first line must be a well-formed FRIN or relay ATHC; anything else
    // cuts the connection.
    const QString text = QString::fromUtf8(line.chopped(2));
    const QStringList textFields = wireSplit(text);
    QString why = lineFault(text, textFields, fileRelayShapes());
    if (why.isEmpty() && !fileRelayShapes().contains(textFields[0]))
        why = QStringLiteral("not FRIN or ATHC");
    if (!why.isEmpty()) {
        logRefusal("file relay", why, text);
        socket->abort();
        return;
    }
    const QList<QByteArray> fields = line.chopped(2).split(' ');
    const bool isFRIN = fields[0] == "FRIN";
    const QString cookie = QString::fromUtf8(isFRIN ? fields[3] : fields[5]);
    if (!mIssued.contains(cookie)) {
        socket->abort();
        return;
    }
    Waiting &waiting = mWaiting[cookie];
    if (isFRIN) {
        if (waiting.downloader) {
            socket->abort();
            return;
        }
        waiting.downloader = socket;
        waiting.downloaderRest = rest;
        waiting.peerID = QString::fromUtf8(fields[2]);
    } else {
        if (waiting.uploader) {
            socket->abort();
            return;
        }
        waiting.uploader = socket;
        waiting.athcLine = line;
        waiting.uploaderRest = rest;
    }
    tryJoin(cookie);
}

void FileRelayServer::tryJoin(const QString &cookie)
{
    Waiting &waiting = mWaiting[cookie];
    if (!waiting.downloader || !waiting.uploader)
        return;
    const Waiting pair = mWaiting.take(cookie);
    mIssued.remove(cookie);
    // The uploader must be the peer the downloader named.
    const QList<QByteArray> athc = pair.athcLine.trimmed().split(' ');
    if (QString::fromUtf8(athc.value(2)) != pair.peerID) {
        pair.downloader->abort();
        pair.uploader->abort();
        return;
    }
    ++mJoinedPairs;
    // From here on the kernel passes the bytes between the two (the relay
    // would only copy them through its memory): the descriptors go to the
    // pair, with what was read off them already, and the sockets let go.
    const QByteArray toDown = pair.athcLine + pair.uploaderRest + pair.uploader->readAll();
    const QByteArray toUp = pair.downloaderRest + pair.downloader->readAll();
    const int down = ::dup(int(pair.downloader->socketDescriptor()));
    const int up = ::dup(int(pair.uploader->socketDescriptor()));
    for (QTcpSocket *socket : {pair.downloader.data(), pair.uploader.data()}) {
        disconnect(socket, nullptr, this, nullptr);
        socket->abort();
    }
    if (down < 0 || up < 0) {
        for (const int fd : {down, up}) {
            if (fd >= 0)
                ::close(fd);
        }
        return;
    }
    new RelaySplice(down, up, toDown, toUp, this);
}

} // namespace localservice
