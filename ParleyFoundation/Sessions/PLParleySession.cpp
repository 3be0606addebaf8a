#include "PLParleySession.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLGLSTManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLDPLSession.h"
#include "PLDPSession.h"
#include "PLManagerRegistry.h"
#include "PLShellServices.h"
#include "Utils/PLClientVersion.h"
#include "Utils/PLEndpoints.h"
#include "Utils/PLNetManager.h"
#include "Utils/PLUtils.h"
#include "Utils/ParleyStringAdditions.h"


namespace parley {

PLParleySession::PLParleySession(QObject *parent) : QObject(parent)
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    const auto observe = [&](const char *name, std::function<void(const Notification &)> handler) {
        mObservers.append(center.addObserver(this, QString::fromLatin1(name), nullptr, std::move(handler)));
    };
    observe(notifications::kSSSessionEnterResultReceived,
            [this](const Notification &n) { chatSessionENTRProcessed(n.userInfo); });
    observe(notifications::kMailUploadEnd, [this](const Notification &n) { endMailTransfer(n.userInfo); });
    observe(notifications::kMailUploadRequest, [this](const Notification &n) { requestMailTransfer(n.userInfo); });
    observe(notifications::kMailDownloadRequest, [this](const Notification &n) { requestMailTransfer(n.userInfo); });
    observe(notifications::kFileUploadStart, [this](const Notification &) { setFileTransfer(true); });
    observe(notifications::kFileDownloadStartReceived, [this](const Notification &) { setFileTransfer(true); });
    observe(notifications::kFileUploadEnd, [this](const Notification &) { setFileTransfer(false); });
    observe(notifications::kFileDownloadEndReceived, [this](const Notification &) { setFileTransfer(false); });
}

PLParleySession::~PLParleySession()
{
    for (quint64 token : std::as_const(mObservers))
        NotificationCenter::defaultCenter().removeObserver(token);
    dropDPLSession();
    dropDPSession();
}

PLDPLSession *PLParleySession::mDPLSession() const { return mDPLSessionValue; }
PLDPSession *PLParleySession::mDPSession() const { return mDPSessionValue; }

bool PLParleySession::loginWithUserID(const QString &userID, const QString &password, const QVariantMap &options)
{
    PL_GUARD_OBJECT(!userID.isEmpty() && !password.isNull(), false);
    mIsShowAsOfflineValue = options.value(QLatin1String(kShowAsOffline)).toBool();
    mPasswordEncryptedValue = options.value(QLatin1String(kPasswordEncrypted)).toBool();
    mIsHiddenRetry = options.value(QLatin1String(kIsRetry)).toBool();
    mIsAutoLogin = options.value(QLatin1String(kAutoLogin)).toBool();
    mUserIDValue = userID;
    mPasswordValue = password;

    dropDPLSession();
    auto *dispatch = new PLDPLSession(this);
    mDPLSessionValue = dispatch;
    if (mProxyModeValue != 0)
        dispatch->setProxyMode(mProxyModeValue, mProxyServerIP, mProxyServerPortNo, mProxyServerUserID,
                               mProxyServerPassword);
    PLNetManager &net = PLNetManager::sharedManager();
    if (net.isPRSMode())
        dispatch->setPRSModeWithInfo(net.prsServerInfo());
    dispatch->setDelegate(this);
    dispatch->setClientVersion(PLClientVersion());
    dispatch->setProtocolVersion(QStringLiteral("3.0"));
    dispatch->setLangOS(QStringLiteral("ko.macm"));
    dispatch->setAuthType(QStringLiteral("DES"));
    dispatch->setUserID(userID);
    dispatch->connect();
    if (net.isPRSMode())
        dispatch->remoteConnect();

    PLBuddyManager::sharedManager().reset();
    PLGLSTManager::sharedManager().setLoginID(userID);
    PLMyInfoManager::sharedManager().setLoginID(userID);
    return true;
}

bool PLParleySession::stopLogin()
{
    plLog(QStringLiteral("stop login"));
    // A dispatch exchange still running would otherwise hand over to a new
    // notification-server session after the user gave up.
    dropDPLSession();
    if (mDPSessionValue)
        mDPSessionValue->logout();
    mUserIDValue.clear();
    mPasswordValue.clear();
    mJobs.clear();
    PLBuddyManager::sharedManager().reset();
    PLMyInfoManager::sharedManager().reset();
    PLManagerRegistry::cookieManager().reset();
    PLManagerRegistry::chatSessionManager().reset();
    PLManagerRegistry::p2pSessionManager().reset();
    post(notifications::kLoginStopped);
    return true;
}

