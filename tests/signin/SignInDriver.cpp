#include "SignInDriver.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Sessions/PLEncrypUtil.h"
#include "Utils/PLClientVersion.h"

#include <QTimer>

namespace parley::test {

SignInDriver::SignInDriver(const QString &userID, const QString &password)
    : mUserID(userID), mPassword(password)
{
}

SignInDriver::~SignInDriver()
{
    if (mDPL)
        mDPL->setDelegate(nullptr);
    if (mDP)
        mDP->setDelegate(nullptr);
}

QStringList SignInDriver::eventKinds() const
{
    QStringList kinds;
    for (const QString &event : mEvents)
        if (kinds.isEmpty() || kinds.last() != event)
            kinds.append(event);
    return kinds;
}

void SignInDriver::remoteConnectWhenConnected(PLSession *session)
{
    auto *poll = new QTimer(this);
    QPointer<PLSession> target(session);
    connect(poll, &QTimer::timeout, this, [poll, target] {
        if (!target) {
            poll->deleteLater();
        } else if (target->isConnected()) {
            poll->deleteLater();
            target->remoteConnect();
        }
    });
    poll->start(5);
}

void SignInDriver::start()
{
    PLMyInfoManager::sharedManager().setLoginID(mUserID);
    auto *dpl = new PLDPLSession;
    mDPLHolder.reset(dpl);
    mDPL = dpl;
    dpl->setDelegate(this);
    dpl->setClientVersion(PLClientVersion()); // as the facade: the sign-in names the same
    dpl->setProtocolVersion(QStringLiteral("3.0"));
    dpl->setLangOS(QStringLiteral("ko.macm"));
    dpl->setAuthType(QStringLiteral("DES"));
    dpl->setUserID(mUserID);
    if (mRelayPort)
        dpl->setPRSModeWithInfo({{QStringLiteral("host"), QStringLiteral("127.0.0.1")},
                                 {QStringLiteral("portNo"), mRelayPort}});
    dpl->connect();
    if (mRelayPort)
        remoteConnectWhenConnected(dpl);
}

void SignInDriver::dplSessionDpServerInfoReceived(PLDPLSession *, const QVariantMap &info)
{
    mEvents.append(QStringLiteral("dpl:dpServerInfoReceived"));
    const quint16 named = quint16(info.value(QStringLiteral("port")).toInt());
    auto *dp = new PLDPSession(info.value(QStringLiteral("ip")).toString(), mMapPort ? mMapPort(named) : named);
    mDPHolder.reset(dp);
    mDP = dp;
    if (mRelayPort)
        dp->setPRSModeWithInfo({{QStringLiteral("host"), QStringLiteral("127.0.0.1")},
                                {QStringLiteral("portNo"), mRelayPort}});
    dp->setUserID(mUserID, mPassword, false);
    dp->setDelegate(this);
    dp->connect();
    if (mRelayPort)
        remoteConnectWhenConnected(dp);
    if (mDPL) {
        mDPL->setDelegate(nullptr);
        mDPL->disconnect();
    }
    mDPLHolder.reset();
}

void SignInDriver::dplSessionRemoteConnected(PLDPLSession *session, const QVariantMap &)
{
    mEvents.append(QStringLiteral("dpl:remoteConnected"));
    session->sendRequestForDPServerInfo();
}

void SignInDriver::dpSessionRemoteConnected(PLDPSession *session, const QVariantMap &)
{
    mEvents.append(QStringLiteral("dp:remoteConnected"));
    session->login();
}

void SignInDriver::dpSessionPublicKeyReceived(PLDPSession *session, const QVariantMap &info)
{
    mEvents.append(QStringLiteral("dp:publicKeyReceived"));
    mKeyResult = PLEncrypUtil::shared().encryptSessionKey(info.value(QStringLiteral("publicKey")).toByteArray(), false);
    const QString key = mKeyResult.value(QStringLiteral("value")).toString();
    if (key.isEmpty())
        return;
    session->setEncryptKey(key);
    session->sendPRVKPacket({{QStringLiteral("encodeType"), QStringLiteral("BASE64")},
                             {QStringLiteral("sessionKey"), key}});
}

void SignInDriver::dpSessionSendSessionKeyResultReceived(PLDPSession *session, const QVariantMap &)
{
    mEvents.append(QStringLiteral("dp:sendSessionKeyResultReceived"));
    session->sendLIN4Packet(QStringLiteral("NE3"));
}

void SignInDriver::dpSessionMyInfoReceived(PLDPSession *session, const QVariantMap &info)
{
    mEvents.append(QStringLiteral("dp:myInfoReceived"));
    mMyInfo = info;
    session->requestLOPTData();
}

void SignInDriver::dpSessionLoptReceived(PLDPSession *session, const QVariantMap &)
{
    mEvents.append(QStringLiteral("dp:loptReceived"));
    if (session->dpState() == PLDPSession::SignedIn)
        session->requestCONFData(0);
}

void SignInDriver::dpSessionConfReceived(PLDPSession *session, const QVariantMap &)
{
    mEvents.append(QStringLiteral("dp:confReceived"));
    session->requestGLSTData(0);
}

void SignInDriver::dpSessionGroupInfoReceived(PLDPSession *, const QVariantMap &)
{
    mEvents.append(QStringLiteral("dp:groupInfoReceived"));
}

void SignInDriver::dpSessionBuddyInfoReceived(PLDPSession *, const QVariantMap &info)
{
    mEvents.append(QStringLiteral("dp:buddyInfoReceived"));
    if (info.value(QStringLiteral("isLast")).toBool())
        finishSignIn();
}

void SignInDriver::dpSessionNoBuddyInfoReceived(PLDPSession *, const QVariantMap &)
{
    mEvents.append(QStringLiteral("dp:noBuddyInfoReceived"));
    finishSignIn();
}

void SignInDriver::finishSignIn()
{
    if (!mDP)
        return;
    mDP->sendPacketString(QStringLiteral("CPRM 23 0\r\n"));
    mDP->setIsAvailablePONG(true);
    mDP->loginCompleted();
}

void SignInDriver::dpSessionLoginCompleted(PLDPSession *, const QVariantMap &)
{
    mEvents.append(QStringLiteral("dp:loginCompleted"));
    mSignedIn = true;
}

void SignInDriver::dpSessionServerTimeout(PLDPSession *, const QVariantMap &)
{
    mEvents.append(QStringLiteral("dp:serverTimeout"));
}

void SignInDriver::dpSessionErrorCodeReceived(PLDPSession *, const QVariantMap &info)
{
    mEvents.append(QStringLiteral("dp:errorCodeReceived ") + info.value(QStringLiteral("errorCode")).toString());
}

} // namespace parley::test
