// The account session's reactions to its sessions' reports: the sign-in
// chain, replies matched to their jobs, server events turned into model
// updates and notifications, and the two counts fetched after sign-in.
#include "PLParleySession.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLGLSTManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "HTTPInterface/PLHTTPManager.h"
#include "Log.h"
#include "NotificationNames.h"
#include "PLAccountWebQueries.h"
#include "PLDPLSession.h"
#include "PLDPSession.h"
#include "PLEncrypUtil.h"
#include "PLManagerRegistry.h"
#include "PLShellServices.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLEndpoints.h"
#include "Utils/PLNetManager.h"
#include "Utils/PrefsManager.h"
#include "Utils/ParleyStringAdditions.h"

#include <QTimer>

namespace parley {

namespace {

QString text(const QVariantMap &map, const char *key) { return map.value(QLatin1String(key)).toString(); }
bool has(const QVariantMap &map, const char *key) { return map.contains(QLatin1String(key)); }

} // namespace

void PLParleySession::dplSessionDpServerInfoReceived(PLDPLSession *, const QVariantMap &info)
{
    const QString ip = text(info, "ip");
    const QString port = text(info, "port");
    PL_GUARD_OBJECT(!ip.isEmpty() && !port.isEmpty());
    dropDPSession();
    auto *session = new PLDPSession(ip, port.toInt(), this);
    mDPSessionValue = session;
    if (mProxyModeValue != 0)
        session->setProxyMode(mProxyModeValue, mProxyServerIP, mProxyServerPortNo, mProxyServerUserID,
                              mProxyServerPassword);
    PLNetManager &net = PLNetManager::sharedManager();
    if (!net.isDPLMode())
        session->setPRSModeWithInfo(net.prsServerInfo());
    session->setUserID(mUserIDValue, mPasswordValue, mPasswordEncryptedValue);
    session->setIsHiddenRetry(mIsHiddenRetry);
    session->setDelegate(this);
    session->connect();
    if (session->isPRSMode())
        session->remoteConnect();
    // The dispatch session is done; it may be the caller, so it goes later.
    if (mDPLSessionValue) {
        mDPLSessionValue->setDelegate(nullptr);
        mDPLSessionValue->disconnect();
        mDPLSessionValue->disposeLater();
        mDPLSessionValue = nullptr;
    }
}

void PLParleySession::dplSessionRemoteConnected(PLDPLSession *session, const QVariantMap &)
{
    if (session)
        session->sendRequestForDPServerInfo();
}

void PLParleySession::dpSessionRemoteConnected(PLDPSession *session, const QVariantMap &)
{
    if (session)
        session->login();
}

void PLParleySession::dpSessionPublicKeyReceived(PLDPSession *session, const QVariantMap &info)
{
    PL_GUARD_OBJECT(session);
    const QVariantMap result = PLEncrypUtil::shared().encryptSessionKey(info.value(QStringLiteral("publicKey")).toByteArray(),
                                                                        false);
    if (result.isEmpty())
        return post(notifications::kCertInitError);
    if (!has(result, "value"))
        return post(notifications::kCertError, {{QStringLiteral("error"), result.value(QStringLiteral("error"))}});
    session->setEncryptKey(text(result, "value"));
    session->sendPRVKPacket({{QStringLiteral("encodeType"), QStringLiteral("BASE64")},
                             {QStringLiteral("sessionKey"), text(result, "value")}});
}

void PLParleySession::dpSessionSendSessionKeyResultReceived(PLDPSession *session, const QVariantMap &)
{
    PL_GUARD_OBJECT(session);
    // A saved token goes out as a token whichever way it was handed over: the
    // auto-login's second try passes one without the auto-login flag, and as
    // an enciphered password it could never be accepted.
    const bool token = mIsHiddenRetry || mIsAutoLogin || mPasswordEncryptedValue;
    const bool sent = session->sendLIN4Packet(token ? QStringLiteral("TKN") : QStringLiteral("NE3"));
    recordJob({{QStringLiteral("tid"), session->recentTidKey()}, {QStringLiteral("desc"), QStringLiteral("LIN4")}}, sent);
}

void PLParleySession::dpSessionMyInfoReceived(PLDPSession *session, const QVariantMap &info)
{
    const QString tid = text(info, "tid");
    PL_GUARD_OBJECT(session && !tid.isEmpty());
    for (const char *key : {"cmn", "name", "nickName", "loginType", "velaID", "velaCMN", "orchardID", "orchardCMN",
                            "mobile", "email", "ticket"}) {
        if (!has(info, key)) {
            plLogNil(__FILE__, __LINE__);
            mJobs.remove(tid);
            return;
        }
    }
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    me.setCMN(text(info, "cmn"));
    me.setName(text(info, "name"));
    me.setNickName(text(info, "nickName"));
    me.setLoginType(text(info, "loginType"));
    me.setVelaID(text(info, "velaID"));
    me.setVelaCMN(text(info, "velaCMN"));
    me.setOrchardID(text(info, "orchardID"));
    me.setOrchardCMN(text(info, "orchardCMN"));
    me.setMobile(text(info, "mobile"));
    me.setEmail(text(info, "email"));
    me.setToken(text(info, "token"));
    me.setTicket(text(info, "ticket"));
    PLManagerRegistry::cookieManager().setCMN(text(info, "cmn"));
    session->requestLOPTData();
    mJobs.remove(tid);
}

void PLParleySession::dpSessionTokenReceived(PLDPSession *, const QVariantMap &info)
{
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    if (!text(info, "token").isEmpty())
        me.setToken(text(info, "token"));
    if (!text(info, "ticket").isEmpty())
        me.setTicket(text(info, "ticket"));
}

void PLParleySession::dpSessionLoptReceived(PLDPSession *session, const QVariantMap &)
{
    if (session && session->dpState() == PLDPSession::SignedIn)
        session->requestCONFData(PLConfManager::sharedManager().version());
}

void PLParleySession::dpSessionConfReceived(PLDPSession *session, const QVariantMap &info)
{
    PL_GUARD_OBJECT(session && has(info, "conf") && has(info, "version"));
    PLConfManager::sharedManager().setConf(info.value(QStringLiteral("conf")).toByteArray(),
                                           info.value(QStringLiteral("version")).toInt());
    post(notifications::kConfDownloaded, info);
    // A download that a lost line left open is not continued by this one:
    // it starts from the stored list, whose number it asks with.
    PLGLSTManager &cache = PLGLSTManager::sharedManager();
    cache.abandonSave();
    session->requestGLSTData(cache.version());
}

void PLParleySession::dpSessionNoBuddyInfoReceived(PLDPSession *, const QVariantMap &) { buddyListCompleted(); }

void PLParleySession::dpSessionLoginCompleted(PLDPSession *, const QVariantMap &)
{
    PLManagerRegistry::chatSessionManager().setProxyMode(mProxyModeValue, mProxyServerIP, mProxyServerPortNo);
    PLMyInfoManager::sharedManager().downloadProfile();
    PLManagerRegistry::fileTransferManager().setSession(this);
    post(notifications::kLoginCompleted);
    QTimer::singleShot(500, this, &PLParleySession::memoCountPost);
    QTimer::singleShot(1000, this, &PLParleySession::getMailCount);
}

void PLParleySession::dpSessionServerTimeout(PLDPSession *, const QVariantMap &)
{
    post(notifications::kServerDidNotResponse);
}

void PLParleySession::dpSessionErrorCodeReceived(PLDPSession *, const QVariantMap &info)
{
    const QString tid = text(info, "tid");
    const auto job = mJobs.job(tid);
    if (job)
        post(notifications::kErrorCodeReceived, {{QStringLiteral("jobInfo"), *job}, {QStringLiteral("errorInfo"), info}});
    else
        plLogNil(__FILE__, __LINE__);
    if (!tid.isNull())
        mJobs.remove(tid);
}

void PLParleySession::dpSessionTicketReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(!text(info, "ticket").isNull());
    PLMyInfoManager::sharedManager().setTicket(text(info, "ticket"));
    post(notifications::kTicketUpdated, {{QStringLiteral("ticket"), text(info, "ticket")}});
}