bool PLParleySession::logout(bool postNotification)
{
    if (!isLoggedIn())
        return false;
    if (!mDPSessionValue->logout())
        return false;
    dropDPSession();
    mUserIDValue.clear();
    mPasswordValue.clear();
    mJobs.clear();
    PLManagerRegistry::cookieManager().reset();
    PLManagerRegistry::chatSessionManager().reset();
    PLManagerRegistry::p2pSessionManager().reset();
    if (postNotification)
        post(notifications::kLogoutCompleted);
    return true;
}

bool PLParleySession::isLoggedIn() const { return mDPSessionValue && mDPSessionValue->isLoggedIn(); }

QString PLParleySession::encryptedPassword() const
{
    return mDPSessionValue ? mDPSessionValue->encryptedPassword() : QString();
}

bool PLParleySession::isAvailablePONG() const { return mDPSessionValue && mDPSessionValue->isAvailablePONG(); }

void PLParleySession::setIsAvailablePONG(bool flag)
{
    if (mDPSessionValue)
        mDPSessionValue->setIsAvailablePONG(flag);
}

bool PLParleySession::setProxyMode(int mode, const QString &serverIP, int portNo, const QString &userID,
                                   const QString &password)
{
    PL_GUARD_FLAG(mode >= 0 && mode < 4, false);
    if (mode >= 1)
        PL_GUARD_OBJECT(!serverIP.isEmpty(), false);
    if (mode == 3)
        PL_GUARD_OBJECT(!userID.isEmpty() && !password.isEmpty(), false);
    mProxyModeValue = mode;
    mProxyServerIP = serverIP;
    mProxyServerPortNo = portNo;
    mProxyServerUserID = userID;
    mProxyServerPassword = password;
    return true;
}

bool PLParleySession::sendLOPT()
{
    PL_GUARD_OBJECT(mDPSessionValue, false);
    return mDPSessionValue->sendLOPTPacket();
}

bool PLParleySession::requestSessionList(const QString &target)
{
    PL_GUARD_OBJECT(mDPSessionValue, false);
    return mDPSessionValue->sendMLSTPacket(target);
}

bool PLParleySession::sendKillSession(const QString &target, const QString &allKill)
{
    PL_GUARD_OBJECT(mDPSessionValue, false);
    return mDPSessionValue->sendKILSPacket(target, allKill) > 0;
}

bool PLParleySession::setOTP(const QString &otp)
{
    PL_GUARD_OBJECT(mDPSessionValue && !otp.isNull(), false);
    mDPSessionValue->setLoginOTP(otp);
    PLShellServices::shared().setLoginOTP(otp);
    const bool sent = mDPSessionValue->sendLIN4Packet(QStringLiteral("OTP"));
    recordJob({{QStringLiteral("tid"), mDPSessionValue->recentTidKey()}, {QStringLiteral("desc"), QStringLiteral("LIN4")}},
              sent);
    return sent;
}

bool PLParleySession::setCPRF(const QVariantMap &profile, qint32 *tid)
{
    if (tid)
        *tid = -1;
    PL_GUARD_OBJECT(mDPSessionValue && !profile.isEmpty(), false);
    const bool sent = mDPSessionValue->sendCPRFPacket(profile);
    if (sent && tid)
        *tid = qint32(mDPSessionValue->recentTid());
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("set profile")},
               {QStringLiteral("profile"), profile}},
              sent);
    return sent;
}

qint32 PLParleySession::setVelaInterlock(const QString &velaID, const QString &password)
{
    PL_GUARD_OBJECT(!velaID.isEmpty() && !password.isEmpty(), -1);
    const QString suffix = QLatin1Char('@') + PLEndpoints::current().portalDomain;
    const QString id = velaID.endsWith(suffix, Qt::CaseInsensitive) ? velaID.chopped(suffix.size()) : velaID;
    qint32 tid = -1;
    setCPRF({{QStringLiteral("vela_id"), id},
             {QStringLiteral("vela_pw2"), md5String(password.toLower() + id.toLower())}},
            &tid);
    return tid;
}

qint32 PLParleySession::resetVelaInterlock()
{
    qint32 tid = -1;
    setCPRF({{QStringLiteral("vela_id"), QStringLiteral("")}}, &tid);
    return tid;
}

qint32 PLParleySession::setOrchardInterlock(const QString &orchardID, const QString &password)
{
    PL_GUARD_OBJECT(!orchardID.isEmpty() && !password.isEmpty(), -1);
    qint32 tid = -1;
    setCPRF({{QStringLiteral("orchard_id"), orchardID}, {QStringLiteral("orchard_pw"), tkEncode3A(password)}}, &tid);
    return tid;
}

