#pragma once

// Small servers for transport tests, always on 127.0.0.1 with a port chosen
// by the kernel. Each connection's bytes are collected and handed to a
// handler, which may answer, close, or do nothing.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>

namespace parley::test {

class FakePeer
{
public:
    struct Connection
    {
        QPointer<QTcpSocket> socket;
        QByteArray received;
        int stage = 0; // free for the handler
    };
    using Handler = std::function<void(Connection &)>;

    explicit FakePeer(Handler handler = {}) : mHandler(std::move(handler))
    {
        mServer.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&mServer, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = mServer.nextPendingConnection()) {
                auto connection = std::make_shared<Connection>();
                connection->socket = socket;
                mConnections.append(connection);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, connection] {
                    connection->received.append(connection->socket->readAll());
                    if (mHandler)
                        mHandler(*connection);
                });
            }
        });
    }
    quint16 port() const { return mServer.serverPort(); }
    const QList<std::shared_ptr<Connection>> &connections() const { return mConnections; }
    QByteArray receivedOn(qsizetype index) const
    {
        return index < mConnections.size() ? mConnections[index]->received : QByteArray();
    }
    void stopListening() { mServer.close(); }

private:
    QTcpServer mServer;
    Handler mHandler;
    QList<std::shared_ptr<Connection>> mConnections;
};

} // namespace parley::test
