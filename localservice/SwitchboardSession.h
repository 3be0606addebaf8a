#pragma once

// One connection to the switchboard, that is one member of one room:
//   opening [--NCPT--> key offered --PRVK--> key agreed] --ENTR--> in the room.
// A member whose key was agreed sends everything but the key exchange inside
// CRPT envelopes and receives everything the same way; nothing of its room
// crosses the wire in clear.

#include <QObject>
#include <QStringList>
#include <memory>

namespace localservice {

class KeyExchangeSession;
class LineConnection;
class SwitchboardRoom;
class SwitchboardServer;

class SwitchboardSession : public QObject {
    Q_OBJECT
public:
    SwitchboardSession(LineConnection *connection, SwitchboardServer &server);
    ~SwitchboardSession() override;

    const QString &loginID() const { return mLoginID; }
    // The ID as entered: login ID and the sign-in's key, "|"-separated.
    const QString &fullID() const { return mFullID; }
    const QString &nickName() const { return mNickName; }
    const QString &name() const { return mName; }
    bool isEncrypted() const { return mEncrypted; }
    bool isInRoom() const { return mState == State::InRoom; }

    // Writes one line (CR LF included), in an envelope when encrypted.
    void send(const QByteArray &line);
    // Writes without an envelope (key exchange, PBLK).
    void sendPlain(const QByteArray &bytes);
    // Offers a new key (PBLK); the member answers with ESSK.
    void offerNewKey();
    void closeAfterWriting();
    void abort();

private:
    enum class State { Opening, KeyOffered, KeyAgreed, InRoom };

    struct Pending {
        QString word;
        qint64 tid = 0;
        QStringList fields;
    };

    void handleLine(const QString &line, bool enveloped);
    void handleBody(const QByteArray &body);
    void handleNCPT(qint64 tid, const QStringList &fields);
    void handleENTR(qint64 tid, const QStringList &fields);
    void handleMESG(qint64 tid, const QStringList &fields);
    void handleWHSP(const QString &line, const QStringList &fields);
    void handleESSK(qint64 tid, const QStringList &fields);
    void replyError(int code, qint64 tid);
    void leave();

    LineConnection *mConnection;
    SwitchboardServer &mServer;
    std::unique_ptr<KeyExchangeSession> mKeySession;
    std::unique_ptr<KeyExchangeSession> mOfferedKey;
    State mState = State::Opening;
    Pending mPending;
    QString mRoomKey;
    QString mLoginID, mFullID, mNickName, mName;
    bool mLeft = false;
    bool mEncrypted = false;
};

} // namespace localservice
