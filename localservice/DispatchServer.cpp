#include "DispatchServer.h"

#include "DispatchSession.h"
#include "FaultPlan.h"
#include "LineConnection.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace localservice {

DispatchServer::DispatchServer(const FaultPlan &faults, NotificationServer &notification,
                               QObject *parent)
    : QObject(parent), mFaults(faults), mNotification(notification),
      mServer(new QTcpServer(this))
{
    connect(mServer, &QTcpServer::newConnection, this, &DispatchServer::acceptPending);
}

bool DispatchServer::listen(quint16 port, QString *error)
{
    if (mServer->listen(QHostAddress::LocalHost, port))
        return true;
    if (error)
        *error = QStringLiteral("dispatch port %1: %2").arg(port).arg(mServer->errorString());
    return false;
}

quint16 DispatchServer::port() const
{
    return mServer->serverPort();
}

void DispatchServer::acceptPending()
{
    while (QTcpSocket *socket = mServer->nextPendingConnection()) {
        auto *connection = new LineConnection(socket, this);
        connection->setTrickle(mFaults.trickle());
        new DispatchSession(connection, *this);
    }
}

} // namespace localservice