void PLParleySession::dpSessionPnakReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(!text(info, "tid").isNull());
    mJobs.remove(text(info, "tid"));
}

void PLParleySession::dpSessionChangeStatusResultReceived(PLDPSession *, const QVariantMap &info)
{
    PLShellServices &shell = PLShellServices::shared();
    if (shell.isCloseApplication())
        return post(notifications::kClose);
    if (shell.isLogoutApplication()) {
        post(notifications::kLogout);
        shell.setIsLogoutApplication(false);
        return;
    }
    const QString tid = text(info, "tid");
    const auto job = mJobs.job(tid);
    if (job && job->contains(QStringLiteral("status")))
        post(notifications::kMyStatusChanged, {{QStringLiteral("status"), job->value(QStringLiteral("status"))}});
    else
        plLogNil(__FILE__, __LINE__);
    if (!tid.isNull())
        mJobs.remove(tid);
}

void PLParleySession::dpSessionChangeNickNameResultReceived(PLDPSession *, const QVariantMap &info)
{
    const QString tid = text(info, "tid");
    const auto job = mJobs.job(tid);
    if (job && job->contains(QStringLiteral("nickName"))) {
        const QString nickName = job->value(QStringLiteral("nickName")).toString();
        PLMyInfoManager::sharedManager().setNickName(nickName);
        post(notifications::kMyNickNameChanged, {{QStringLiteral("nickName"), nickName}});
    } else {
        plLogNil(__FILE__, __LINE__);
    }
    if (!tid.isNull())
        mJobs.remove(tid);
}

