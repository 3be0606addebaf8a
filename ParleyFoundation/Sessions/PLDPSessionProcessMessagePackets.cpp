// The handlers of PLDPSession for what the server relays or pushes outside the
// buddy list: CTOC (IMSG, INVT, REQC, MAIL), CMSG, PMSG, SMSG, WGET, TICK,
// ALRM, CALM, MCNT, MLST, KILS, KILL, PNAK, RESS and REFR, with their bodies.
#include "PLDPSession.h"
#include "PLDPSessionHandlerSupport.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLManagerRegistry.h"
#include "PLShellServices.h"
#include "Packet/PLRecvALRMPacket.h"
#include "Packet/PLRecvCALMPacket.h"
#include "Packet/PLRecvCMSGPacket.h"
#include "Packet/PLRecvCTOCPacket.h"
#include "Packet/PLRecvKILLPacket.h"
#include "Packet/PLRecvKILSPacket.h"
#include "Packet/PLRecvMCNTPacket.h"
#include "Packet/PLRecvMLSTPacket.h"
#include "Packet/PLRecvREFRPacket.h"
#include "Packet/PLRecvRESSPacket.h"
#include "Packet/PLRecvSMSGPacket.h"
#include "Packet/PLRecvTICKPacket.h"
#include "Packet/PLRecvWGETPacket.h"
#include "Packet/PLSendCTOCPacket.h"
#include "Utils/ParleyStringAdditions.h"

#include <QHostAddress>
#include <QUrl>

namespace parley {

using dphandlers::as;
using dphandlers::tidOf;

namespace {

constexpr qint32 kCTOCBody = 3;
constexpr qint32 kMessageBody = 7;
constexpr qint32 kWGETBody = 8;
constexpr qint32 kStoredMemoBody = 9;
constexpr qint32 kSessionListBody = 10;
// Largest file that the mail hand-over takes.
constexpr qint64 kMaxMailFileSize = 0x7FFFE000;

// Text of a body up to its first NUL, as UTF-8.
QString bodyText(const QByteArray &body)
{
    const qsizetype zero = body.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? body : body.left(zero));
}

void post(const PLDPSession *session, const char *name, const QVariantMap &info = {})
{
    NotificationCenter::defaultCenter().post(QString::fromLatin1(name), session, info);
}

} // namespace

bool PLDPSession::isUsableAddress(const QString &ip, const QString &port)
{
    bool ok = false;
    const uint number = port.trimmed().toUInt(&ok);
    QHostAddress address;
    // Only literal addresses: a host name from a peer would send us to its resolver.
    if (!address.setAddress(ip) || !ok || number < 1 || number > 65535) {
        plLog(QStringLiteral("unusable address %1 port %2 dropped").arg(ip, port));
        return false;
    }
    return true;
}

void PLDPSession::registerMessageHandlers()
{
    const auto bind = [this](void (PLDPSession::*method)(PLRecvPacket &)) {
        return [this, method](PLRecvPacket &packet) { (this->*method)(packet); };
    };
    registerProcessMethod(QStringLiteral("CTOC"), bind(&PLDPSession::processCTOCPackets));
    registerProcessMethod(QStringLiteral("CMSG"), bind(&PLDPSession::processCMSGPackets));
    registerProcessMethod(QStringLiteral("PMSG"), bind(&PLDPSession::processCMSGPackets));
    registerProcessMethod(QStringLiteral("SMSG"), bind(&PLDPSession::processSMSGPackets));
    registerProcessMethod(QStringLiteral("WGET"), bind(&PLDPSession::processWGETPackets));
    registerProcessMethod(QStringLiteral("TICK"), bind(&PLDPSession::processTICKPackets));
    registerProcessMethod(QStringLiteral("ALRM"), bind(&PLDPSession::processALRMPackets));
    registerProcessMethod(QStringLiteral("CALM"), bind(&PLDPSession::processCALMPackets));
    registerProcessMethod(QStringLiteral("MCNT"), bind(&PLDPSession::processMCNTPackets));
    registerProcessMethod(QStringLiteral("MLST"), bind(&PLDPSession::processMLSTPackets));
    registerProcessMethod(QStringLiteral("KILS"), bind(&PLDPSession::processKILSPackets));
    registerProcessMethod(QStringLiteral("KILL"), bind(&PLDPSession::processKILLPackets));
    registerProcessMethod(QStringLiteral("PNAK"), bind(&PLDPSession::processPNAKPackets));
    registerProcessMethod(QStringLiteral("RESS"), bind(&PLDPSession::processRESSPackets));
    registerProcessMethod(QStringLiteral("REFR"), bind(&PLDPSession::processREFRPackets));
}

