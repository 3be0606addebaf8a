#include "SwitchboardServer.h"

#include "LineConnection.h"
#include "SwitchboardRoom.h"
#include "SwitchboardSession.h"
#include "WireText.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

namespace localservice {

SwitchboardServer::SwitchboardServer(KeyExchange &keyExchange, QObject *parent)
    : QObject(parent), mKeyExchange(keyExchange), mServer(new QTcpServer(this))
{
    connect(mServer, &QTcpServer::newConnection, this, &SwitchboardServer::acceptPending);
}

SwitchboardServer::~SwitchboardServer()
{
    // The connections go with the server; nobody is told they left.
    for (SwitchboardSession *session : findChildren<SwitchboardSession *>())
        session->disconnect(this);
    mRooms.clear();
}

bool SwitchboardServer::listen(quint16 port, QString *error)
{
    if (mServer->listen(QHostAddress::LocalHost, port))
        return true;
    if (error)
        *error = QStringLiteral("switchboard port %1: %2").arg(port).arg(mServer->errorString());
    return false;
}

quint16 SwitchboardServer::port() const { return mServer->serverPort(); }

QString SwitchboardServer::createRoom()
{
    // A counter keeps keys unique; the random part keeps them unguessable.
    const QString key = QStringLiteral("%1%2")
                            .arg(mNextRoom++, 4, 10, QLatin1Char('0'))
                            .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    mRooms.insert(key, std::make_shared<SwitchboardRoom>(key));
    return key;
}

SwitchboardRoom *SwitchboardServer::room(const QString &key) const { return mRooms.value(key).get(); }

QStringList SwitchboardServer::memberIDs(const QString &key) const
{
    QStringList ids;
    if (SwitchboardRoom *r = room(key))
        for (SwitchboardSession *member : r->members())
            ids.append(member->loginID());
    return ids;
}

void SwitchboardServer::acceptPending()
{
    while (QTcpSocket *socket = mServer->nextPendingConnection()) {
        auto *connection = new LineConnection(socket, this);
        connect(connection, &LineConnection::closed, connection, &QObject::deleteLater);
        new SwitchboardSession(connection, *this);
    }
}

void SwitchboardServer::memberLeft(SwitchboardSession *member)
{
    const auto rooms = mRooms; // a room may go while we walk
    for (const auto &r : rooms) {
        const QList<SwitchboardSession *> members = r->members();
        if (!members.contains(member))
            continue;
        r->remove(member);
        for (SwitchboardSession *other : r->members())
            other->send(wireLine(QStringLiteral("QUIT"), 0, {member->loginID()}));
        if (r->isEmpty())
            mRooms.remove(r->key());
    }
}

void SwitchboardServer::closeRoom(const QString &key)
{
    if (SwitchboardRoom *r = room(key))
        for (SwitchboardSession *member : r->members()) {
            member->send(wireLine(QStringLiteral("DSEL"), 0, {QStringLiteral("0")}));
            member->closeAfterWriting();
        }
}

void SwitchboardServer::timeOutRoom(const QString &key)
{
    if (SwitchboardRoom *r = room(key))
        for (SwitchboardSession *member : r->members())
            member->send(wireLine(QStringLiteral("QUIT"), 0, {QStringLiteral("1")}));
}

void SwitchboardServer::pushNotice(const QString &key, const QString &typeWord, const QString &message)
{
    if (SwitchboardRoom *r = room(key))
        for (SwitchboardSession *member : r->members())
            member->send(wireLine(QStringLiteral("SPSH"), 0, {typeWord, message}));
}

void SwitchboardServer::offerNewKey(const QString &key)
{
    if (SwitchboardRoom *r = room(key))
        for (SwitchboardSession *member : r->members())
            member->offerNewKey();
}

void SwitchboardServer::dropRoom(const QString &key)
{
    if (SwitchboardRoom *r = room(key))
        for (SwitchboardSession *member : r->members())
            member->abort();
}

} // namespace localservice