void PLParleySession::dpSessionCprfResultReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "tid"));
    const QString typeMask = text(info, "typeMask");
    if (typeMask.size() > 2 && typeMask.at(2) == QLatin1Char('1')) {
        PLMyInfoManager &me = PLMyInfoManager::sharedManager();
        if (has(info, "orcmn"))
            me.setOrchardCMN(text(info, "orcmn"));
        if (has(info, "orcmnOm"))
            me.setProfileValue(text(info, "orcmnOm"), QStringLiteral("orchard_open_mode"));
    }
    post(notifications::kCPRFResultReceived, info);
    mJobs.remove(text(info, "tid"));
}

void PLParleySession::dpSessionSsInfoReceived(PLDPSession *, const QVariantMap &info)
{
    const QString tid = text(info, "tid");
    const auto job = mJobs.take(tid);
    PL_GUARD_OBJECT(job);
    PL_GUARD_OBJECT(has(info, "ip") && has(info, "key") && has(info, "port") && job->contains(QStringLiteral("buddyIDs")));
    QVariantMap details{{QStringLiteral("tid"), tid},
                        {QStringLiteral("ip"), info.value(QStringLiteral("ip"))},
                        {QStringLiteral("key"), info.value(QStringLiteral("key"))},
                        {QStringLiteral("port"), info.value(QStringLiteral("port"))},
                        {QStringLiteral("buddyIDs"), job->value(QStringLiteral("buddyIDs"))}};
    if (job->contains(QStringLiteral("sessionUUID")))
        details.insert(QStringLiteral("sessionUUID"), job->value(QStringLiteral("sessionUUID")));
    post(notifications::kSwitchBoardInfoReceived, details);
    mInviteBuddies.insert(text(info, "key"), job->value(QStringLiteral("buddyIDs")).toStringList());
}

void PLParleySession::dpSessionInvitedToChat(PLDPSession *, const QVariantMap &info)
{
    post(notifications::kInvitedToChat, info);
}