bool PLDPSession::processEventBody(qint32 bodyType, const QByteArray &body)
{
    switch (bodyType) {
    case kCTOCBody: processCTOCBody(body); return true;
    case 4: case 5: case 6: processBatchBody(bodyType, body); return true;
    case kMessageBody: case kStoredMemoBody: processCMSGBody(body); return true;
    case kWGETBody: processWGETBody(body); return true;
    case kSessionListBody: processMLSTBody(body); return true;
    case 11: processCPRFBody(body); return true;
    default: return false;
    }
}

void PLDPSession::processCTOCPackets(PLRecvPacket &packet)
{
    auto *ctoc = as<PLRecvCTOCPacket>(packet);
    PL_GUARD_OBJECT(ctoc && !ctoc->fromID().isNull());
    QVariantMap header{{QStringLiteral("fromID"), ctoc->fromID()}};
    if (!ctoc->fromKey().isEmpty())
        header.insert(QStringLiteral("dpKey"), ctoc->fromKey());
    announceBody(kCTOCBody, header, ctoc->bodyLen());
}

void PLDPSession::processCTOCBody(const QByteArray &body)
{
    const QString text = bodyText(body);
    const QStringList words = text.split(QLatin1Char(' '));
    PL_GUARD_FLAG(!text.isEmpty());
    const QString first = words[0].trimmed();
    if (first == QLatin1String("REQC"))
        return processREQCWords(words);
    if (first == QLatin1String("INVT"))
        return processINVTWords(words);
    if (first == QLatin1String("MAIL"))
        return processMAILWords(words);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    PL_GUARD_FLAG(!lines.isEmpty());
    if (lines[0] == QLatin1String("IMSG"))
        return processIMSGLines(lines);
    plLog(QStringLiteral("unknown CTOC body. %1, %2").arg(QLatin1String(__FILE__)).arg(__LINE__));
    plLog(QStringLiteral("strs = %1").arg(lines.join(QLatin1Char('|'))));
}

void PLDPSession::processIMSGLines(const QStringList &lines)
{
    QVariantMap details;
    int phase = 0;
    QStringList message;
    for (const QString &line : lines) {
        if (phase == 0) {
            details.insert(QStringLiteral("command"), line);
            phase = 1;
        } else if (phase == 1) {
            if (line.isEmpty()) {
                phase = 2;
                continue;
            }
            const QStringList parts = line.split(QLatin1Char(':'));
            if (parts.size() == 2)
                details.insert(parts[0], parts[1]);
        } else {
            message.append(line);
        }
    }
    if (phase == 2)
        details.insert(QStringLiteral("message"), message.join(QStringLiteral("\r\n")));
    if (mDelegate)
        mDelegate->dpSessionMessageReceived(this, details);
}

void PLDPSession::processINVTWords(const QStringList &words)
{
    PL_GUARD_FLAG(words.size() == 5);
    for (int i = 1; i < 5; ++i)
        PL_GUARD_OBJECT(!words[i].isEmpty());
    const QString key = words[4].trimmed();
    if (!isUsableAddress(words[2], words[3]))
        return;
    if (mDelegate)
        mDelegate->dpSessionInvitedToChat(this, {{QStringLiteral("velaID"), words[1]},
                                                 {QStringLiteral("ip"), words[2]},
                                                 {QStringLiteral("port"), words[3]},
                                                 {QStringLiteral("key"), key}});
}

