// The senders of PLDPSession: one per outgoing command. Each takes a fresh
// tid (PING and LOPT go out with 0) and answers the send's result; a missing
// required argument is logged and nothing is sent.
#include "PLDPSession.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "PLShellServices.h"
#include "Packet/PLSendADDBPacket.h"
#include "Packet/PLSendADDGPacket.h"
#include "Packet/PLSendADSBPacket.h"
#include "Packet/PLSendCMSGPacket.h"
#include "Packet/PLSendCNIKPacket.h"
#include "Packet/PLSendCONFPacket.h"
#include "Packet/PLSendCPBGPacket.h"
#include "Packet/PLSendCPRFPacket.h"
#include "Packet/PLSendGLSTPacket.h"
#include "Packet/PLSendKILSPacket.h"
#include "Packet/PLSendLIN4Packet.h"
#include "Packet/PLSendLISTPacket.h"
#include "Packet/PLSendLOPTPacket.h"
#include "Packet/PLSendLOUTPacket.h"
#include "Packet/PLSendLSINPacket.h"
#include "Packet/PLSendMLSTPacket.h"
#include "Packet/PLSendMVBGPacket.h"
#include "Packet/PLSendNCPTPacket.h"
#include "Packet/PLSendONSTPacket.h"
#include "Packet/PLSendPINGPacket.h"
#include "Packet/PLSendPRVKPacket.h"
#include "Packet/PLSendRENGPacket.h"
#include "Packet/PLSendRESSPacket.h"
#include "Packet/PLSendRMBGPacket.h"
#include "Packet/PLSendRMVBPacket.h"
#include "Packet/PLSendRMVGPacket.h"
#include "Packet/PLSendWGETPacket.h"
#include "UserDefaults.h"
#include "Utils/KCMachineIdentity.h"
#include "Utils/KCUtilities.h"
#include "Packet/PLRawLines.h"
#include "Utils/PLClientVersion.h"
#include "Utils/PLUtils.h"
#include "Utils/ParleyStringAdditions.h"
#include "Utils/PrefsManager.h"

#include <QDateTime>
#include <QHostInfo>
#include <QSysInfo>
#include <QVersionNumber>