void PLParleySession::dpSessionMessageReceived(PLDPSession *, const QVariantMap &info)
{
    post(notifications::kMessageReceived, info);
}

void PLParleySession::dpSessionSendCMSGErrorReceived(PLDPSession *, const QVariantMap &info)
{
    post(notifications::kSendNoteErrorReceived, info);
}

void PLParleySession::dpSessionCalmReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(has(info, "svcGB") && has(info, "from") && has(info, "svc_defined"));
    const QString service = text(info, "svcGB");
    const QString from = text(info, "from");
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    if (service == QLatin1String("ORHP")) {
        const PLBuddyPtr buddy = buddies.buddyForID(from);
        PL_GUARD_OBJECT(buddy);
        buddy->setOrchardGuestBookHasNewPost(true);
    } else if (service == QLatin1String("Q7HP") || service == QLatin1String("NCHP")) {
        const PLBuddyPtr buddy = buddies.buddyForQ7CMN(from);
        if (!buddy)
            return;
        buddy->setOrchardGuestBookHasNewPost(true);
    } else if (service == QLatin1String("Q7ID")) {
        const PLBuddyPtr buddy = buddies.buddyForID(from);
        if (!buddy)
            return;
        const QStringList parts = text(info, "svc_defined").trimmed().split(QLatin1Char(':'));
        PL_GUARD_FLAG(parts.size() == 3);
        if (parts[2] == QLatin1String("1")) {
            buddy->setQ7Mode(false);
        } else if (parts[2] == QLatin1String("2")) {
            buddy->setQ7Mode(true);
            buddy->setQ7CMN(parts[1]);
        }
    } else if (service == QLatin1String("NOTE")) {
        plLog(QStringLiteral("infoDict = %1").arg(from));
    }
    post(notifications::kBuddyAlarmReceived, info);
}

void PLParleySession::dpSessionAlrmReceived(PLDPSession *, const QVariantMap &info)
{
    PL_GUARD_OBJECT(!info.isEmpty());
    const QStringList parts = text(info, "svc_defined").trimmed().split(QLatin1Char(':'));
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    PLShellServices &shell = PLShellServices::shared();
    me.setOrchardGuestBookHasNewPost(false);
    const QString service = text(info, "svcGB");
    const auto yesNo = [](const QString &v) {
        return v == QLatin1String("Y") ? QStringLiteral("1") : v == QLatin1String("N") ? QStringLiteral("0") : v;
    };
    if (service == QLatin1String("ORLD")) {
        if (parts.size() == 7) {
            me.setOrchardID(parts[0]);
            me.setOrchardCMN(parts[3]);
            me.setProfileValue(yesNo(parts[4]), QStringLiteral("orchard_noti1"));
            me.setProfileValue(yesNo(parts[5]), QStringLiteral("orchard_noti2"));
            me.setProfileValue(parts[6], QStringLiteral("orchard_open_mode"));
        }
    } else if (service == QLatin1String("VELA")) {
        if (parts.size() == 1) {
            const QStringList words = parts[0].split(QLatin1Char(' '));
            me.setVelaID(stringByParleyDecoding(words.value(0)));
            me.setVelaCMN(stringByParleyDecoding(words.value(1)));
        }
    } else if (service == QLatin1String("Q7ID")) {
        PL_GUARD_FLAG(parts.size() == 3);
        me.setQ7Mode(false);
        me.setTarnMode(false);
        if (parts[2] == QLatin1String("2")) {
            me.setQ7Mode(true);
            me.setQ7CMN(parts[1]);
        } else if (parts[2] == QLatin1String("3")) {
            me.setTarnMode(true);
        }
    } else if (service == QLatin1String("Q7HP") || service == QLatin1String("NCHP")) {
        me.setOrchardGuestBookHasNewPost(true);
    } else if (service == QLatin1String("MAIL")) {
        shell.incMailCount();
    } else if (service == QLatin1String("MCNT")) {
        shell.setMailCount(plIntValue(parts.value(0)));
        return;
    } else if (service == QLatin1String("NOTE")) {
        shell.setMemoCount(plIntValue(text(info, "text")));
    }
    post(notifications::kMyAlarmReceived, info);
}

