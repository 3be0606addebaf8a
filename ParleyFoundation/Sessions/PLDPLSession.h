#pragma once

// The first connection of every sign-in: the login-dispatch server checks the
// protocol version (PVER), agrees on the authentication type (AUTH) and names
// the notification server to sign in on (REQS). In relay mode the relay first
// connects on to the dispatch server (RCON, sent by the owner). The owner (the
// account-session facade) drops this session once the answer has arrived.

#include "PLDPLSessionDelegate.h"
#include "PLSession.h"

namespace parley {

class PLDPLSession : public PLSession
{
    Q_OBJECT

public:
    // Host and port of the login-dispatch server from the endpoints configuration.
    explicit PLDPLSession(QObject *parent = nullptr);

    void setDelegate(PLDPLSessionDelegate *delegate) { mDelegate = delegate; }
    PLDPLSessionDelegate *delegate() const { return mDelegate; }

    void setClientVersion(const QString &value) { mClientVersion = value; }
    const QString &clientVersion() const { return mClientVersion; }
    void setProtocolVersion(const QString &value) { mProtocolVersion = value; }
    const QString &protocolVersion() const { return mProtocolVersion; }
    void setLangOS(const QString &value) { mLangOS = value; }
    const QString &langOS() const { return mLangOS; }
    void setAuthType(const QString &value) { mAuthType = value; }
    const QString &authType() const { return mAuthType; }
    void setUserID(const QString &value) { mUserID = value; }
    const QString &userID() const { return mUserID; }

    // Sends PVER; the AUTH and REQS that follow are sent on their replies.
    bool sendRequestForDPServerInfo();
    // The last REQS answer: {"tid", "servername", "ip", "port"}; empty before.
    const QVariantMap &dpServerInfo() const { return mDPServerInfo; }

    void headerReceived(const QString &line) override;
    void bodyReceived(const QByteArray &body) override;
    void onSocketDidConnectToHost(AsyncSocket *socket, const QString &host, quint16 port) override;
    void onSocketWillDisconnectWithError(AsyncSocket *socket, const std::optional<AsyncSocketError> &error) override;

private:
    PLDPLSessionDelegate *mDelegate = nullptr;
    QString mClientVersion;
    QString mProtocolVersion;
    QString mLangOS;
    QString mAuthType;
    QString mUserID;
    QVariantMap mDPServerInfo;
};

} // namespace parley
