#pragma once

// Two forwarders in front of the local service, for watching how a client
// leaves: the client's dispatch server is the first (its REQS answer is
// rewritten to name the second), the second passes each notification
// connection on to the service and keeps every byte the client sent. When
// the service closes its side, the client's side stays open: only the
// client can close it, so a test sees whether the client did.

#include <QByteArray>
#include <QList>
#include <QObject>

class QTcpServer;
class QTcpSocket;

namespace facade::test {

class ServiceTap : public QObject {
    Q_OBJECT
public:
    ServiceTap(quint16 dispatchPort, quint16 notificationPort, QObject *parent = nullptr);
    ~ServiceTap() override;

    // The port to give the client as its dispatch server.
    quint16 dispatchPort() const;
    int notificationConnections() const { return int(mConnections.size()); }
    // What the client sent on notification connection `index` (accept order).
    QByteArray sent(int index) const;
    // Whether the client has closed notification connection `index`.
    bool closedByClient(int index) const;

private:
    struct Connection {
        QByteArray sent;
        bool closedByClient = false;
    };
    void acceptDispatch();
    void acceptNotification();

    QTcpServer *mDispatch;
    QTcpServer *mNotification;
    quint16 mServiceDispatchPort;
    quint16 mServiceNotificationPort;
    QList<Connection> mConnections;
};

} // namespace facade::test
