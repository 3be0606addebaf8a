// The account session's helpers: notifications, the job queue, the end of a
// login, the buddy list's completion, the sister-service queries and the
// notifications it observes.
#include "PLParleySession.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "HTTPInterface/PLHTTPManager.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLAccountWebQueries.h"
#include "PLDPLSession.h"
#include "PLDPSession.h"
#include "PLManagerRegistry.h"
#include "Utils/PLSystemPowerNotificationManager.h"

namespace parley {

void PLParleySession::post(const char *name, const QVariantMap &userInfo)
{
    NotificationCenter::defaultCenter().post(QString::fromLatin1(name), this, userInfo);
}

void PLParleySession::recordJob(const QVariantMap &job, bool sent)
{
    PL_GUARD_OBJECT(mDPSessionValue);
    mJobs.record(mDPSessionValue->recentTidKey(), job, sent);
}

void PLParleySession::dropDPLSession()
{
    if (!mDPLSessionValue)
        return;
    mDPLSessionValue->setDelegate(nullptr);
    mDPLSessionValue->disconnect();
    mDPLSessionValue->disposeLater();
    mDPLSessionValue = nullptr;
}

void PLParleySession::dropDPSession()
{
    if (!mDPSessionValue)
        return;
    PLDPSession *session = mDPSessionValue;
    mDPSessionValue = nullptr;
    session->setDelegate(nullptr);
    // A line still open (a sign-in over an old one, the facade going) is
    // signed out: the server must not take the user for lost.
    if (session->canSignOut())
        session->logout();
    if (session->hasSentLOUT()) {
        session->disposeAfterWriting(kSignOutWaitMs);
        if (session->isDraining()) {
            mSigningOut.append(session);
            // Drained, or (should anything delete it first) gone.
            const auto forget = [this, session] {
                if (mSigningOut.removeOne(session) && mSigningOut.isEmpty())
                    emit signOutFinished();
            };
            QObject::connect(session, &PLSession::drained, this, forget);
            QObject::connect(session, &QObject::destroyed, this, forget);
            // A machine going to sleep waits for the LOUT (the facade itself
            // may be gone by then: the session releases its own hold).
            if (PLSystemPowerNotificationManager::holdSleep())
                QObject::connect(session, &PLSession::drained, session, [] { PLSystemPowerNotificationManager::releaseSleep(); });
        }
        return;
    }
    // Named through the base: clang's sanitizer build otherwise emits a call
    // to a PLDPSession::disconnect that does not exist, and linking fails.
    session->PLSession::disconnect();
    session->disposeLater();
}

void PLParleySession::endKilledSession()
{
    // logout(...) refuses a session that is no longer logged in, and a killed
    // one never is again: end it here so that nothing of it lingers.
    if (mDPSessionValue)
        mDPSessionValue->logout();
    dropDPSession();
    mUserIDValue.clear();
    mPasswordValue.clear();
    mJobs.clear();
    PLManagerRegistry::cookieManager().reset();
    PLManagerRegistry::chatSessionManager().reset();
    PLManagerRegistry::p2pSessionManager().reset();
}

void PLParleySession::buddyListCompleted()
{
    PL_GUARD_OBJECT(mDPSessionValue);
    NotificationCenter::defaultCenter().post(QString::fromLatin1(notifications::kBuddyInfoDidDownloaded), this);
    setMyStatus(mIsShowAsOfflineValue ? 0 : 1);
    mDPSessionValue->sendPacketString(QStringLiteral("CPRM 23 0\r\n"));
    mDPSessionValue->loginCompleted();
}

QVariantMap PLParleySession::p2pConnectInfoWithUserID(const QString &userID)
{
    const QString ip = PLMyInfoManager::sharedManager().IPAddress();
    const QString cookie = PLManagerRegistry::cookieManager().p2pCookie();
    PL_GUARD_OBJECT(!userID.isEmpty() && !ip.isEmpty() && !cookie.isEmpty(), QVariantMap());
    return {{QStringLiteral("userID"), userID},
            {QStringLiteral("ip"), ip},
            {QStringLiteral("portNo"), PLManagerRegistry::p2pSessionManager().p2pPortNo()},
            {QStringLiteral("p2pCookie"), cookie}};
}

void PLParleySession::downloadMainAccountInfo()
{
    const QString url = PLAccountWebQueries::mainAccountURL();
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    PL_GUARD_OBJECT(!url.isEmpty() && !me.cmn().isEmpty() && !me.ticket().isEmpty());
    // Built here, on the main thread: the worker only sends it.
    const QString body = PLAccountWebQueries::mainAccountBody();
    PLAccountWebQueries::runDetached(
        this, [url, body]() { return PLHTTPManager::sharedManager().getReqPOST(body, url); },
        [this](const QString &reply) { mainAccountInfoDownloaded(reply); });
}

void PLParleySession::mainAccountInfoDownloaded(const QString &reply)
{
    PL_GUARD_OBJECT(!reply.isNull());
    PLAccountWebQueries::applyMainAccountReply(reply);
    post(notifications::kOrchardMainAccountInfoReceived);
    downloadGuestBookNewPostInfo();
}

void PLParleySession::downloadGuestBookNewPostInfo()
{
    const QString url = PLAccountWebQueries::newPostURL();
    PL_GUARD_OBJECT(!url.isEmpty());
    const QString body = PLAccountWebQueries::newPostBody();
    if (body.isEmpty())
        return;
    PLAccountWebQueries::runDetached(
        this, [url, body]() { return PLHTTPManager::sharedManager().getReqPOST(body, url); },
        [this](const QString &reply) { guestBookNewPostDownloaded(reply); });
}

void PLParleySession::guestBookNewPostDownloaded(const QString &reply)
{
    PL_GUARD_OBJECT(!reply.isNull());
    PLAccountWebQueries::applyNewPostReply(reply);
    post(notifications::kOrchardNewArticleInfoReceived);
}

void PLParleySession::chatSessionENTRProcessed(const QVariantMap &userInfo)
{
    const QString key = userInfo.value(QStringLiteral("key")).toString();
    PL_GUARD_OBJECT(!key.isEmpty());
    const QStringList buddyIDs = mInviteBuddies.take(key);
    if (!buddyIDs.isEmpty())
        inviteBuddies(buddyIDs, key);
}

void PLParleySession::endMailTransfer(const QVariantMap &userInfo)
{
    QString packet = userInfo.value(QStringLiteral("packet")).toString();
    PL_GUARD_OBJECT(!packet.isEmpty() && mDPSessionValue);
    mDPSessionValue->sendMailEndPacket(packet.replace(QStringLiteral("START"), QStringLiteral("END")));
}

void PLParleySession::requestMailTransfer(const QVariantMap &userInfo)
{
    PL_GUARD_OBJECT(!userInfo.isEmpty() && mDPSessionValue);
    mDPSessionValue->sendMailReqPacket(userInfo);
}

void PLParleySession::setFileTransfer(bool running)
{
    if (mDPSessionValue)
        mDPSessionValue->setFileTransferFlag(running);
}

} // namespace parley