void PLDPSession::processREQCWords(const QStringList &words)
{
    const QString fromID = mHeaderInfoForBody.value(QStringLiteral("fromID")).toString();
    const QString dpKey = mHeaderInfoForBody.value(QStringLiteral("dpKey")).toString();
    PL_GUARD_FLAG(words.size() >= 4 && words.size() <= 5);
    const QString subCmd = words[1];
    const QStringList address = words[2].split(QLatin1Char(':'));
    PL_GUARD_FLAG(address.size() == 2);
    const QString ip = address[0];
    const QString port = address[1];
    const QString p2pCookie = words[3].trimmed();
    const QString frCookie = words.size() == 5 ? words[4].trimmed() : QString();
    PL_GUARD_OBJECT(!subCmd.isEmpty() && !p2pCookie.isEmpty() && !fromID.isEmpty());
    if (!isUsableAddress(ip, port))
        return;
    QVariantMap details{{QStringLiteral("subCmd"), subCmd},
                        {QStringLiteral("ip"), ip},
                        {QStringLiteral("p2pCookie"), p2pCookie},
                        {QStringLiteral("userID"), fromID}};
    if (subCmd == QLatin1String("FR")) {
        PL_GUARD_OBJECT(!frCookie.isEmpty() && !dpKey.isEmpty());
        details.insert(QStringLiteral("port"), port);
        details.insert(QStringLiteral("frCookie"), frCookie);
        details.insert(QStringLiteral("dpKey"), dpKey);
    } else {
        // An answer without the sender's key cannot be answered back.
        PL_GUARD_OBJECT(!dpKey.isEmpty());
        details.insert(QStringLiteral("port"), port.toInt());
        details.insert(QStringLiteral("dpKey"), dpKey);
        if (!frCookie.isEmpty())
            details.insert(QStringLiteral("frCookie"), frCookie);
    }
    if (mDelegate)
        mDelegate->dpSessionRequestP2PConnectReceived(this, details);
}

bool PLDPSession::sendCTOCReply(const QString &text)
{
    const QString target = mHeaderInfoForBody.value(QStringLiteral("fromID")).toString();
    PL_GUARD_OBJECT(!target.isEmpty(), false);
    PLSendCTOCPacket packet{qint32(tid())};
    packet.setTargetID(target);
    packet.setAckType(QStringLiteral("U"));
    packet.setBody(text);
    return sendPacket(packet);
}

void PLDPSession::startMailTransfer(const QStringList &tokens, const QString &fileCookie)
{
    PL_GUARD_OBJECT(!fileCookie.isEmpty());
    const QString startMessage = QStringLiteral("MAIL 1 %1 FILE START\t%2\t%3")
                                     .arg(mUserID)
                                     .arg(tokens.value(2).toInt())
                                     .arg(tokens.value(3));
    const qint64 size = PLManagerRegistry::fileTransferManager()
                            .fileInfoForCookie(fileCookie)
                            .value(QStringLiteral("fileSize"))
                            .toLongLong();
    if (size >= 1 && size <= kMaxMailFileSize)
        sendCTOCReply(startMessage);
    PLManagerRegistry::mailTransferManager().reset();
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    post(this, notifications::kMailUploadStart,
         {{QStringLiteral("fileCookie"), fileCookie},
          {QStringLiteral("ticket"), me.ticket()},
          {QStringLiteral("cmn"), me.cmn()},
          {QStringLiteral("userID"), me.loginID()},
          {QStringLiteral("sender"), me.velaID()},
          {QStringLiteral("name"), me.name()},
          {QStringLiteral("packet"), startMessage}});
}

void PLDPSession::processMAILWords(const QStringList &words)
{
    PL_GUARD_FLAG(words.size() >= 5);
    const QString kind = words[3];
    const QStringList tokens = words[4].split(QLatin1Char('\t'));
    const QString step = tokens.value(0);
    const QString ownID = PLMyInfoManager::sharedManager().velaID();
    const auto cookieInfo = [&tokens](qsizetype index) {
        return tokens.size() > index ? QVariantMap{{QStringLiteral("fileCookie"), tokens[index]}} : QVariantMap{};
    };
    if (kind == QLatin1String("SSO")) {
        if (step == QLatin1String("REQUEST")) {
            if (!ownID.isEmpty())
                sendCTOCReply(QStringLiteral("MAIL 1 %1 SSO ACK\t%1\t%2\t%3")
                                  .arg(ownID).arg(tokens.value(1).toInt()).arg(tokens.value(2)));
            else
                sendCTOCReply(QStringLiteral("MAIL 1 %1 SSO NACK\t%2\t%3")
                                  .arg(mUserID).arg(tokens.value(1).toInt()).arg(tokens.value(2)));
        } else if (step == QLatin1String("ACK")) {
            startMailTransfer(tokens, tokens.value(3));
        } else if (step == QLatin1String("NACK")) {
            post(this, notifications::kMailDownloadUnavailable, cookieInfo(2));
        }
    } else if (kind == QLatin1String("FILE")) {
        if (step == QLatin1String("START")) {
            post(this, notifications::kMailDownloadStart, cookieInfo(2));
        } else if (step == QLatin1String("END")) {
            post(this, notifications::kMailDownloadEnd, cookieInfo(2));
        } else if (step == QLatin1String("REQUEST")) {
            if (!ownID.isEmpty()) {
                startMailTransfer(tokens, tokens.value(3));
            } else {
                sendCTOCReply(QStringLiteral("MAIL 1 %1 FILE WAIT\t%2\t%3")
                                  .arg(mUserID).arg(tokens.value(2).toInt()).arg(tokens.value(3)));
                post(this, notifications::kMailUploadUnavailable);
            }
        }
    }
}