void PLParleySession::dpSessionKillReceived(PLDPSession *, const QVariantMap &info)
{
    post(notifications::kMyIDLoggedInOtherPlace);
    // The login is over now: no reply of it may meet a job of the next one.
    mJobs.clear();
    QTimer::singleShot(500, this, &PLParleySession::endKilledSession);
    PLShellServices &shell = PLShellServices::shared();
    if (has(info, "brcode"))
        shell.bridgePageCall(text(info, "brcode"), text(info, "brparam"), QString(), -1);
    else
        shell.showInformationalAlert(KCLocalizedString(QStringLiteral("Parley")),
                                     KCLocalizedString(QStringLiteral("LoginedAtTheOtherPlace")),
                                     KCLocalizedString(QStringLiteral("OK")));
}

void PLParleySession::dpSessionRequestP2PConnectReceived(PLDPSession *, const QVariantMap &info)
{
    const QString subCmd = text(info, "subCmd");
    PL_GUARD_OBJECT(!subCmd.isEmpty());
    PLP2PSessionManagerInterface &p2p = PLManagerRegistry::p2pSessionManager();
    const QString myID = PLMyInfoManager::sharedManager().loginID();
    if (subCmd == QLatin1String("NEW") || subCmd == QLatin1String("RES")) {
        for (const char *key : {"p2pCookie", "userID", "ip", "port"})
            PL_GUARD_OBJECT(!text(info, key).isEmpty());
        PL_GUARD_OBJECT(!myID.isEmpty());
        const bool isNew = subCmd == QLatin1String("NEW");
        const QVariantMap connectInfo{{QStringLiteral("p2pCookie"), text(info, "p2pCookie")},
                                      {QStringLiteral("myID"), myID},
                                      {QStringLiteral("buddyID"), text(info, "userID")},
                                      {QStringLiteral("ip"), text(info, "ip")},
                                      {QStringLiteral("portNo"), info.value(QStringLiteral("port"))},
                                      {QStringLiteral("isSender"), isNew},
                                      {QStringLiteral("subCmd"), subCmd}};
        if (isNew) {
            if (p2p.createConnectSession(connectInfo))
                responseP2PConnectWithInfo({{QStringLiteral("userID"), text(info, "userID")},
                                            {QStringLiteral("dpKey"), text(info, "dpKey")},
                                            {QStringLiteral("ip"), PLMyInfoManager::sharedManager().IPAddress()},
                                            {QStringLiteral("p2pCookie"), text(info, "p2pCookie")},
                                            {QStringLiteral("portNo"), p2p.p2pPortNo()}});
        } else if (!PLManagerRegistry::fileTransferManager().isP2PSessionExist(
                       QStringLiteral("%1-%2").arg(text(info, "userID"), text(info, "p2pCookie")))) {
            p2p.createConnectSession(connectInfo);
        }
    } else if (subCmd == QLatin1String("FR")) {
        for (const char *key : {"ip", "p2pCookie", "port", "userID", "frCookie"})
            PL_GUARD_OBJECT(!text(info, key).isEmpty());
        p2p.createConnectSession({{QStringLiteral("FR"), QStringLiteral("FR")},
                                  {QStringLiteral("subCmd"), subCmd},
                                  {QStringLiteral("p2pCookie"), text(info, "p2pCookie")},
                                  {QStringLiteral("myID"), myID},
                                  {QStringLiteral("buddyID"), text(info, "userID")},
                                  {QStringLiteral("portNo"), text(info, "port")},
                                  {QStringLiteral("ip"), text(info, "ip")},
                                  {QStringLiteral("frCookie"), text(info, "frCookie")},
                                  {QStringLiteral("isSender"), true}});
    }
}

