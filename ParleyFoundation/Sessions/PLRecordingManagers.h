#pragma once

// Stand-ins for the four managers that the sign-in reaches through small
// interfaces: each call is recorded as one line ("setMyIP 127.0.0.1"). Used
// by tests and until the real managers are installed.

#include "PLChatSessionManagerInterface.h"
#include "PLCookieManagerInterface.h"
#include "PLFileTransferManagerInterface.h"
#include "PLMailTransferManagerInterface.h"
#include "PLP2PSessionManagerInterface.h"

#include <QMutex>
#include <QStringList>
#include <QVariant>

namespace parley {

class PLRecordingManagers : public PLP2PSessionManagerInterface,
                            public PLCookieManagerInterface,
                            public PLChatSessionManagerInterface,
                            public PLFileTransferManagerInterface,
                            public PLMailTransferManagerInterface
{
public:
    // The calls with an answer take it from a table that tests fill
    // ("ipForSession", "portForSession", "myIP", "p2pPortNo", "p2pCookie",
    // "createConnectSession", "fileInfoForCookie", "isP2PSessionExist").
    void setAnswer(const QString &operation, const QVariant &answer);
    bool createConnectSession(const QVariantMap &info) override;
    void reset() override;
    QString myIP() override;
    int p2pPortNo() override;
    void setFileCookie(const QString &fileCookie, const QString &p2pCookie) override;
    void setSender(bool isSender, const QString &p2pCookie) override;
    void connectOfferSent(const QString &p2pCookie, const QString &fileCookie, const QString &myID,
                          const QString &peerID) override;
    QString p2pCookie() override;
    QString ipForSession(const QString &sessionKey) override;
    int portForSession(const QString &sessionKey) override;
    QVariantMap fileInfoForCookie(const QString &fileCookie) override;
    bool isP2PSessionExist(const QString &key) override;

    void setMyIP(const QString &ip) override;
    void setCMN(const QString &cmn) override;
    void setProxyMode(int mode, const QString &serverIP, int portNo) override;
    void setSession(PLParleySession *session) override;

    QStringList calls() const;
    void clear();

private:
    void record(const QString &line);
    QVariant answer(const QString &operation) const;

    mutable QMutex mMutex;
    QStringList mCalls;
    QVariantMap mAnswers;
};

} // namespace parley
