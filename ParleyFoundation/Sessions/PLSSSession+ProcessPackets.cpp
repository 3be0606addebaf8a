// The handlers of the switchboard session: one per command word.
#include "PLSSSession.h"

#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLChatCrypto.h"
#include "Packet/PLRecvCRPTPacket.h"
#include "Packet/PLRecvERRPacket.h"
#include "Packet/PLRecvJOINPacket.h"
#include "Packet/PLRecvMESGPacket.h"
#include "Packet/PLRecvNCPTPacket.h"
#include "Packet/PLRecvPBLKPacket.h"
#include "Packet/PLRecvPRVKPacket.h"
#include "Packet/PLRecvQUITPacket.h"
#include "Packet/PLRecvSPSHPacket.h"
#include "Packet/PLRecvUSERPacket.h"
#include "Packet/PLRecvWHSPPacket.h"

#include <QPointer>

namespace parley {

namespace {
const QString kVelaID = QStringLiteral("velaID");
const QString kUserID = QStringLiteral("userID");
const QString kMessage = QStringLiteral("message");

template <typename T> T *as(PLRecvPacket &packet) { return dynamic_cast<T *>(&packet); }

// The "fileInfos" of a FILE whisper; nothing when the count is missing.
std::optional<QVariantList> fileInfos(const PLRecvWHSPPacket &packet)
{
    const QString count = packet.dataForKey(QStringLiteral("fileCount"));
    if (count.isNull())
        return std::nullopt;
    QVariantList infos;
    const int n = count.toInt();
    for (int i = 0; i < n; ++i) {
        const QString cookie = packet.dataForKey(QStringLiteral("cookie"), i);
        if (cookie.isNull()) {
            plLog(QStringLiteral("information extraction error"));
            continue;
        }
        const QString name = packet.dataForKey(QStringLiteral("fileName"), i);
        const QString size = packet.dataForKey(QStringLiteral("fileSize"), i);
        infos.append(QVariantMap{{QStringLiteral("fileName"), name.isNull() ? QString(QLatin1String("")) : name},
                                 {QStringLiteral("fileSize"), PLFileSizeFromString(size.isNull() ? QString() : size)},
                                 {QStringLiteral("cookie"), cookie}});
    }
    return infos;
}

std::optional<QVariantList> fileCookies(const PLRecvWHSPPacket &packet)
{
    const QString count = packet.dataForKey(QStringLiteral("fileCount"));
    if (count.isNull())
        return std::nullopt;
    QVariantList cookies;
    const int n = count.toInt();
    for (int i = 0; i < n; ++i) {
        const QString cookie = packet.dataForKey(QStringLiteral("cookie"), i);
        if (!cookie.isNull())
            cookies.append(cookie);
    }
    return cookies;
}
} // namespace

void PLSSSession::registerHandlers()
{
    const auto add = [this](const char *word, void (PLSSSession::*handler)(PLRecvPacket &)) {
        registerProcessMethod(QString::fromLatin1(word), [this, handler](PLRecvPacket &p) { (this->*handler)(p); });
    };
    add("RCON", &PLSSSession::processRCONPackets);
    add("NCPT", &PLSSSession::processNCPTPackets);
    add("PRVK", &PLSSSession::processPRVKPackets);
    add("PBLK", &PLSSSession::processPBLKPackets);
    add("ESSK", &PLSSSession::processDefaultPackets);
    add("CRPT", &PLSSSession::processCRPTPackets);
    add("USER", &PLSSSession::processUSERPackets);
    add("ENTR", &PLSSSession::processENTRPackets);
    add("MESG", &PLSSSession::processMESGPackets);
    add("SPSH", &PLSSSession::processSPSHPackets);
    add("QUIT", &PLSSSession::processQUITPackets);
    add("WHSP", &PLSSSession::processWHSPPackets);
    add("JOIN", &PLSSSession::processJOINPackets);
    add("DSEL", &PLSSSession::processDSELPackets);
    add("default", &PLSSSession::processDefaultPackets);
}

void PLSSSession::processRCONPackets(PLRecvPacket &)
{
    if (mDelegate)
        mDelegate->ssSessionRemoteConnected(this);
}

void PLSSSession::processNCPTPackets(PLRecvPacket &packet)
{
    auto *ncpt = as<PLRecvNCPTPacket>(packet);
    PL_GUARD_OBJECT(ncpt);
    PL_GUARD_OBJECT(!ncpt->encodeType().isEmpty());
    mHeaderInfoForBody = {{QStringLiteral("tid"), QString::number(ncpt->tID())},
                          {QStringLiteral("encodeType"), ncpt->encodeType()}};
    mBodyType = NCPTBody;
    notifyWhenBodyReceivedWithLength(ncpt->bodyLen());
}

void PLSSSession::processPRVKPackets(PLRecvPacket &packet)
{
    auto *prvk = as<PLRecvPRVKPacket>(packet);
    PL_GUARD_OBJECT(prvk);
    if (prvk->success() == QLatin1String("OK"))
        sendENTRPacket();
}

void PLSSSession::processPBLKPackets(PLRecvPacket &packet)
{
    auto *pblk = as<PLRecvPBLKPacket>(packet);
    PL_GUARD_OBJECT(pblk);
    if (mDelegate)
        mDelegate->ssSessionPublicKeyReceived(this, {{QStringLiteral("tid"), QString::number(pblk->tID())},
                                                     {QStringLiteral("publicKey"), pblk->publicKey()}});
}

void PLSSSession::processCRPTPackets(PLRecvPacket &packet)
{
    auto *crpt = as<PLRecvCRPTPacket>(packet);
    PL_GUARD_OBJECT(crpt);
    setMReceivedTid(crpt->tID());
    mBodyType = CRPTBody;
    notifyWhenBodyReceivedWithLength(crpt->bodyLen());
}

void PLSSSession::bodyReceived(const QByteArray &body)
{
    const int type = mBodyType;
    mBodyType = CRPTBody;
    if (type == NCPTBody)
        receiveNCPTBody(body);
    else
        receiveEnvelopeBody(body);
}

void PLSSSession::receiveNCPTBody(const QByteArray &body)
{
    QVariantMap info = mHeaderInfoForBody;
    mHeaderInfoForBody.clear();
    PL_GUARD_OBJECT(!info.isEmpty());
    info.insert(QStringLiteral("publicKey"), body);
    if (mDelegate)
        mDelegate->ssSessionNcptPublicKeyReceived(this, info);
}

void PLSSSession::receiveEnvelopeBody(const QByteArray &body)
{
    PL_GUARD_OBJECT(!body.isEmpty());
    PL_GUARD_OBJECT(mCrypto);
    PL_GUARD_OBJECT(!mEncryptKey.isEmpty());
    const QString cipherText = QString::fromUtf8(body);
    const std::optional<QString> plain = mCrypto->deCryptMessage(cipherText, mEncryptKey);
    if (!plain)
        return;
    // A body that "decrypts" to itself was never enciphered: a room that is
    // encrypted takes nothing in clear.
    if (*plain == cipherText) {
        plLog(QStringLiteral("plaintext envelope refused (%1)").arg(mKey));
        return;
    }
    const QString line = plain->trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1String("CRPT ")))
        return; // an envelope never holds another envelope
    PLSession::headerReceived(line);
}