qint32 PLParleySession::resetOrchardInterlock()
{
    qint32 tid = -1;
    setCPRF({{QStringLiteral("orchard_id"), QStringLiteral("")}}, &tid);
    return tid;
}

bool PLParleySession::setMyStatus(qint32 status)
{
    PL_GUARD_OBJECT(mDPSessionValue, false);
    const bool sent = mDPSessionValue->setMyStatus(status);
    recordJob({{QStringLiteral("tid"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("ChangeStatus")},
               {QStringLiteral("status"), status}},
              sent);
    if (sent)
        PLMyInfoManager::sharedManager().setStatus(status == 6 ? 3 : status);
    return sent;
}

bool PLParleySession::setMyNickName(const QString &nickName)
{
    PL_GUARD_OBJECT(mDPSessionValue && !nickName.isNull(), false);
    const bool sent = mDPSessionValue->setMyNickName(nickName);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("ChangeNickName")},
               {QStringLiteral("nickName"), nickName}},
              sent);
    return sent;
}

bool PLParleySession::showBuddy(const QString &buddyID)
{
    PL_GUARD_OBJECT(mDPSessionValue && !buddyID.isEmpty(), false);
    const bool sent = mDPSessionValue->addBuddy(buddyID);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("add buddy")},
               {QStringLiteral("targetID"), buddyID}},
              sent);
    return sent;
}

bool PLParleySession::blockBuddy(const QString &buddyID)
{
    PL_GUARD_OBJECT(mDPSessionValue && !buddyID.isEmpty(), false);
    const QString cmn = PLBuddyManager::sharedManager().cmnForBuddyID(buddyID);
    PL_GUARD_OBJECT(!cmn.isEmpty(), false);
    const bool sent = mDPSessionValue->blockBuddy(buddyID, cmn);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("block buddy")},
               {QStringLiteral("targetID"), buddyID}},
              sent);
    return sent;
}

bool PLParleySession::unblockBuddy(const QString &buddyID)
{
    PL_GUARD_OBJECT(mDPSessionValue && !buddyID.isEmpty(), false);
    const QString cmn = PLBuddyManager::sharedManager().cmnForBuddyID(buddyID);
    PL_GUARD_OBJECT(!cmn.isEmpty(), false);
    const bool sent = mDPSessionValue->unblockBuddy(buddyID, cmn);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("unblock buddy")},
               {QStringLiteral("targetID"), buddyID}},
              sent);
    return sent;
}

bool PLParleySession::removeBuddyFlag(const QString &buddyID, const QString &flag)
{
    PL_GUARD_OBJECT(!buddyID.isEmpty(), false);
    PL_GUARD_FLAG(flag == QLatin1String("FL") || flag == QLatin1String("AL") || flag == QLatin1String("BL"), false);
    PL_GUARD_FLAG(isLoggedIn(), false);
    const QString cmn = PLBuddyManager::sharedManager().cmnForBuddyID(buddyID);
    PL_GUARD_OBJECT(!cmn.isEmpty(), false);
    const bool sent = mDPSessionValue->removeBuddy(buddyID, cmn, flag);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("RMVB")},
               {QStringLiteral("flag"), flag},
               {QStringLiteral("targetID"), buddyID},
               {QStringLiteral("targetCMN"), cmn}},
              sent);
    return sent;
}

bool PLParleySession::requestAddBuddy(const QString &buddyID, const QString &groupID, const QString &message)
{
    PL_GUARD_OBJECT(!buddyID.isEmpty() && !groupID.isNull() && !message.isNull(), false);
    if (!isLoggedIn())
        return false;
    const bool sent = mDPSessionValue->requestAddBuddy(buddyID, groupID, message);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("ADSB request")},
               {QStringLiteral("velaID"), buddyID},
               {QStringLiteral("groupID"), groupID},
               {QStringLiteral("message"), message}},
              sent);
    return sent;
}

bool PLParleySession::acceptAddBuddy(const QString &buddyID, const QString &buddyCMN, const QString &groupID)
{
    if (!isLoggedIn())
        return false;
    const QString id = buddyID.isNull() ? QStringLiteral("") : buddyID;
    const QString cmn = buddyCMN.isNull() ? QStringLiteral("") : buddyCMN;
    const QString group = groupID.isNull() ? QStringLiteral("0") : groupID;
    const bool sent = mDPSessionValue->acceptAddBuddy(id, cmn, group);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("ADSB accept")},
               {QStringLiteral("velaID"), id},
               {QStringLiteral("buddyCMN"), cmn},
               {QStringLiteral("groupID"), group}},
              sent);
    return sent;
}

