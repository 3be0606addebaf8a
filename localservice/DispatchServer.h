#pragma once

// The login-dispatch server: answers PVER, AUTH and REQS with the address of
// the notification server, and plays the relay when a client opens with RCON.

#include <QObject>
#include <QString>

class QTcpServer;

namespace localservice {

class FaultPlan;
class LineConnection;
class NotificationServer;

class DispatchServer : public QObject {
    Q_OBJECT
public:
    // The notification server named in REQS answers and reached through RCON.
    DispatchServer(const FaultPlan &faults, NotificationServer &notification,
                   QObject *parent = nullptr);

    // Listens on 127.0.0.1; port 0 lets the kernel choose.
    bool listen(quint16 port, QString *error);
    quint16 port() const;

    const FaultPlan &faults() const { return mFaults; }
    NotificationServer &notification() { return mNotification; }

private:
    void acceptPending();

    const FaultPlan &mFaults;
    NotificationServer &mNotification;
    QTcpServer *mServer;
};

} // namespace localservice
