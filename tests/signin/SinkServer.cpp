#include "SinkServer.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace parley::test {

SinkServer::SinkServer(QObject *parent) : QObject(parent), mServer(new QTcpServer(this))
{
    mServer->listen(QHostAddress::LocalHost, 0);
    connect(mServer, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *client = mServer->nextPendingConnection()) {
            mClient = client;
            connect(client, &QTcpSocket::readyRead, this, [this, client] { mReceived += client->readAll(); });
        }
    });
}

quint16 SinkServer::port() const { return mServer->serverPort(); }

void SinkServer::reply(const QByteArray &bytes)
{
    if (mClient)
        mClient->write(bytes);
}

void SinkServer::closeClient()
{
    if (mClient)
        mClient->disconnectFromHost();
}

QStringList SinkServer::lines() const
{
    QStringList result;
    const QList<QByteArray> parts = mReceived.split('\n');
    for (qsizetype i = 0; i + 1 < parts.size(); ++i)
        result.append(QString::fromUtf8(parts[i]).remove(QLatin1Char('\r')));
    return result;
}

} // namespace parley::test
