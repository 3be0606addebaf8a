#pragma once

// A stand-in switchboard for one client: accepts the connection, keeps every
// byte the client writes, and writes what the test gives it.

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace parley::test {

class WireCapture
{
public:
    WireCapture()
    {
        mServer.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&mServer, &QTcpServer::newConnection, [this] {
            mPeer = mServer.nextPendingConnection();
            QObject::connect(mPeer, &QTcpSocket::readyRead, [this] { received += mPeer->readAll(); });
        });
    }
    quint16 port() const { return mServer.serverPort(); }
    bool connected() const { return mPeer; }
    void write(const QByteArray &bytes)
    {
        if (mPeer)
            mPeer->write(bytes);
    }

    QByteArray received;

private:
    QTcpServer mServer;
    QPointer<QTcpSocket> mPeer;
};

} // namespace parley::test