bool PLParleySession::rejectAddBuddy(const QString &buddyID, const QString &buddyCMN)
{
    if (!isLoggedIn())
        return false;
    const QString id = buddyID.isNull() ? QStringLiteral("") : buddyID;
    const QString cmn = buddyCMN.isNull() ? QStringLiteral("") : buddyCMN;
    const bool sent = mDPSessionValue->rejectAddBuddy(id, cmn);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("ADSB reject")},
               {QStringLiteral("targetID"), id},
               {QStringLiteral("targetCMN"), cmn}},
              sent);
    return sent;
}

bool PLParleySession::addGroup(const QString &groupName)
{
    PL_GUARD_FLAG(isLoggedIn(), false);
    PL_GUARD_OBJECT(!groupName.isEmpty(), false);
    const bool sent = mDPSessionValue->addGroup(groupName);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("AddGroup")},
               {QStringLiteral("groupName"), groupName}},
              sent);
    return sent;
}

bool PLParleySession::removeGroup(const QString &groupID)
{
    PL_GUARD_FLAG(isLoggedIn(), false);
    PL_GUARD_OBJECT(!groupID.isEmpty(), false);
    const bool sent = mDPSessionValue->removeGroup(groupID);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("RemoveGroup")},
               {QStringLiteral("groupID"), groupID}},
              sent);
    return sent;
}

bool PLParleySession::renameGroup(const QString &groupID, const QString &name)
{
    PL_GUARD_FLAG(isLoggedIn(), false);
    PL_GUARD_OBJECT(!groupID.isEmpty() && !name.isEmpty(), false);
    const bool sent = mDPSessionValue->renameGroup(groupID, name);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("RenameGroup")},
               {QStringLiteral("groupID"), groupID},
               {QStringLiteral("groupName"), name}},
              sent);
    return sent;
}

bool PLParleySession::removeBuddies(const QVariantList &items)
{
    PL_GUARD_OBJECT(mDPSessionValue && !items.isEmpty(), false);
    const QString cache = QString::number(PLBuddyManager::sharedManager().groupCacheNo());
    const bool sent = mDPSessionValue->removeBuddies(items, cache);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("removeBuddies")},
               {QStringLiteral("removeInfoArray"), items},
               {QStringLiteral("localGroupCache"), cache}},
              sent);
    return sent;
}

bool PLParleySession::copyBuddies(const QVariantList &items)
{
    PL_GUARD_OBJECT(mDPSessionValue && !items.isEmpty(), false);
    const QString cache = QString::number(PLBuddyManager::sharedManager().groupCacheNo());
    const bool sent = mDPSessionValue->copyBuddies(items, cache);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("copyBuddies")},
               {QStringLiteral("copyInfoArray"), items},
               {QStringLiteral("localGroupCache"), cache}},
              sent);
    return sent;
}

