// The handlers of PLDPSession for the buddy-list, group and presence commands:
// INFY, NTFY, NNIK, NPRF, CNIK, ONST, CPRF (with its pushed body), ADSB,
// ADDB, RMVB, ADDG, RMVG, RENG, and the bulk results CPBG, MVBG and RMBG.
// Each turns its line into one details dictionary for the delegate.
#include "PLDPSession.h"
#include "PLDPSessionHandlerSupport.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLShellServices.h"
#include "Packet/PLRecvADDBPacket.h"
#include "Packet/PLRecvADDGPacket.h"
#include "Packet/PLRecvADSBPacket.h"
#include "Packet/PLRecvBuddyBatchPacket.h"
#include "Packet/PLRecvCPRFPacket.h"
#include "Packet/PLRecvINFYPacket.h"
#include "Packet/PLRecvNNIKPacket.h"
#include "Packet/PLRecvNPRFPacket.h"
#include "Packet/PLRecvNTFYPacket.h"
#include "Packet/PLRecvRENGPacket.h"
#include "Packet/PLRecvRMVBPacket.h"
#include "Packet/PLRecvRMVGPacket.h"

#include <QStringDecoder>

namespace parley {

using dphandlers::as;
using dphandlers::tidOf;

namespace {

// Body types of the commands handled here.
constexpr qint32 kMoveBody = 4;
constexpr qint32 kCopyBody = 5;
constexpr qint32 kRemoveBody = 6;
constexpr qint32 kProfileBody = 11;

} // namespace

void PLDPSession::registerBuddyHandlers()
{
    const auto bind = [this](void (PLDPSession::*method)(PLRecvPacket &)) {
        return [this, method](PLRecvPacket &packet) { (this->*method)(packet); };
    };
    registerProcessMethod(QStringLiteral("INFY"), bind(&PLDPSession::processINFYPackets));
    registerProcessMethod(QStringLiteral("NTFY"), bind(&PLDPSession::processNTFYPackets));
    registerProcessMethod(QStringLiteral("NNIK"), bind(&PLDPSession::processNNIKPackets));
    registerProcessMethod(QStringLiteral("NPRF"), bind(&PLDPSession::processNPRFPackets));
    registerProcessMethod(QStringLiteral("CNIK"), bind(&PLDPSession::processCNIKPackets));
    registerProcessMethod(QStringLiteral("ONST"), bind(&PLDPSession::processONSTPackets));
    registerProcessMethod(QStringLiteral("CPRF"), bind(&PLDPSession::processCPRFPackets));
    registerProcessMethod(QStringLiteral("ADSB"), bind(&PLDPSession::processADSBPackets));
    registerProcessMethod(QStringLiteral("ADDB"), bind(&PLDPSession::processADDBPackets));
    registerProcessMethod(QStringLiteral("RMVB"), bind(&PLDPSession::processRMVBPackets));
    registerProcessMethod(QStringLiteral("ADDG"), bind(&PLDPSession::processADDGPackets));
    registerProcessMethod(QStringLiteral("RMVG"), bind(&PLDPSession::processRMVGPackets));
    registerProcessMethod(QStringLiteral("RENG"), bind(&PLDPSession::processRENGPackets));
    registerProcessMethod(QStringLiteral("CPBG"), bind(&PLDPSession::processCPBGPackets));
    registerProcessMethod(QStringLiteral("MVBG"), bind(&PLDPSession::processMVBGPackets));
    registerProcessMethod(QStringLiteral("RMBG"), bind(&PLDPSession::processRMBGPackets));
}

void PLDPSession::reportBuddyStatus(PLRecvBuddyStatusPacket &status, const QString &packetType,
                                    const QString &langOS)
{
    PL_GUARD_OBJECT(!status.ID().isNull() && !status.userStatus().isNull()
                    && !status.fileRoomType().isNull() && !status.fileRoomName().isNull()
                    && !status.mediaType().isNull() && !langOS.isNull());
    QVariantMap details{{QStringLiteral("userID"), status.ID()},
                        {QStringLiteral("status"), status.userStatus()},
                        {QStringLiteral("fileRoomType"), status.fileRoomType()},
                        {QStringLiteral("fileRoomName"), status.fileRoomName()},
                        {QStringLiteral("mediaType"), status.mediaType()},
                        {QStringLiteral("packetType"), packetType}};
    if (!status.sessionCount().isNull())
        details.insert(QStringLiteral("sessionCount"), status.sessionCount());
    if (!status.noteOnly().isNull())
        details.insert(QStringLiteral("noteOnly"), status.noteOnly());
    if (packetType == QLatin1String("NTFY"))
        details.insert(QStringLiteral("langOS"), langOS);
    if (mDelegate)
        mDelegate->dpSessionBuddyStatusChanged(this, details);
}

void PLDPSession::processINFYPackets(PLRecvPacket &packet)
{
    auto *infy = as<PLRecvINFYPacket>(packet);
    PL_GUARD_OBJECT(infy);
    reportBuddyStatus(*infy, QStringLiteral("INFY"), infy->langOSType());
}

void PLDPSession::processNTFYPackets(PLRecvPacket &packet)
{
    auto *ntfy = as<PLRecvNTFYPacket>(packet);
    PL_GUARD_OBJECT(ntfy);
    reportBuddyStatus(*ntfy, QStringLiteral("NTFY"), ntfy->langOS());
}

void PLDPSession::processNNIKPackets(PLRecvPacket &packet)
{
    auto *nnik = as<PLRecvNNIKPacket>(packet);
    PL_GUARD_OBJECT(nnik && !nnik->ID().isNull() && !nnik->nickName().isNull());
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    if (nnik->ID() == me.loginID()) {
        me.setNickName(nnik->nickName());
        NotificationCenter::defaultCenter().post(QString::fromLatin1(notifications::kMyNickNameChanged), this,
                                                 {{QStringLiteral("nickName"), nnik->nickName()}});
        return;
    }
    if (mDelegate)
        mDelegate->dpSessionBuddyNickNameChanged(
            this, {{QStringLiteral("velaID"), nnik->ID()}, {QStringLiteral("nickName"), nnik->nickName()}});
}

void PLDPSession::processNPRFPackets(PLRecvPacket &packet)
{
    auto *nprf = as<PLRecvNPRFPacket>(packet);
    PL_GUARD_OBJECT(nprf && !nprf->ID().isNull() && !nprf->typeMask().isNull() && !nprf->mobile().isNull()
                    && !nprf->orcmn().isNull() && !nprf->musicDate().isNull() && !nprf->ewerYN().isNull()
                    && !nprf->birth().isNull());
    if (mDelegate)
        mDelegate->dpSessionBuddyInfoUpdateNotificaionReceived(
            this, {{QStringLiteral("tid"), tidOf(packet)},
                   {QStringLiteral("velaID"), nprf->ID()},
                   {QStringLiteral("typemask"), nprf->typeMask()},
                   {QStringLiteral("mobile"), nprf->mobile()},
                   {QStringLiteral("orcmn"), nprf->orcmn()},
                   {QStringLiteral("musicDate"), nprf->musicDate()},
                   {QStringLiteral("eweryn"), nprf->ewerYN()},
                   {QStringLiteral("birth"), nprf->birth()}});
}

void PLDPSession::processCNIKPackets(PLRecvPacket &packet)
{
    if (mDelegate)
        mDelegate->dpSessionChangeNickNameResultReceived(this, {{QStringLiteral("tid"), tidOf(packet)}});
}

void PLDPSession::processONSTPackets(PLRecvPacket &packet)
{
    if (mDelegate)
        mDelegate->dpSessionChangeStatusResultReceived(this, {{QStringLiteral("tid"), tidOf(packet)}});
}

void PLDPSession::processCPRFPackets(PLRecvPacket &packet)
{
    auto *cprf = as<PLRecvCPRFPacket>(packet);
    PL_GUARD_OBJECT(cprf);
    QVariantMap details{{QStringLiteral("tid"), tidOf(packet)}};
    static const char *const kKeys[] = {"typeMask", "mobileOm", "mobile", "emailOm", "email",
                                        "orcmnOm", "orcmn", "musicDateOm", "musicDate",
                                        "ewerYNOm", "ewerYN", "birthOm", "birth"};
    for (const char *key : kKeys) {
        const QString value = cprf->value(QLatin1String(key));
        PL_GUARD_OBJECT(!value.isNull());
        details.insert(QLatin1String(key), value);
    }
    if (mDelegate)
        mDelegate->dpSessionCprfResultReceived(this, details);
    const QString length = cprf->value(QStringLiteral("length"));
    if (packet.tID() == 0 && !length.isNull())
        announceBody(kProfileBody, details, length.toLongLong());
}

void PLDPSession::processCPRFBody(const QByteArray &body)
{
    QByteArray bytes = body;
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    const QStringList items = QString::fromUtf8(bytes).split(QLatin1Char('&'));
    PL_GUARD_FLAG(!items.isEmpty());
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    for (const QString &item : items) {
        const QStringList pair = item.split(QLatin1Char('='));
        if (pair.size() >= 2)
            me.setProfileValue(pair[1], pair[0]);
    }
    PLShellServices::shared().readPreferences();
}

void PLDPSession::processADSBPackets(PLRecvPacket &packet)
{
    auto *adsb = as<PLRecvADSBPacket>(packet);
    PL_GUARD_OBJECT(adsb && !adsb->event().isNull() && !adsb->targetCMN().isNull());
    const auto orEmpty = [](const QString &text) { return text.isNull() ? QStringLiteral("") : text; };
    const QVariantMap details{{QStringLiteral("tid"), tidOf(packet)},
                              {QStringLiteral("event"), adsb->event()},
                              {QStringLiteral("targetCMN"), adsb->targetCMN()},
                              {QStringLiteral("targetName"), orEmpty(adsb->targetName())},
                              {QStringLiteral("groupCache"), orEmpty(adsb->groupCache())},
                              {QStringLiteral("targetID"), orEmpty(adsb->targetID())},
                              {QStringLiteral("targetGID"), orEmpty(adsb->targetGID())}};
    if (!mDelegate)
        return;
    if (adsb->event() == QLatin1String("REQST"))
        mDelegate->dpSessionRequestAddBuddyResultReceived(this, details);
    else if (adsb->event() == QLatin1String("ACCPT"))
        mDelegate->dpSessionAcceptAddBuddyResultReceived(this, details);
    else if (adsb->event() == QLatin1String("REJCT"))
        mDelegate->dpSessionRejectAddBuddyResultReceived(this, details);
}

void PLDPSession::processADDBPackets(PLRecvPacket &packet)
{
    auto *addb = as<PLRecvADDBPacket>(packet);
    PL_GUARD_OBJECT(addb);
    enum { General = 1, Forward = 2, Allow = 3, Reverse = 4, Block = 5 };
    const qint32 kind = addb->packetType();
    if (kind == Reverse) {
        PL_GUARD_OBJECT(!addb->fromCMN().isNull() && !addb->fromID().isNull());
        if (mDelegate)
            mDelegate->dpSessionUserRegistersMeToBuddyListNotificationReceived(
                this, {{QStringLiteral("fromCMN"), addb->fromCMN()},
                       {QStringLiteral("fromID"), addb->fromID()},
                       {QStringLiteral("message"), addb->msg().isNull() ? QStringLiteral("") : addb->msg()}});
        return;
    }
    if (kind == Forward || kind == Allow || kind == Block) {
        if (packet.tID() != 0)
            return; // only changes made elsewhere are applied here
        PL_GUARD_OBJECT(!addb->fromCMN().isNull() && !addb->fromID().isNull());
        PLBuddyManager &buddies = PLBuddyManager::sharedManager();
        const PLBuddyPtr buddy = buddies.buddyForCMN(addb->fromCMN());
        PL_GUARD_OBJECT(buddy);
        if (kind == Forward) {
            PL_GUARD_OBJECT(!addb->groupCache().isNull() && !addb->nick().isNull());
            buddy->setNickName(addb->nick());
            buddy->setVelaID(addb->fromID());
            buddy->setBuddyFlagFLBit(true);
            buddies.setGroupCacheNo(addb->groupCache().toInt());
        } else {
            buddy->setBuddyFlagALBit(kind == Allow);
            buddy->setBuddyFlagBLBit(kind == Block);
        }
        buddies.postBuddyUpdatedNotification(addb->fromID());
        return;
    }
    PL_GUARD_OBJECT(!addb->targetCMN().isNull());
    if (mDelegate)
        mDelegate->dpSessionBuddyFlagChanged(
            this, {{QStringLiteral("tid"), tidOf(packet)}, {QStringLiteral("cmn"), addb->targetCMN()}});
}

void PLDPSession::processRMVBPackets(PLRecvPacket &packet)
{
    auto *rmvb = as<PLRecvRMVBPacket>(packet);
    PL_GUARD_OBJECT(rmvb);
    const qint32 kind = rmvb->packetType();
    if (kind == 2 || kind == 3) {
        PL_GUARD_OBJECT(!rmvb->fromCMN().isNull() && !rmvb->fromID().isNull());
        if (mDelegate)
            mDelegate->dpSessionUserRemovesMeToBuddyListNotificationReceived(
                this, {{QStringLiteral("tid"), tidOf(packet)},
                       {QStringLiteral("fromCMN"), rmvb->fromCMN()},
                       {QStringLiteral("fromID"), rmvb->fromID()},
                       {QStringLiteral("type"), kind}});
    } else if (kind == 1) {
        PL_GUARD_OBJECT(!rmvb->groupCache().isNull());
        if (mDelegate)
            mDelegate->dpSessionRequestRemoveBuddyResultReceived(
                this, {{QStringLiteral("tid"), tidOf(packet)}, {QStringLiteral("groupCache"), rmvb->groupCache()}});
    } else {
        plLog(QStringLiteral("%1(%2) - %3").arg(QLatin1String(__FILE__)).arg(__LINE__).arg(QStringLiteral("Unknown Type")));
    }
}

void PLDPSession::processADDGPackets(PLRecvPacket &packet)
{
    auto *addg = as<PLRecvADDGPacket>(packet);
    PL_GUARD_OBJECT(addg && !addg->newGroupCache().isNull() && !addg->groupID().isNull());
    mGroupCacheNoValue = addg->newGroupCache().toUInt();
    QVariantMap details{{QStringLiteral("tid"), tidOf(packet)},
                        {QStringLiteral("newGroupCache"), addg->newGroupCache()},
                        {QStringLiteral("groupID"), addg->groupID()}};
    if (packet.tID() == 0 && !addg->groupName().isNull())
        details.insert(QStringLiteral("groupName"), addg->groupName());
    if (mDelegate)
        mDelegate->dpSessionAddGroupResultReceived(this, details);
}

void PLDPSession::processRMVGPackets(PLRecvPacket &packet)
{
    auto *rmvg = as<PLRecvRMVGPacket>(packet);
    PL_GUARD_OBJECT(rmvg && !rmvg->newGroupCache().isNull());
    mGroupCacheNoValue = rmvg->newGroupCache().toUInt();
    QVariantMap details{{QStringLiteral("tid"), tidOf(packet)},
                        {QStringLiteral("newGroupCache"), rmvg->newGroupCache()}};
    if (packet.tID() == 0) {
        PL_GUARD_OBJECT(!rmvg->groupID().isNull());
        details.insert(QStringLiteral("groupID"), rmvg->groupID());
    }
    if (mDelegate)
        mDelegate->dpSessionRemoveGroupResultReceived(this, details);
}

void PLDPSession::processRENGPackets(PLRecvPacket &packet)
{
    auto *reng = as<PLRecvRENGPacket>(packet);
    PL_GUARD_OBJECT(reng && !reng->newGroupCache().isNull());
    mGroupCacheNoValue = reng->newGroupCache().toUInt();
    QVariantMap details{{QStringLiteral("tid"), tidOf(packet)},
                        {QStringLiteral("newGroupCache"), reng->newGroupCache()}};
    if (packet.tID() == 0) {
        details.insert(QStringLiteral("groupID"), reng->groupID());
        details.insert(QStringLiteral("groupName"), reng->groupName());
    }
    if (mDelegate)
        mDelegate->dpSessionRenameGroupResultReceived(this, details);
}

void PLDPSession::announceBatchBody(PLRecvPacket &packet, qint32 bodyType)
{
    auto *batch = as<PLRecvBuddyBatchPacket>(packet);
    PL_GUARD_OBJECT(batch);
    // The reply's group-cache number is the list's new number, as for the
    // single-group commands; the body handler hands it on with the results.
    announceBody(bodyType,
                 {{QStringLiteral("tid"), tidOf(packet)}, {QStringLiteral("newGroupCache"), batch->newGroupCache()}},
                 batch->bodyLen());
}

void PLDPSession::processCPBGPackets(PLRecvPacket &packet) { announceBatchBody(packet, kCopyBody); }
void PLDPSession::processMVBGPackets(PLRecvPacket &packet) { announceBatchBody(packet, kMoveBody); }
void PLDPSession::processRMBGPackets(PLRecvPacket &packet) { announceBatchBody(packet, kRemoveBody); }

void PLDPSession::processBatchBody(qint32 bodyType, const QByteArray &body)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(body);
    PL_GUARD_OBJECT(!utf8.hasError());
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QVariantList results;
    for (const QString &line : lines) {
        const QStringList words = line.split(QLatin1Char(' '));
        if (words.size() == 2)
            results.append(QVariantMap{{words[0], words[1]}});
    }
    QVariantMap details{{QStringLiteral("tid"), mHeaderInfoForBody.value(QStringLiteral("tid"))},
                        {QStringLiteral("resultArray"), results},
                        {QStringLiteral("lines"), lines}};
    // Only a number is taken: anything else would reset the list's number to 0.
    const QString newGroupCache = mHeaderInfoForBody.value(QStringLiteral("newGroupCache")).toString();
    bool numeric = false;
    const quint32 cacheNo = newGroupCache.toUInt(&numeric);
    if (numeric) {
        mGroupCacheNoValue = cacheNo;
        details.insert(QStringLiteral("newGroupCache"), newGroupCache);
    }
    if (!mDelegate)
        return;
    if (bodyType == kMoveBody)
        mDelegate->dpSessionMoveBuddiesResultReceived(this, details);
    else if (bodyType == kCopyBody)
        mDelegate->dpSessionCopyBuddiesResultReceived(this, details);
    else
        mDelegate->dpSessionRemoveBuddiesResultReceived(this, details);
}

} // namespace parley
