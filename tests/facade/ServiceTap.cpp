#include "ServiceTap.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace facade::test {

namespace {

// Writes the bytes to `to`, or keeps them until it is connected.
void pass(QTcpSocket *to, QByteArray *pending, const QByteArray &bytes)
{
    if (to->state() == QAbstractSocket::ConnectedState)
        to->write(bytes);
    else
        *pending += bytes;
}

} // namespace

ServiceTap::ServiceTap(quint16 dispatchPort, quint16 notificationPort, QObject *parent)
    : QObject(parent), mDispatch(new QTcpServer(this)), mNotification(new QTcpServer(this)),
      mServiceDispatchPort(dispatchPort), mServiceNotificationPort(notificationPort)
{
    mDispatch->listen(QHostAddress::LocalHost, 0);
    mNotification->listen(QHostAddress::LocalHost, 0);
    connect(mDispatch, &QTcpServer::newConnection, this, &ServiceTap::acceptDispatch);
    connect(mNotification, &QTcpServer::newConnection, this, &ServiceTap::acceptNotification);
}

ServiceTap::~ServiceTap() = default;

quint16 ServiceTap::dispatchPort() const { return mDispatch->serverPort(); }

QByteArray ServiceTap::sent(int index) const { return mConnections.value(index).sent; }

bool ServiceTap::closedByClient(int index) const { return mConnections.value(index).closedByClient; }

void ServiceTap::acceptDispatch()
{
    while (QTcpSocket *client = mDispatch->nextPendingConnection()) {
        client->setParent(this);
        auto *service = new QTcpSocket(client);
        auto *pending = new QByteArray;
        auto *answers = new QByteArray;
        connect(client, &QObject::destroyed, [pending, answers] {
            delete pending;
            delete answers;
        });
        connect(client, &QTcpSocket::readyRead, this, [client, service, pending] { pass(service, pending, client->readAll()); });
        connect(service, &QTcpSocket::connected, this, [service, pending] {
            service->write(*pending);
            pending->clear();
        });
        // Whole lines only; the REQS answer names our notification port.
        connect(service, &QTcpSocket::readyRead, this, [this, client, service, answers] {
            *answers += service->readAll();
            qsizetype end;
            while ((end = answers->indexOf("\r\n")) >= 0) {
                QByteArray line = answers->left(end);
                answers->remove(0, end + 2);
                if (line.startsWith("REQS ")) {
                    QList<QByteArray> fields = line.split(' ');
                    fields.last() = QByteArray::number(mNotification->serverPort());
                    line = fields.join(' ');
                }
                client->write(line + "\r\n");
            }
        });
        connect(service, &QTcpSocket::disconnected, client, [client] { client->disconnectFromHost(); });
        connect(client, &QTcpSocket::disconnected, client, [client, service] {
            service->disconnectFromHost();
            client->deleteLater();
        });
        service->connectToHost(QHostAddress::LocalHost, mServiceDispatchPort);
    }
}

void ServiceTap::acceptNotification()
{
    while (QTcpSocket *client = mNotification->nextPendingConnection()) {
        client->setParent(this);
        const qsizetype index = mConnections.size();
        mConnections.append(Connection{});
        auto *service = new QTcpSocket(client);
        auto *pending = new QByteArray;
        connect(client, &QObject::destroyed, [pending] { delete pending; });
        connect(client, &QTcpSocket::readyRead, this, [this, client, service, pending, index] {
            const QByteArray bytes = client->readAll();
            mConnections[index].sent += bytes;
            pass(service, pending, bytes);
        });
        connect(service, &QTcpSocket::connected, this, [service, pending] {
            service->write(*pending);
            pending->clear();
        });
        connect(service, &QTcpSocket::readyRead, this, [client, service] { client->write(service->readAll()); });
        // The service's close is not passed on (see the header).
        connect(client, &QTcpSocket::disconnected, this, [this, client, service, index] {
            mConnections[index].sent += client->readAll();
            mConnections[index].closedByClient = true;
            service->disconnectFromHost();
            client->deleteLater();
        });
        service->connectToHost(QHostAddress::LocalHost, mServiceNotificationPort);
    }
}

} // namespace facade::test
