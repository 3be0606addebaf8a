#pragma once

// The switchboard: chat rooms made on request of the notification server,
// entered by their key, with messages fanned out to every other member,
// whispers forwarded to one member, and the per-connection key exchange of
// encrypted rooms. Tests drive the server-side events (room closed, room timed
// out, notices, a new key) through the hooks below.

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QTcpServer;

namespace localservice {

class KeyExchange;
class SwitchboardRoom;
class SwitchboardSession;

class SwitchboardServer : public QObject {
    Q_OBJECT
public:
    explicit SwitchboardServer(KeyExchange &keyExchange, QObject *parent = nullptr);
    ~SwitchboardServer() override;

    // Listens on 127.0.0.1; port 0 lets the kernel choose.
    bool listen(quint16 port, QString *error);
    quint16 port() const;
    QString host() const { return QStringLiteral("127.0.0.1"); }

    // A new room; answers its key.
    QString createRoom();
    SwitchboardRoom *room(const QString &key) const;
    QStringList roomKeys() const { return mRooms.keys(); }
    // The login IDs in the room, in the order they entered.
    QStringList memberIDs(const QString &key) const;
    KeyExchange &keyExchange() { return mKeyExchange; }

    // Hooks: "DSEL" (code 0) to every member; "QUIT 0 1" (time-out) to every member;
    // a notice ("SPSH") of the given type word; a new key offered ("PBLK")
    // to every encrypted member; every member's connection cut.
    void closeRoom(const QString &key);
    void timeOutRoom(const QString &key);
    void pushNotice(const QString &key, const QString &typeWord, const QString &message);
    void offerNewKey(const QString &key);
    void dropRoom(const QString &key);

    // Every byte the switchboard read or wrote, for checks of what crossed
    // the wire.
    void setRecordTraffic(bool on) { mRecordTraffic = on; }
    const QByteArray &traffic() const { return mTraffic; }
    void record(const QByteArray &bytes)
    {
        if (mRecordTraffic)
            mTraffic += bytes;
    }
    // How many messages (MESG) the switchboard has fanned out.
    int messageCount() const { return mMessageCount; }
    void countMessage() { ++mMessageCount; }

    // Called by a member's session.
    void memberLeft(SwitchboardSession *member);

private:
    void acceptPending();

    KeyExchange &mKeyExchange;
    QTcpServer *mServer;
    QHash<QString, std::shared_ptr<SwitchboardRoom>> mRooms;
    QByteArray mTraffic;
    bool mRecordTraffic = false;
    int mMessageCount = 0;
    quint64 mNextRoom = 1;
};

} // namespace localservice