void PLParleySession::dpSessionFrServerInfoReceived(PLDPSession *, const QVariantMap &info)
{
    for (const char *key : {"tid", "frCookie", "serverIP", "portNo"})
        PL_GUARD_OBJECT(has(info, key));
    const auto job = mJobs.job(text(info, "tid"));
    PL_GUARD_OBJECT(job && job->contains(QStringLiteral("userID")) && job->contains(QStringLiteral("fileCookie")));
    const QString cookie = PLManagerRegistry::cookieManager().p2pCookie();
    const QString userID = job->value(QStringLiteral("userID")).toString();
    PLManagerRegistry::p2pSessionManager().createConnectSession(
        {{QStringLiteral("FR"), QStringLiteral("FR")},
         {QStringLiteral("buddyID"), userID},
         {QStringLiteral("frCookie"), text(info, "frCookie")},
         {QStringLiteral("isSender"), false},
         {QStringLiteral("p2pCookie"), cookie},
         {QStringLiteral("fileCookie"), job->value(QStringLiteral("fileCookie"))},
         {QStringLiteral("myID"), PLMyInfoManager::sharedManager().loginID()},
         {QStringLiteral("ip"), text(info, "serverIP")},
         {QStringLiteral("portNo"), info.value(QStringLiteral("portNo"))}});
    // The buddy's key from its offer addresses the hand-over (REQC FR).
    const QString dpKey = PLManagerRegistry::fileTransferManager()
                              .fileInfoForCookie(job->value(QStringLiteral("fileCookie")).toString())
                              .value(QStringLiteral("dpKey"))
                              .toString();
    mFRInfo.insert(text(info, "frCookie"), QVariantMap{{QStringLiteral("userID"), userID},
                                                       {QStringLiteral("dpKey"), dpKey.isEmpty() ? QStringLiteral("0") : dpKey},
                                                       {QStringLiteral("ip"), text(info, "serverIP")},
                                                       {QStringLiteral("portNo"), info.value(QStringLiteral("portNo"))},
                                                       {QStringLiteral("p2pCookie"), cookie},
                                                       {QStringLiteral("frCookie"), text(info, "frCookie")}});
}

void PLParleySession::memoCountPost()
{
    getMemoCount();
    downloadMainAccountInfo();
}

void PLParleySession::getMailCount()
{
    const QString url = PLAccountWebQueries::mailCountURL(PLEndpoints::current().webMail,
                                                          PLMyInfoManager::sharedManager().velaID());
    if (url.isEmpty())
        return;
    PLAccountWebQueries::runDetached(
        this, [url]() { return PLHTTPManager::sharedManager().getReqGET(url); },
        [](const QString &reply) {
            const auto count = PLAccountWebQueries::mailCountFromReply(reply);
            if (!count)
                return;
            PLShellServices::shared().setMailCount(*count);
            if (*count >= 1 && PrefsManager::noti_IsShowMailAlarm())
                PLShellServices::shared().showToasterWindow(QStringLiteral("MAIL"), {{QStringLiteral("count"), *count}});
        });
}

void PLParleySession::getMemoCount()
{
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    PL_GUARD_OBJECT(!me.cmn().isEmpty() && !me.ticket().isEmpty());
    const QString url = PLAccountWebQueries::memoCountURL(PLEndpoints::current().webMemo);
    if (url.isEmpty())
        return;
    const QString body = PLAccountWebQueries::memoCountBody(me.cmn(), me.ticket());
    PLAccountWebQueries::runDetached(
        this, [url, body]() { return PLHTTPManager::sharedManager().getReqPOST(body, url); },
        [](const QString &reply) {
            const auto count = PLAccountWebQueries::memoCountFromReply(reply);
            if (!count)
                return;
            PLShellServices::shared().setMemoCount(*count);
            if (*count >= 1)
                PLShellServices::shared().showToasterWindow(QStringLiteral("MEMOCNT"), {{QStringLiteral("count"), *count}});
        });
}

} // namespace parley