void PLSSSession::processUSERPackets(PLRecvPacket &packet)
{
    auto *user = as<PLRecvUSERPacket>(packet);
    PL_GUARD_OBJECT(user);
    PL_GUARD_OBJECT(!user->ID().isEmpty());
    PL_GUARD_OBJECT(!user->nickName().isNull());
    PL_GUARD_OBJECT(!user->name().isNull());
    mIsAlone = false;
    QPointer<PLSSSession> self(this);
    if (mDelegate)
        mDelegate->ssSessionUserReceived(this, {{kVelaID, user->ID()},
                                                {QStringLiteral("nickName"), user->nickName()},
                                                {QStringLiteral("name"), user->name()},
                                                {QStringLiteral("index"), user->index()},
                                                {QStringLiteral("count"), user->count()}});
    // What was said between entering and the member list goes now: the room
    // has members, and no JOIN may ever come to send it.
    if (self)
        flushMessageQueue();
}

void PLSSSession::processENTRPackets(PLRecvPacket &)
{
    NotificationCenter::defaultCenter().post(QString::fromLatin1(notifications::kSSSessionEnterResultReceived), nullptr,
                                             {{QStringLiteral("key"), mKey}});
}

void PLSSSession::processMESGPackets(PLRecvPacket &packet)
{
    auto *mesg = as<PLRecvMESGPacket>(packet);
    PL_GUARD_OBJECT(mesg);
    if (mesg->packetType() != PLRecvMESGPacket::Message || !mDelegate)
        return;
    const QString type = mesg->type();
    if (type == QLatin1String("TYPING")) {
        mDelegate->ssSessionTypingInfoReceived(this, {{kVelaID, mesg->ID()}, {QStringLiteral("flag"), mesg->msg()}});
        return;
    }
    const QVariantMap info{{kVelaID, mesg->ID()}, {kMessage, mesg->msg()}};
    if (type == QLatin1String("MSG"))
        mDelegate->ssSessionMessageReceived(this, info);
    else if (type == QLatin1String("AWAYMSG"))
        mDelegate->ssSessionAwayMessageReceived(this, info);
    else if (type == QLatin1String("INK"))
        mDelegate->ssSessionInkMessageReceived(this, info);
}

