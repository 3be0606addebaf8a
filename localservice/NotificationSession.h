#pragma once

// One client of the notification server, with its sign-in state:
//   opening --NCPT--> key offered --PRVK--> key agreed --LIN4--> signed in
//   --CPRM--> complete.
// LOPT, CONF, GLST, LIST and ONST need a signed-in client; PING, PONG and
// LOUT are taken in any state.

#include <QObject>
#include <QStringList>
#include <memory>

namespace localservice {

struct Account;
class KeyExchangeSession;
class LineConnection;
class NotificationServer;

class NotificationSession : public QObject {
    Q_OBJECT
public:
    NotificationSession(LineConnection *connection, NotificationServer &server);
    ~NotificationSession() override;

    // Sends a server PING to a signed-in client.
    void ping();

    // For the command handlers in the other source files.
    const QString &userID() const { return mUserID; }
    bool isSignedIn() const { return mState == State::SignedIn || mState == State::Complete; }
    NotificationServer &server() { return mServer; }
    void send(const QByteArray &bytes);
    void sendError(int code, qint64 tid) { replyError(code, tid); }
    bool expectBody(const QString &word, qint64 tid, const QStringList &fields,
                    const QString &lengthField)
    {
        return announceBody(word, tid, fields, lengthField);
    }
    // The server ends this login: KILL, then the connection closes.
    void kill();
    // The line breaks without a word (tests of the client's retry).
    void drop();

signals:
    void signInCompleted(const QString &userID);

private:
    enum class State { Opening, KeyOffered, KeyAgreed, SignedIn, Complete };

    // The header of a command whose body is still on its way.
    struct Pending {
        QString word;
        qint64 tid = 0;
        QStringList fields;
    };

    void connectionClosed();
    void handleLine(const QString &line);
    void handleBody(const QByteArray &body);
    bool announceBody(const QString &word, qint64 tid, const QStringList &fields,
                      const QString &lengthField);

    void handleNCPT(qint64 tid, const QStringList &fields);
    void handlePRVK(const Pending &p, const QByteArray &body);
    void handleLIN4(const Pending &p, const QByteArray &body);
    void handleCONF(qint64 tid, const QStringList &fields);
    void handleGLST(qint64 tid, const QStringList &fields);
    void handleLIST(qint64 tid);
    void handleREFR(qint64 tid, const QStringList &fields, bool signedIn);
    void handleRESS(qint64 tid, const QStringList &fields);

    // Checks a password field against the account by its password type.
    bool passwordMatches(const Account &account, const QString &password,
                         const QString &passwordType) const;
    void sendWithBody(const QString &word, qint64 tid, QStringList params,
                      const QByteArray &body);
    void replyError(int code, qint64 tid);

    LineConnection *mConnection;
    NotificationServer &mServer;
    std::unique_ptr<KeyExchangeSession> mKeySession;
    State mState = State::Opening;
    Pending mPending;
    bool mOversizeNext = false;
    QString mUserID;
};

} // namespace localservice