void PLDPSession::processCMSGPackets(PLRecvPacket &packet)
{
    auto *cmsg = as<PLRecvCMSGPacket>(packet);
    PL_GUARD_OBJECT(cmsg && !cmsg->fromID().isNull());
    announceBody(kMessageBody,
                 {{QStringLiteral("fromID"), cmsg->fromID()}, {QStringLiteral("tid"), tidOf(packet)}},
                 packet.intValue(QStringLiteral("bodyLen")));
}

void PLDPSession::processSMSGPackets(PLRecvPacket &packet)
{
    PLShellServices::shared().incMemoCount();
    announceBody(kStoredMemoBody, {{QStringLiteral("tid"), tidOf(packet)}},
                 packet.intValue(QStringLiteral("bodyLen")));
}

void PLDPSession::processCMSGBody(const QByteArray &body)
{
    const QStringList lines = bodyText(body).split(QStringLiteral("\r\n"));
    PL_GUARD_FLAG(!lines.isEmpty());
    if (lines[0] == QLatin1String("IMSG"))
        return processIMSGLines(lines);
    plLog(QStringLiteral("unknown CMSG body. %1, %2").arg(QLatin1String(__FILE__)).arg(__LINE__));
}

void PLDPSession::processWGETPackets(PLRecvPacket &packet)
{
    auto *wget = as<PLRecvWGETPacket>(packet);
    PL_GUARD_OBJECT(wget && !wget->subCmd().isNull() && !wget->resultCode().isNull());
    announceBody(kWGETBody, {{QStringLiteral("tid"), tidOf(packet)}, {QStringLiteral("subcomm"), wget->subCmd()}},
                 packet.intValue(QStringLiteral("bodylen")));
}

void PLDPSession::processWGETBody(const QByteArray &body)
{
    const QString subCmd = mHeaderInfoForBody.value(QStringLiteral("subcomm")).toString();
    PL_GUARD_OBJECT(!subCmd.isEmpty());
    const QString text = QString::fromUtf8(body);
    if (subCmd == QLatin1String("MEMOCNT2")) {
        const int count = plIntValue(text);
        PLShellServices::shared().setMemoCount(count);
        if (count >= 1)
            PLShellServices::shared().showToasterWindow(QStringLiteral("MEMOCNT"), {{QStringLiteral("count"), count}});
    } else if (subCmd == QLatin1String("MEMOREL1")) {
        const QVariant tid = mHeaderInfoForBody.value(QStringLiteral("tid"));
        PL_GUARD_OBJECT(tid.isValid() && !text.isNull());
        post(this, notifications::kNoteRelation, {{QStringLiteral("tid"), tid}, {QStringLiteral("data"), text}});
    } else {
        plLog(QStringLiteral("UNKNOWN PROTOCOL : WGET %1").arg(subCmd));
    }
}

void PLDPSession::processTICKPackets(PLRecvPacket &packet)
{
    auto *tick = as<PLRecvTICKPacket>(packet);
    PL_GUARD_OBJECT(tick);
    if (mDelegate)
        mDelegate->dpSessionTicketReceived(this, {{QStringLiteral("ticket"), tick->ticket()}});
}

QVariantMap PLDPSession::alarmDetails(PLRecvALRMPacket &alarm, bool unescapeURL)
{
    const QString url = unescapeURL ? QUrl::fromPercentEncoding(alarm.url().toUtf8()) : alarm.url();
    PL_GUARD_OBJECT(!alarm.svcGB().isNull() && !alarm.from().isNull() && !alarm.text().isNull()
                        && !alarm.urlGB().isNull() && !url.isNull(),
                    QVariantMap());
    return {{QStringLiteral("svcGB"), alarm.svcGB()},
            {QStringLiteral("from"), alarm.from()},
            {QStringLiteral("text"), alarm.text()},
            {QStringLiteral("urlGB"), alarm.urlGB()},
            {QStringLiteral("url"), url},
            {QStringLiteral("svc_defined"), alarm.svcDefined().isNull() ? QStringLiteral("") : alarm.svcDefined()}};
}