void PLSSSession::processSPSHPackets(PLRecvPacket &packet)
{
    auto *spsh = as<PLRecvSPSHPacket>(packet);
    PL_GUARD_OBJECT(spsh);
    const int type = spsh->packetType();
    if (type >= PLRecvSPSHPacket::BankWarning && type <= PLRecvSPSHPacket::CustomMessage && mDelegate)
        mDelegate->ssSessionSpshMsgReceived(this, {{kMessage, spsh->msg()}, {QStringLiteral("type"), type}});
}

void PLSSSession::processQUITPackets(PLRecvPacket &packet)
{
    auto *quit = as<PLRecvQUITPacket>(packet);
    PL_GUARD_OBJECT(quit);
    PL_GUARD_OBJECT(!quit->ID().isEmpty());
    if (quit->isTimeOut()) {
        PL_GUARD_FLAG(disconnect());
        return;
    }
    if (quit->isOverflow())
        return;
    if (mDelegate)
        mDelegate->ssSessionUserQuitReceived(this, {{kVelaID, quit->ID()}});
}

void PLSSSession::processJOINPackets(PLRecvPacket &packet)
{
    auto *join = as<PLRecvJOINPacket>(packet);
    PL_GUARD_OBJECT(join);
    PL_GUARD_OBJECT(!join->ID().isEmpty());
    PL_GUARD_OBJECT(!join->nickName().isNull());
    PL_GUARD_OBJECT(!join->name().isNull());
    QPointer<PLSSSession> self(this);
    if (mDelegate)
        mDelegate->ssSessionJoinReceived(this, {{kVelaID, join->ID()},
                                                {QStringLiteral("nickName"), join->nickName()},
                                                {QStringLiteral("name"), join->name()}});
    if (!self)
        return;
    mIsAlone = false;
    flushMessageQueue();
}

