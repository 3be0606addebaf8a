#pragma once

// Drives a sign-in the way the account-session facade does: a login-dispatch
// session, then a notification-server session on the address it answers,
// and on each report the next step (session key and PRVK, LIN4, LOPT, CONF,
// GLST, and after the last buddy "CPRM 23 0" and the keepalive). It records
// every delegate call in order ("dpl:dpServerInfoReceived",
// "dp:publicKeyReceived", ...).

#include "Sessions/PLDPLSession.h"
#include "Sessions/PLDPSession.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace parley::test {

class SignInDriver : public QObject, public PLDPLSessionDelegate, public PLDPSessionDelegate
{
    Q_OBJECT

public:
    SignInDriver(const QString &userID, const QString &password);
    ~SignInDriver() override;

    // Relay mode: both sessions reach their servers through the relay on
    // 127.0.0.1:relayPort, sending RCON once connected.
    void setRelayPort(quint16 relayPort) { mRelayPort = relayPort; }
    // The port the notification-server session really connects to, given the
    // one the dispatch server named (to put a transcript in between).
    void setPortMapper(std::function<quint16(quint16)> mapper) { mMapPort = std::move(mapper); }

    // Starts with the login-dispatch session on the endpoints' dispatch server.
    void start();

    const QStringList &events() const { return mEvents; }
    // The delegate calls without repeats of the same call in a row.
    QStringList eventKinds() const;
    int count(const QString &event) const { return int(mEvents.count(event)); }
    bool has(const QString &event) const { return mEvents.contains(event); }
    bool signedIn() const { return mSignedIn; }
    // The crypto glue's answer to the key exchange.
    const QVariantMap &keyResult() const { return mKeyResult; }
    const QVariantMap &myInfo() const { return mMyInfo; }
    PLDPLSession *dplSession() const { return mDPL.get(); }
    PLDPSession *dpSession() const { return mDP.get(); }

    // PLDPLSessionDelegate
    void dplSessionDpServerInfoReceived(PLDPLSession *, const QVariantMap &info) override;
    void dplSessionRemoteConnected(PLDPLSession *, const QVariantMap &) override;
    // PLDPSessionDelegate
    void dpSessionPublicKeyReceived(PLDPSession *, const QVariantMap &info) override;
    void dpSessionSendSessionKeyResultReceived(PLDPSession *, const QVariantMap &) override;
    void dpSessionMyInfoReceived(PLDPSession *, const QVariantMap &info) override;
    void dpSessionLoptReceived(PLDPSession *, const QVariantMap &) override;
    void dpSessionConfReceived(PLDPSession *, const QVariantMap &info) override;
    void dpSessionGroupInfoReceived(PLDPSession *, const QVariantMap &info) override;
    void dpSessionBuddyInfoReceived(PLDPSession *, const QVariantMap &info) override;
    void dpSessionNoBuddyInfoReceived(PLDPSession *, const QVariantMap &) override;
    void dpSessionLoginCompleted(PLDPSession *, const QVariantMap &) override;
    void dpSessionRemoteConnected(PLDPSession *, const QVariantMap &) override;
    void dpSessionServerTimeout(PLDPSession *, const QVariantMap &) override;
    void dpSessionErrorCodeReceived(PLDPSession *, const QVariantMap &info) override;

private:
    void finishSignIn();
    // Sends RCON once the session's socket is connected.
    void remoteConnectWhenConnected(PLSession *session);

    QString mUserID;
    QString mPassword;
    quint16 mRelayPort = 0;
    std::function<quint16(quint16)> mMapPort;
    PLSessionPtr mDPLHolder;
    PLSessionPtr mDPHolder;
    QPointer<PLDPLSession> mDPL;
    QPointer<PLDPSession> mDP;
    QStringList mEvents;
    QVariantMap mKeyResult;
    QVariantMap mMyInfo;
    bool mSignedIn = false;
};

} // namespace parley::test