void PLDPSession::processALRMPackets(PLRecvPacket &packet)
{
    auto *alarm = as<PLRecvALRMPacket>(packet);
    PL_GUARD_OBJECT(alarm);
    const QVariantMap details = alarmDetails(*alarm, true);
    if (!details.isEmpty() && mDelegate)
        mDelegate->dpSessionAlrmReceived(this, details);
}

void PLDPSession::processCALMPackets(PLRecvPacket &packet)
{
    auto *alarm = as<PLRecvALRMPacket>(packet);
    PL_GUARD_OBJECT(alarm);
    const QVariantMap details = alarmDetails(*alarm, false);
    if (!details.isEmpty() && mDelegate)
        mDelegate->dpSessionCalmReceived(this, details);
}

void PLDPSession::processMCNTPackets(PLRecvPacket &packet)
{
    auto *mcnt = as<PLRecvMCNTPacket>(packet);
    PL_GUARD_OBJECT(mcnt);
    post(this, notifications::kSessionCount, {{QStringLiteral("count"), mcnt->count()}});
}

void PLDPSession::processMLSTPackets(PLRecvPacket &packet)
{
    auto *mlst = as<PLRecvMLSTPacket>(packet);
    PL_GUARD_OBJECT(mlst);
    if (mlst->count() == 0)
        post(this, notifications::kSessionList);
    announceBody(kSessionListBody, {}, mlst->bodyLength());
}

void PLDPSession::processMLSTBody(const QByteArray &body)
{
    const QStringList lines = bodyText(body).split(QStringLiteral("\r\n"));
    PL_GUARD_FLAG(!lines.isEmpty());
    QVariantList list;
    for (const QString &line : lines) {
        const QStringList words = line.split(QLatin1Char(' '));
        if (words.size() > 4)
            list.append(words);
    }
    post(this, notifications::kSessionList, {{QStringLiteral("list"), list}});
}

void PLDPSession::processKILSPackets(PLRecvPacket &packet)
{
    auto *kils = as<PLRecvKILSPacket>(packet);
    PL_GUARD_OBJECT(kils);
    post(this, notifications::kSessionReceiveKill,
         {{QStringLiteral("tid"), tidOf(packet)}, {QStringLiteral("result"), kils->is100()}});
}

void PLDPSession::processKILLPackets(PLRecvPacket &packet)
{
    auto *kill = as<PLRecvKILLPacket>(packet);
    PL_GUARD_OBJECT(kill);
    post(this, notifications::kSessionKilled);
    QVariantMap details{{QStringLiteral("tid"), tidOf(packet)}};
    if (!kill->brCode().isEmpty())
        details.insert(QStringLiteral("brcode"), kill->brCode());
    if (!kill->brParams().isEmpty())
        details.insert(QStringLiteral("brparam"), kill->brParams());
    // Set before the delegate hears of it, so that a logout it starts sends no LOUT.
    mDpState = Killed;
    if (mDelegate)
        mDelegate->dpSessionKillReceived(this, details);
}

void PLDPSession::processPNAKPackets(PLRecvPacket &packet)
{
    if (mDelegate)
        mDelegate->dpSessionPnakReceived(this, {{QStringLiteral("tid"), tidOf(packet)}});
}

void PLDPSession::processRESSPackets(PLRecvPacket &packet)
{
    auto *ress = as<PLRecvRESSPacket>(packet);
    PL_GUARD_OBJECT(ress && !ress->IP().isNull() && !ress->key().isNull());
    if (!isUsableAddress(ress->IP(), QString::number(ress->port())))
        return;
    if (mDelegate)
        mDelegate->dpSessionSsInfoReceived(this, {{QStringLiteral("tid"), tidOf(packet)},
                                                  {QStringLiteral("ip"), ress->IP()},
                                                  {QStringLiteral("port"), ress->port()},
                                                  {QStringLiteral("key"), ress->key()}});
}

void PLDPSession::processREFRPackets(PLRecvPacket &packet)
{
    auto *refr = as<PLRecvREFRPacket>(packet);
    PL_GUARD_OBJECT(refr && !refr->FRServerIP().isNull() && !refr->portNo().isNull() && !refr->FRCookie().isNull());
    if (!isUsableAddress(refr->FRServerIP(), refr->portNo()))
        return;
    if (mDelegate)
        mDelegate->dpSessionFrServerInfoReceived(this, {{QStringLiteral("tid"), tidOf(packet)},
                                                        {QStringLiteral("serverIP"), refr->FRServerIP()},
                                                        {QStringLiteral("portNo"), refr->portNo().toInt()},
                                                        {QStringLiteral("frCookie"), refr->FRCookie()}});
}

} // namespace parley