void PLSSSession::processWHSPPackets(PLRecvPacket &packet)
{
    auto *whsp = as<PLRecvWHSPPacket>(packet);
    PL_GUARD_OBJECT(whsp);
    if (whsp->packetType() == PLRecvWHSPPacket::Acknowledgement)
        return;
    if (whsp->packetType() == PLRecvWHSPPacket::File) {
        processWhspFile(*whsp);
        return;
    }
    if (whsp->packetType() != PLRecvWHSPPacket::Animicon || !mDelegate)
        return;
    if (whsp->packetSubType() == PLRecvWHSPPacket::Object) {
        const QString animicon = whsp->dataForKey(QStringLiteral("animicon"));
        PL_GUARD_OBJECT(!animicon.isNull());
        mDelegate->ssSessionAnimiconReceived(this, {{kUserID, whsp->ID()}, {QStringLiteral("animiconInfo"), animicon}});
    } else if (whsp->packetSubType() == PLRecvWHSPPacket::Ack) {
        mDelegate->ssSessionAnimiconAck(this, {{kUserID, whsp->ID()},
                                               {QStringLiteral("animiconInfo"), whsp->packetString()}});
    }
}

void PLSSSession::processWhspFile(const PLRecvWHSPPacket &packet)
{
    if (!mDelegate)
        return;
    const QString sender = packet.ID();
    QString userID = sender;
    QString dpKey = QStringLiteral("0");
    const QStringList parts = sender.split(QLatin1Char('|'));
    if (sender.contains(QLatin1Char('|')) && parts.size() == 3) {
        userID = parts[0];
        dpKey = parts[1] + QLatin1Char('|') + parts[2];
    }
    // Another device of this same user answered the offer.
    const bool ownOtherDevice = userID == mMyVelaID && dpKey != QLatin1String("0") && dpKey != mProfile.dpKey;
    const bool ownThisDevice = userID == mMyVelaID && !ownOtherDevice;
    const auto cancel = [&] {
        const std::optional<QVariantList> cookies = fileCookies(packet);
        PL_GUARD_OBJECT(cookies);
        mDelegate->ssSessionCancelFileTransferReceived(
            this, {{QStringLiteral("fileCookies"), *cookies}, {kUserID, userID}, {QStringLiteral("dpKey"), dpKey}});
    };
    switch (packet.packetSubType()) {
    case PLRecvWHSPPacket::Request: {
        const std::optional<QVariantList> infos = fileInfos(packet);
        PL_GUARD_OBJECT(infos);
        mDelegate->ssSessionRequestFileTransferReceived(
            this, {{QStringLiteral("fileInfos"), *infos}, {kUserID, userID}, {QStringLiteral("dpKey"), dpKey}});
        break;
    }
    case PLRecvWHSPPacket::Ack:
        if (ownOtherDevice)
            cancel();
        break;
    case PLRecvWHSPPacket::Nack:
        if (ownOtherDevice) {
            cancel();
        } else if (!ownThisDevice) {
            const std::optional<QVariantList> infos = fileInfos(packet);
            PL_GUARD_OBJECT(infos);
            mDelegate->ssSessionNackFileTransferReceived(
                this, {{QStringLiteral("fileInfos"), *infos}, {kUserID, userID}, {QStringLiteral("dpKey"), dpKey}});
        }
        break;
    case PLRecvWHSPPacket::Cancel: cancel(); break;
    default: plLog(QStringLiteral("Unexpected Protocol!!! [%1]").arg(packet.packetString())); break;
    }
}

void PLSSSession::processDSELPackets(PLRecvPacket &)
{
    if (mDelegate)
        mDelegate->ssSessionWillCloseReceived(this);
}

void PLSSSession::processDefaultPackets(PLRecvPacket &packet)
{
    if (auto *error = as<PLRecvERRPacket>(packet)) {
        if (mDelegate)
            mDelegate->ssSessionErrorReceived(this, {{QStringLiteral("tid"), error->errTID()},
                                                     {QStringLiteral("errCode"), QString::number(error->errCode())},
                                                     {QStringLiteral("errSubCode"), error->errSubCode()},
                                                     {QStringLiteral("errMessage"), error->errMessage()}});
        return;
    }
    if (packet.command() == QLatin1String("ESSK"))
        return; // the answer to our ESSK says nothing we act on
    plLog(QStringLiteral("processDefaultPacket = %1").arg(packet.packetString()));
}

} // namespace parley
