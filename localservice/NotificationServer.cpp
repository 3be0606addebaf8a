#include "NotificationServer.h"

#include "AccountDirectory.h"
#include "FaultPlan.h"
#include "LineConnection.h"
#include "NotificationSession.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace localservice {

NotificationServer::NotificationServer(const AccountStore &accounts, KeyExchange &keyExchange,
                                       const FaultPlan &faults, QObject *parent)
    : QObject(parent), mAccounts(accounts), mKeyExchange(keyExchange), mFaults(faults),
      mDirectory(std::make_unique<AccountDirectory>(accounts)), mServer(new QTcpServer(this))
{
    connect(mServer, &QTcpServer::newConnection, this, &NotificationServer::acceptPending);
}

NotificationServer::~NotificationServer()
{
    // The connections (and their sessions) go first: they still use the directory.
    const auto connections = findChildren<LineConnection *>(Qt::FindDirectChildrenOnly);
    for (LineConnection *c : connections)
        c->disconnect();
    qDeleteAll(connections);
}

bool NotificationServer::listen(quint16 port, QString *error)
{
    if (mServer->listen(QHostAddress::LocalHost, port))
        return true;
    if (error)
        *error = QStringLiteral("notification port %1: %2").arg(port).arg(mServer->errorString());
    return false;
}

quint16 NotificationServer::port() const
{
    return mServer->serverPort();
}

QString NotificationServer::host() const
{
    return QStringLiteral("127.0.0.1");
}

int NotificationServer::dropSignedIn(const QString &userID)
{
    const QList<NotificationSession *> sessions = mDirectory->sessionsOf(userID);
    for (NotificationSession *session : sessions)
        session->drop();
    return int(sessions.size());
}

void NotificationServer::acceptPending()
{
    while (QTcpSocket *socket = mServer->nextPendingConnection()) {
        auto *connection = new LineConnection(socket, this);
        connection->setTrickle(mFaults.trickle());
        adopt(connection);
    }
}

void NotificationServer::adopt(LineConnection *connection)
{
    connection->setParent(this);
    connect(connection, &LineConnection::closed, connection, &QObject::deleteLater,
            Qt::UniqueConnection);
    mReceived.add(connection->record());
    auto *session = new NotificationSession(connection, *this);
    connect(session, &NotificationSession::signInCompleted, this,
            &NotificationServer::signInCompleted);
    mSessions.removeAll(nullptr);
    mSessions.append(session);
}

void NotificationServer::pingSignedIn()
{
    for (const QPointer<NotificationSession> &session : std::as_const(mSessions))
        if (session)
            session->ping();
}

} // namespace localservice