bool PLParleySession::moveBuddies(const QVariantList &items)
{
    PL_GUARD_OBJECT(mDPSessionValue && !items.isEmpty(), false);
    const QString cache = QString::number(PLBuddyManager::sharedManager().groupCacheNo());
    const bool sent = mDPSessionValue->moveBuddies(items, cache);
    recordJob({{QStringLiteral("key"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("desc"), QStringLiteral("moveBuddies")},
               {QStringLiteral("moveInfoArray"), items},
               {QStringLiteral("localGroupCache"), cache}},
              sent);
    return sent;
}

bool PLParleySession::requestSwitchBoardServerInfo()
{
    PL_GUARD_FLAG(isLoggedIn(), false);
    return mDPSessionValue->requestSSInfo();
}

bool PLParleySession::createNewChattingRoomWithBuddies(const QStringList &buddyIDs, QString *uuid)
{
    PL_GUARD_FLAG(isLoggedIn(), false);
    if (!mDPSessionValue->requestSSInfo())
        return false;
    const QString sessionUUID = PLMakeUUID();
    if (uuid)
        *uuid = sessionUUID;
    recordJob({{QStringLiteral("jobKey"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("buddyIDs"), buddyIDs},
               {QStringLiteral("status"), QStringLiteral("WaitingSSInfo")},
               {QStringLiteral("sessionUUID"), sessionUUID}},
              true);
    return true;
}

bool PLParleySession::inviteBuddies(const QStringList &buddyIDs, const QString &sessionKey)
{
    PL_GUARD_OBJECT(mDPSessionValue && !sessionKey.isEmpty(), false);
    PLChatSessionManagerInterface &chats = PLManagerRegistry::chatSessionManager();
    const QString ip = chats.ipForSession(sessionKey);
    PL_GUARD_OBJECT(!ip.isEmpty(), false);
    const QVariantMap info{{QStringLiteral("sessionKey"), sessionKey},
                           {QStringLiteral("ip"), ip},
                           {QStringLiteral("port"), chats.portForSession(sessionKey)},
                           {QStringLiteral("userID"), mUserIDValue}};
    bool result = false;
    for (const QString &buddyID : buddyIDs)
        result = mDPSessionValue->inviteUser(buddyID, info);
    return result;
}

bool PLParleySession::sendNote(PLNote *note)
{
    PL_GUARD_OBJECT(mDPSessionValue && note, false);
    return mDPSessionValue->sendNote(note);
}

bool PLParleySession::getMemo(const QString &unused, const QString &cookie)
{
    PL_GUARD_OBJECT(mDPSessionValue, false);
    return mDPSessionValue->sendMEMOGET1Packet(unused, cookie);
}

bool PLParleySession::requestRelMemo(bool read, const QString &cookie, qint32 lastSeq, qint32 reqCount, bool isSend)
{
    PL_GUARD_OBJECT(mDPSessionValue, false);
    return mDPSessionValue->sendMEMOREL1Packet(read, cookie, lastSeq, reqCount, isSend);
}

bool PLParleySession::requestP2PConnectToUser(const QString &userID, const QString &dpKey, const QString &fileCookie)
{
    PL_GUARD_OBJECT(mDPSessionValue && !userID.isEmpty() && !dpKey.isEmpty() && !fileCookie.isEmpty(), false);
    PLP2PSessionManagerInterface &p2p = PLManagerRegistry::p2pSessionManager();
    const QString cookie = PLManagerRegistry::cookieManager().p2pCookie();
    p2p.connectOfferSent(cookie, fileCookie, PLMyInfoManager::sharedManager().loginID(), userID);
    return mDPSessionValue->requestP2PConnect({{QStringLiteral("userID"), userID},
                                               {QStringLiteral("dpKey"), dpKey},
                                               {QStringLiteral("ip"), p2p.myIP()},
                                               {QStringLiteral("portNo"), p2p.p2pPortNo()},
                                               {QStringLiteral("p2pCookie"), cookie},
                                               {QStringLiteral("subCmd"), QStringLiteral("NEW")},
                                               {QStringLiteral("fileCookie"), fileCookie}});
}

bool PLParleySession::responseP2PConnectWithInfo(const QVariantMap &info)
{
    PL_GUARD_OBJECT(mDPSessionValue && !info.isEmpty(), false);
    return mDPSessionValue->responseP2PConnect(info);
}

bool PLParleySession::requestFRInfo(const QString &buddyID, const QString &fileCookie)
{
    PL_GUARD_OBJECT(mDPSessionValue && !buddyID.isEmpty() && !fileCookie.isEmpty(), false);
    const bool sent = mDPSessionValue->requestFRInfo(buddyID);
    recordJob({{QStringLiteral("jobKey"), mDPSessionValue->recentTidKey()},
               {QStringLiteral("userID"), buddyID},
               {QStringLiteral("fileCookie"), fileCookie}},
              sent);
    return sent;
}

bool PLParleySession::requestFRConnect(const QVariantMap &offer)
{
    for (const char *key : {"userID", "ip", "portNo", "p2pCookie", "frCookie"})
        PL_GUARD_OBJECT(offer.contains(QLatin1String(key)), false);
    PL_GUARD_OBJECT(mDPSessionValue, false);
    mDPSessionValue->requestP2PConnect({{QStringLiteral("userID"), offer.value(QStringLiteral("userID"))},
                                        {QStringLiteral("ip"), offer.value(QStringLiteral("ip"))},
                                        {QStringLiteral("portNo"), offer.value(QStringLiteral("portNo"))},
                                        {QStringLiteral("p2pCookie"), offer.value(QStringLiteral("p2pCookie"))},
                                        {QStringLiteral("subCmd"), QStringLiteral("FR")},
                                        {QStringLiteral("dpKey"), offer.value(QStringLiteral("dpKey"))},
                                        {QStringLiteral("frCookie"), offer.value(QStringLiteral("frCookie"))}});
    return false;
}

bool PLParleySession::requestFRConnectForFRCookie(const QString &frCookie)
{
    const QVariantMap offer = mFRInfo.value(frCookie).toMap();
    if (offer.isEmpty()) {
        plLogNil(__FILE__, __LINE__);
        return true;
    }
    requestFRConnect(offer);
    mFRInfo.remove(frCookie);
    return true;
}

} // namespace parley
