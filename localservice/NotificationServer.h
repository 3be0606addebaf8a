#pragma once

// The notification server's sign-in part: key exchange, LIN4, options,
// configuration, group and buddy lists, keepalive and sign-out.

#include "ReceivedRecord.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QTcpServer;

namespace localservice {

class AccountDirectory;
class AccountStore;
class FileRelayServer;
class FaultPlan;
class KeyExchange;
class LineConnection;
class NotificationSession;
class SwitchboardServer;

class NotificationServer : public QObject {
    Q_OBJECT
public:
    NotificationServer(const AccountStore &accounts, KeyExchange &keyExchange,
                       const FaultPlan &faults, QObject *parent = nullptr);
    ~NotificationServer() override;

    // Listens on 127.0.0.1; port 0 lets the kernel choose.
    bool listen(quint16 port, QString *error);
    quint16 port() const;
    // The address announced to clients.
    QString host() const;

    // Serves a connection that reached us through the relay.
    void adopt(LineConnection *connection);
    // Sends "PING 0" on every connection that has signed in.
    void pingSignedIn();
    // Breaks every connection of a signed-in account without a word; answers
    // how many there were (tests of the client's retry).
    int dropSignedIn(const QString &userID);
    // How many "PING" answers the clients have sent so far.
    int pingAnswers() const { return mPingAnswers; }

    const AccountStore &accounts() const { return mAccounts; }
    // Who is signed in, and the accounts as the clients have changed them.
    AccountDirectory &directory() { return *mDirectory; }
    KeyExchange &keyExchange() { return mKeyExchange; }
    const FaultPlan &faults() const { return mFaults; }
    // Where RESS makes its rooms; none: RESS is refused.
    void setSwitchboard(SwitchboardServer *switchboard) { mSwitchboard = switchboard; }
    SwitchboardServer *switchboard() const { return mSwitchboard; }
    void countPingAnswer() { ++mPingAnswers; }
    // The client version a dispatch connection named in PVER before it sent
    // this user on to us (REQS); the next LIN4 of the user must name the
    // same. take...() answers null when no dispatch named one.
    void setDispatchedVersion(const QString &userID, const QString &version)
    {
        mDispatchedVersions.insert(userID, version);
    }
    QString takeDispatchedVersion(const QString &userID) { return mDispatchedVersions.take(userID); }
    // What each of the latest connections sent, in order (see ReceivedRecord).
    const ReceivedRecords &received() const { return mReceived; }
    // The file relay that REFR hands out (none: REFR is refused).
    void setFileRelay(FileRelayServer *relay) { mFileRelay = relay; }
    FileRelayServer *fileRelay() const { return mFileRelay; }

signals:
    // A client finished its sign-in (it sent CPRM after the buddy list).
    void signInCompleted(const QString &userID);

private:
    void acceptPending();

    const AccountStore &mAccounts;
    KeyExchange &mKeyExchange;
    const FaultPlan &mFaults;
    std::unique_ptr<AccountDirectory> mDirectory;
    QTcpServer *mServer;
    QList<QPointer<NotificationSession>> mSessions;
    int mPingAnswers = 0;
    QHash<QString, QString> mDispatchedVersions;
    ReceivedRecords mReceived;
    FileRelayServer *mFileRelay = nullptr;
    SwitchboardServer *mSwitchboard = nullptr;
};

} // namespace localservice
