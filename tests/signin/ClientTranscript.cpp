#include "ClientTranscript.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace parley::test {

ClientTranscript::ClientTranscript(quint16 targetPort, QObject *parent)
    : QObject(parent), mServer(new QTcpServer(this)), mTargetPort(targetPort)
{
    mServer->listen(QHostAddress::LocalHost, 0);
    connect(mServer, &QTcpServer::newConnection, this, &ClientTranscript::accept);
}

ClientTranscript::~ClientTranscript() = default;

quint16 ClientTranscript::port() const { return mServer->serverPort(); }

void ClientTranscript::accept()
{
    while (QTcpSocket *client = mServer->nextPendingConnection()) {
        const int index = int(mSent.size());
        mSent.append(QByteArray());
        auto *server = new QTcpSocket(client);
        auto *pending = new QByteArray;
        connect(client, &QObject::destroyed, [pending] { delete pending; });
        connect(client, &QTcpSocket::readyRead, this, [this, client, server, pending, index] {
            const QByteArray bytes = client->readAll();
            mSent[index] += bytes;
            if (server->state() == QAbstractSocket::ConnectedState)
                server->write(bytes);
            else
                *pending += bytes;
        });
        connect(server, &QTcpSocket::connected, this, [server, pending] {
            server->write(*pending);
            pending->clear();
        });
        connect(server, &QTcpSocket::readyRead, this, [client, server] { client->write(server->readAll()); });
        connect(server, &QTcpSocket::disconnected, client, [client] { client->disconnectFromHost(); });
        connect(client, &QTcpSocket::disconnected, client, [client, server] {
            server->disconnectFromHost();
            client->deleteLater();
        });
        server->connectToHost(QHostAddress::LocalHost, mTargetPort);
    }
}

QStringList ClientTranscript::lines(int index) const
{
    QStringList result;
    QByteArray rest = mSent.value(index);
    while (true) {
        const qsizetype end = rest.indexOf("\r\n");
        if (end < 0)
            break;
        QString line = QString::fromUtf8(rest.left(end));
        rest.remove(0, end + 2);
        QStringList fields = line.split(QLatin1Char(' '));
        const QString word = fields.value(0);
        if (word == QLatin1String("PRVK") || word == QLatin1String("LIN4") || word == QLatin1String("LOPT")) {
            bool ok = false;
            const qsizetype length = fields.last().toLongLong(&ok);
            if (ok && length > 0 && rest.size() >= length) {
                rest.remove(0, length);
                if (word != QLatin1String("LOPT"))
                    fields.last() = QStringLiteral("#");
                line = fields.join(QLatin1Char(' '));
            }
        }
        result.append(line);
    }
    return result;
}

} // namespace parley::test
