// AsyncSocket: listening on IPv4 and IPv6 and accepting connections.
#include "AsyncSocket.h"

#include "Log.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>

namespace parley {

bool AsyncSocket::acceptOnInterface(const QString &interface, quint16 port, AsyncSocketError *error)
{
    if (!mDelegate)
        throw AsyncSocketException("Attempting to accept without a delegate. Set a delegate first.");
    if (!isDisconnected())
        throw AsyncSocketException("Attempting to accept while connected or accepting connections. Disconnect first.");
    emptyQueues();

    std::optional<QHostAddress> address4, address6;
    if (interface.isEmpty()) {
        address4 = QHostAddress(QHostAddress::AnyIPv4);
        address6 = QHostAddress(QHostAddress::AnyIPv6);
    } else if (interface == QLatin1String("localhost") || interface == QLatin1String("loopback")) {
        address4 = QHostAddress(QHostAddress::LocalHost);
        address6 = QHostAddress(QHostAddress::LocalHostIPv6);
    } else {
        QList<QHostAddress> found;
        QHostAddress literal;
        if (literal.setAddress(interface)) {
            found.append(literal);
        } else {
            const QHostInfo info = QHostInfo::fromName(interface);
            if (info.error() != QHostInfo::NoError) {
                if (error)
                    *error = AsyncSocketError::other(QStringLiteral("kCFStreamErrorDomainNetDB"), int(info.error()),
                                                     info.errorString());
                return false;
            }
            found = info.addresses();
        }
        for (const QHostAddress &a : found) {
            if (!address4 && a.protocol() == QAbstractSocket::IPv4Protocol)
                address4 = a;
            if (!address6 && a.protocol() == QAbstractSocket::IPv6Protocol)
                address6 = a;
        }
        if (!address4 && !address6)
            return false;
    }

    const auto fail = [&] {
        delete mServer4;
        delete mServer6;
        mServer4 = mServer6 = nullptr;
        if (error)
            *error = AsyncSocketError::socketError(AsyncSocketError::CFSocketError);
        return false;
    };
    const auto listenOn = [this](const QHostAddress &address, quint16 onPort) {
        auto *server = new QTcpServer(this);
        connect(server, &QTcpServer::newConnection, this, [this, server] { acceptPending(server); });
        if (!server->listen(address, onPort)) {
            plLog(QStringLiteral("AsyncSocket %1 cannot listen on %2 port %3: %4")
                      .arg(quintptr(this), 0, 16)
                      .arg(address.toString())
                      .arg(onPort)
                      .arg(server->errorString()));
            delete server;
            return static_cast<QTcpServer *>(nullptr);
        }
        return server;
    };
    quint16 port6 = port;
    if (address4) {
        mServer4 = listenOn(*address4, port);
        if (!mServer4)
            return fail();
        // Both families listen on the one port the system chose.
        port6 = mServer4->serverPort();
    }
    if (address6) {
        mServer6 = listenOn(*address6, port6);
        if (!mServer6)
            return fail();
    }
    mStarted = true;
    return true;
}

void AsyncSocket::acceptPending(QTcpServer *server)
{
    while (QTcpSocket *connection = server->nextPendingConnection()) {
        auto *child = new AsyncSocket(mDelegate);
        child->attach(connection);
        child->mStarted = true;
        QPointer<AsyncSocket> guard(child);
        QPointer<AsyncSocket> self(this);
        if (mDelegate)
            mDelegate->onSocketDidAcceptNewSocket(this, child);
        if (guard)
            QMetaObject::invokeMethod(child, &AsyncSocket::finishAccept, Qt::QueuedConnection);
        if (!self)
            return;
    }
}

void AsyncSocket::finishAccept()
{
    if (!mSocket || mOpen)
        return;
    QPointer<AsyncSocket> self(this);
    const bool go = !mDelegate || mDelegate->onSocketWillConnect(this);
    if (!self)
        return;
    if (!go) {
        close();
        return;
    }
    didOpen();
}

} // namespace parley