namespace parley {

namespace {

const QString kLangOS = QStringLiteral("ko.macm");

// The PC-ID of this machine and a new location key, both kept in the user
// defaults (in one write: each durable write waits for the disk), the key
// also in the own account. Answers the PC-ID.
QString storePCIDAndNewLocationKey()
{
    const QString pcid = PCIDString(GetPrimaryMacAddress());
    const QString locKey = PLGetLocKey();
    UserDefaults::standardUserDefaults().setObjects(
        {{QStringLiteral("PCID"), pcid}, {QStringLiteral("LocKey"), locKey}});
    PLMyInfoManager::sharedManager().setDpLocationKey(locKey);
    return pcid;
}

// The host name, kept as the own account's PC name; answered as one word of
// the sign-in text (a name with a space in it escaped as a field is; none
// when the host has no name, so that the field keeps its "N").
QString currentPCName()
{
    const QString name = QHostInfo::localHostName();
    PLMyInfoManager::sharedManager().setDpPCName(name);
    return stringByParleyEncoding(name);
}

// The locale of the first interface language; null for one without.
QString localeName()
{
    const QStringList languages =
        UserDefaults::standardUserDefaults().objectForKey(QLatin1String(kAppleLanguagesKey)).toStringList();
    static const QHash<QString, QString> locales = {
        {QStringLiteral("ko"), QStringLiteral("ko-KR")},      {QStringLiteral("en"), QStringLiteral("en-US")},
        {QStringLiteral("ja"), QStringLiteral("ja-JP")},      {QStringLiteral("de"), QStringLiteral("de-DE")},
        {QStringLiteral("es"), QStringLiteral("es-ES")},      {QStringLiteral("zh-Hans"), QStringLiteral("zh-CN")},
        {QStringLiteral("zh-Hant"), QStringLiteral("zh-TW")},
    };
    return languages.isEmpty() ? QString() : locales.value(languages.first());
}

// The service may rely on the shape "OSX-major.minor.patch"; the numbers are
// the kernel's version.
QString osString()
{
    const QVersionNumber version = QVersionNumber::fromString(QSysInfo::kernelVersion());
    return QStringLiteral("OSX-%1.%2.%3").arg(version.majorVersion()).arg(version.minorVersion()).arg(version.microVersion());
}

QString requiredString(const QVariantMap &info, const char *key)
{
    const QVariant value = info.value(QLatin1String(key));
    return value.isValid() ? value.toString() : QString();
}

// The LSIN fields that both sign-ins fill alike; the user, the password and
// its encoding are each one's own. The PC-ID becomes the own account's before
// the PC name and location key are read.
void fillLSINPacket(PLSendLSINPacket &packet, const QString &pcid, bool hiddenRetry, const QString &encryptKey)
{
    packet.setVersion(PLClientVersion());
    packet.setCharEncodeType(QStringLiteral("UTF8"));
    packet.setLangDotOS(kLangOS);
    packet.setMasterID(QStringLiteral("%00"));
    PLMyInfoManager &myInfo = PLMyInfoManager::sharedManager();
    myInfo.setDpPCID(pcid);
    packet.setPCID(pcid);
    packet.setHiddenRetryYN(hiddenRetry ? QStringLiteral("Y") : QStringLiteral("N"));
    packet.setEncryptKey(encryptKey);
    packet.setMyPCName(currentPCName());
    packet.setMyLocationKey(myInfo.dpLocationKey());
}

} // namespace

bool PLDPSession::sendRESSPacket()
{
    PLSendRESSPacket packet{qint32(tid())};
    return sendPacket(packet);
}

bool PLDPSession::sendNCPTPacket(const QString &userID)
{
    PL_GUARD_OBJECT(!userID.isNull(), false);
    PLSendNCPTPacket packet{qint32(tid())};
    packet.setUserID(userID);
    packet.setRange(QStringLiteral("PRM"));
    return sendPacket(packet);
}

bool PLDPSession::sendPRVKPacket(const QVariantMap &info)
{
    const QString encodeType = requiredString(info, "encodeType");
    const QString sessionKey = requiredString(info, "sessionKey");
    PL_GUARD_OBJECT(!encodeType.isNull() && !sessionKey.isNull(), false);
    PLSendPRVKPacket packet{qint32(tid())};
    packet.setEncodeType(encodeType);
    packet.setSessionKey(sessionKey);
    return sendPacket(packet);
}

bool PLDPSession::sendLIN4Packet(const QString &passwordType)
{
    PLSendLIN4Packet packet{qint32(tid())};
    packet.setUserID(mUserID);
    packet.setEncType(QStringLiteral("NE3"));
    if (passwordType == QLatin1String("NE3")) {
        // Fails closed: without an enciphered password nothing is sent.
        const QString enciphered = encryptPassword(mPassword);
        PL_GUARD_OBJECT(!enciphered.isEmpty(), false);
        packet.setPassword(enciphered);
    } else if (passwordType == QLatin1String("TKN")) {
        const UserDefaults &defaults = UserDefaults::standardUserDefaults();
        const QString saved = QStringLiteral("%1@%2").arg(defaults.objectForKey(QStringLiteral("accountname")).toString(),
                                                          defaults.objectForKey(QStringLiteral("accountDomain")).toString());
        if (mUserID == saved)
            packet.setPassword(defaults.objectForKey(QStringLiteral("accountToken")).toString());
    } else if (passwordType == QLatin1String("OTP")) {
        packet.setPassword(mLoginOTP);
    } else if (passwordType == QLatin1String("PLN")) {
        packet.setPassword(mPassword);
    }
    packet.setPasswordType(passwordType);
    packet.setClientVersion(PLClientVersion());
    packet.setCharEncodeType(QStringLiteral("UTF8"));
    packet.setLangDotOS(kLangOS);
    packet.setMasterID(QStringLiteral("%00"));
    packet.setPCID(storePCIDAndNewLocationKey());
    packet.setHiddenRetryYN(mIsHiddenRetry ? QStringLiteral("Y") : QStringLiteral("N"));
    if (const QString pcName = currentPCName(); !pcName.isEmpty())
        packet.setPcName(pcName);
    if (const QString locale = localeName(); !locale.isNull())
        packet.setLocaleName(locale);
    packet.setLocKey(PLMyInfoManager::sharedManager().dpLocationKey());
    packet.setMultiSessionYN(QStringLiteral("Y"));
    packet.setOsString(osString());
    packet.setMobileYN(QStringLiteral("N"));
    packet.setNoteOnlyYN(QStringLiteral("N"));
    packet.setMVoipYN(QStringLiteral("N"));
    packet.setEncryptKey(mEncryptKey);
    return sendPacket(packet);
}

bool PLDPSession::sendLSINPacket()
{
    PLSendLSINPacket packet{qint32(tid())};
    packet.setUserID(mUserID);
    packet.setPassword(encryptedPassword());
    packet.setEncodeType(QStringLiteral("MD5"));
    fillLSINPacket(packet, storePCIDAndNewLocationKey(), mIsHiddenRetry, mEncryptKey);
    return sendPacket(packet);
}

bool PLDPSession::sendLSINOTPPacket()
{
    PLSendLSINPacket packet{qint32(tid())};
    packet.setUserID(mUserID);
    packet.setPassword(mLoginOTP);
    packet.setEncodeType(QStringLiteral("OTP"));
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    QString pcid = defaults.objectForKey(QStringLiteral("PCID")).toString();
    if (pcid.isEmpty()) {
        pcid = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz0"));
        defaults.setObject(pcid, QStringLiteral("PCID"));
    }
    fillLSINPacket(packet, pcid, mIsHiddenRetry, mEncryptKey);
    return sendPacket(packet);
}

bool PLDPSession::sendLOPTPacket()
{
    PLSendLOPTPacket packet(0);
    packet.setBodyType(QStringLiteral("TXT"));
    packet.setBody(PrefsManager::noti_showMemoType() == 1 ? QStringLiteral("memo_wnd_show=true")
                                                          : QStringLiteral("memo_wnd_show=false"));
    return sendPacket(packet);
}

bool PLDPSession::sendCONFPacket(qint32 cacheNo)
{
    PLSendCONFPacket packet{qint32(tid())};
    packet.setCache(QString::number(cacheNo));
    return sendPacket(packet);
}

bool PLDPSession::sendGLSTPacket(qint32 cacheNo)
{
    mGroupCacheNoValue = quint32(cacheNo);
    PLSendGLSTPacket packet{qint32(tid())};
    packet.setCache(QString::number(cacheNo));
    return sendPacket(packet);
}

void PLDPSession::sendLISTPacket()
{
    PLSendLISTPacket packet{qint32(tid())};
    sendPacket(packet);
}

bool PLDPSession::sendLOUTPacket()
{
    PLSendLOUTPacket packet{qint32(tid())};
    return sendPacket(packet);
}

bool PLDPSession::sendPINGPacket()
{
    PLSendPINGPacket packet(0);
    return sendPacket(packet);
}

bool PLDPSession::sendPONG()
{
    PL_GUARD_FLAG(mIsAvailablePONG, false);
    return sendPacketString(QString::fromUtf8(PLRawLines::pongLine(qint32(tid()))));
}

bool PLDPSession::sendREFRPacket(const QString &text)
{
    PL_GUARD_OBJECT(!text.isNull(), false);
    // An empty text, or one that would split the line, makes no line.
    const QByteArray line = PLRawLines::refrLine(qint32(tid()), text);
    PL_GUARD_OBJECT(!line.isNull(), false);
    return sendPacketString(QString::fromUtf8(line));
}

bool PLDPSession::sendADDGPacket(const QString &groupName)
{
    PL_GUARD_OBJECT(!groupName.isNull(), false);
    PLSendADDGPacket packet{qint32(tid())};
    packet.setLocalGroupCache(QString::number(mGroupCacheNoValue));
    packet.setGroupName(groupName);
    return sendPacket(packet);
}

bool PLDPSession::sendRMVGPacket(const QString &groupID)
{
    PL_GUARD_OBJECT(!groupID.isNull(), false);
    PLSendRMVGPacket packet{qint32(tid())};
    packet.setLocalGroupCache(QString::number(mGroupCacheNoValue));
    packet.setGroupID(groupID);
    return sendPacket(packet);
}

bool PLDPSession::sendRENGPacket(const QVariantMap &info)
{
    const QString groupID = requiredString(info, "groupID");
    const QString groupName = requiredString(info, "groupName");
    PL_GUARD_OBJECT(!groupID.isNull() && !groupName.isNull(), false);
    PLSendRENGPacket packet{qint32(tid())};
    packet.setLocalGroupCache(QString::number(mGroupCacheNoValue));
    packet.setGroupID(groupID);
    packet.setGroupName(groupName);
    return sendPacket(packet);
}

template <typename Packet>
bool PLDPSession::sendListedBuddy(const QVariantMap &info)
{
    const QString flag = requiredString(info, "flag");
    const QString targetCMN = requiredString(info, "targetCMN");
    const QString targetID = requiredString(info, "targetID");
    PL_GUARD_OBJECT(!flag.isNull() && !targetCMN.isNull() && !targetID.isNull(), false);
    Packet packet{qint32(tid())};
    packet.setType(flag);
    packet.setTargetCMN(targetCMN);
    packet.setTargetID(targetID);
    return sendPacket(packet);
}

bool PLDPSession::sendADDBPacket(const QVariantMap &info) { return sendListedBuddy<PLSendADDBPacket>(info); }
bool PLDPSession::sendRMVBPacket(const QVariantMap &info) { return sendListedBuddy<PLSendRMVBPacket>(info); }

bool PLDPSession::sendADSBPacket(const QVariantMap &info)
{
    // Absent fields travel as empty strings.
    const auto text = [&](const char *key) { return info.value(QLatin1String(key)).toString(); };
    PLSendADSBPacket packet{qint32(tid())};
    packet.setEvent(text("event"));
    packet.setTargetID(text("velaID"));
    packet.setTargetCMN(text("buddyCMN"));
    packet.setGroupID(text("groupID"));
    packet.setMsg(text("message"));
    return sendPacket(packet);
}

bool PLDPSession::sendBuddyBatch(const QString &command, const QVariantMap &info)
{
    const QVariant cache = info.value(QStringLiteral("localGroupCache"));
    const QVariant items = info.value(QStringLiteral("bodyItems"));
    PL_GUARD_OBJECT(cache.isValid() && items.isValid(), false);
    const bool isRemove = command == QLatin1String("RMBG");
    const qint32 id = qint32(tid());
    PLSendCPBGPacket copyOrMove(id);
    PLSendMVBGPacket move(id);
    PLSendRMBGPacket remove(id);
    for (const QVariant &entry : items.toList()) {
        const QVariantMap item = entry.toMap();
        const QString cmn = requiredString(item, "buddyCMN");
        const QString buddyID = requiredString(item, "buddyID");
        const QString from = requiredString(item, "fromGID");
        PL_GUARD_FLAG(!cmn.isNull() && !buddyID.isNull() && !from.isNull(), false);
        if (isRemove) {
            remove.addBuddy(cmn, buddyID, from);
            continue;
        }
        const QString target = requiredString(item, "targetGID");
        PL_GUARD_FLAG(!target.isNull(), false);
        if (command == QLatin1String("MVBG"))
            move.addBuddy(cmn, buddyID, from, target);
        else
            copyOrMove.addBuddy(cmn, buddyID, from, target);
    }
    const QString localGroupCache = cache.toString();
    if (isRemove) {
        remove.setLocalGroupCache(localGroupCache);
        return sendPacket(remove);
    }
    if (command == QLatin1String("MVBG")) {
        move.setLocalGroupCache(localGroupCache);
        return sendPacket(move);
    }
    copyOrMove.setLocalGroupCache(localGroupCache);
    return sendPacket(copyOrMove);
}

bool PLDPSession::sendMVBGPacket(const QVariantMap &info) { return sendBuddyBatch(QStringLiteral("MVBG"), info); }
bool PLDPSession::sendCPBGPacket(const QVariantMap &info) { return sendBuddyBatch(QStringLiteral("CPBG"), info); }
bool PLDPSession::sendRMBGPacket(const QVariantMap &info) { return sendBuddyBatch(QStringLiteral("RMBG"), info); }

bool PLDPSession::sendONSTPacket(qint32 status)
{
    const QString letter = PLBuddyManager::statusCharFrom(status);
    PL_GUARD_OBJECT(!letter.isEmpty(), false);
    PLSendONSTPacket packet{qint32(tid())};
    packet.setStatus(letter);
    packet.setFileRoomType(QStringLiteral("0"));
    packet.setFileRoomName(QString());
    packet.setMediaType(QStringLiteral("1"));
    return sendPacket(packet);
}

bool PLDPSession::sendCNIKPacket(const QString &nickName)
{
    PL_GUARD_OBJECT(!nickName.isNull(), false);
    PLSendCNIKPacket packet{qint32(tid())};
    packet.setNickName(nickName);
    return sendPacket(packet);
}

bool PLDPSession::sendCPRFPacket(const QVariantMap &profile)
{
    QStringList pairs;
    for (auto it = profile.cbegin(); it != profile.cend(); ++it)
        pairs.append(QStringLiteral("%1=%2").arg(it.key(), it.value().toString()));
    PLSendCPRFPacket packet{qint32(tid())};
    packet.setBody(pairs.join(QLatin1Char('&')));
    return sendPacket(packet);
}

bool PLDPSession::sendCMSGPacket(const QVariantMap &info)
{
    const QVariant confirm = info.value(QStringLiteral("confirm"));
    const QString body = requiredString(info, "body");
    PL_GUARD_OBJECT(confirm.isValid() && !body.isNull(), false);
    PLSendCMSGPacket packet{qint32(tid())};
    packet.setConfirm(confirm.toBool());
    packet.setBodyData(body);
    return sendPacket(packet);
}

bool PLDPSession::sendMEMOCNT2Packet()
{
    PLSendWGETPacket packet{qint32(tid())};
    packet.setSubCmd(QStringLiteral("MEMOCNT2"));
    packet.setBody(QString(QLatin1String("")));
    return sendPacket(packet);
}

bool PLDPSession::sendMEMOGET1Packet(const QString &, const QString &cookie)
{
    PL_GUARD_OBJECT(!cookie.isNull(), false);
    PLSendWGETPacket packet{qint32(tid())};
    packet.setSubCmd(QStringLiteral("MEMOGET1"));
    packet.setBody(QStringLiteral("cookie=%1").arg(cookie));
    return sendPacket(packet);
}

bool PLDPSession::sendMEMOREL1Packet(bool read, const QString &cookie, qint32 lastSeq, qint32 reqCount, bool)
{
    PL_GUARD_OBJECT(!cookie.isNull(), false);
    const qint32 id = qint32(tid());
    PLShellServices::shared().setCookie(cookie, QString::number(id));
    PLSendWGETPacket packet(id);
    packet.setSubCmd(QStringLiteral("MEMOREL1"));
    packet.setBody(QStringLiteral("cookie=%1&seq=%2&count=%3&read_yn=%4")
                       .arg(cookie)
                       .arg(lastSeq)
                       .arg(reqCount)
                       .arg(read ? QStringLiteral("Y") : QStringLiteral("N")));
    return sendPacket(packet);
}

bool PLDPSession::sendMLSTPacket(const QString &target)
{
    PL_GUARD_OBJECT(!target.isNull(), false);
    PLSendMLSTPacket packet{qint32(tid())};
    packet.setTarget(target);
    return sendPacket(packet);
}

qint32 PLDPSession::sendKILSPacket(const QString &target, const QString &allKill)
{
    const qint32 id = qint32(tid());
    PLSendKILSPacket packet(id);
    packet.setTarget(target);
    packet.setTargetType(allKill);
    sendPacket(packet);
    return id;
}

} // namespace parley
