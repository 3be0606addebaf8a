// The handlers of PLDPSession for the sign-in sequence (NCPT, PRVK, LSIN,
// LIN4, TOKN, LOPT, CONF, GLST, LIST with their bodies), the relay answer,
// the keepalive (PING, PONG), error replies and commands without a handler.
// The session runs each handler inside its exception guard, on the main
// thread (PING on the reading thread), and only for a valid packet.
#include "PLDPSession.h"
#include "PLDPSessionHandlerSupport.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "PLEncrypUtil.h"
#include "Packet/PLRecvCONFPacket.h"
#include "Packet/PLRecvERRPacket.h"
#include "Packet/PLRecvGLSTPacket.h"
#include "Packet/PLRecvLIN4Packet.h"
#include "Packet/PLRecvLISTPacket.h"
#include "Packet/PLRecvLSINPacket.h"
#include "Packet/PLRecvNCPTPacket.h"
#include "Packet/PLRecvTOKNPacket.h"
#include "Utils/ParleyStringAdditions.h"

namespace parley {

using dphandlers::as;
using dphandlers::tidOf;

namespace {

// The words of a text split at CR LF and then at single spaces, in order.
QStringList flatWords(const QString &text)
{
    QStringList words;
    for (const QString &line : text.split(QStringLiteral("\r\n")))
        words += line.split(QLatin1Char(' '));
    return words;
}

} // namespace

void PLDPSession::processRCONPackets(PLRecvPacket &)
{
    if (mDelegate)
        mDelegate->dpSessionRemoteConnected(this, {});
}

void PLDPSession::processNCPTPackets(PLRecvPacket &packet)
{
    auto *ncpt = as<PLRecvNCPTPacket>(packet);
    PL_GUARD_OBJECT(ncpt);
    const QString range = ncpt->range();
    const QString encodeType = ncpt->encodeType();
    PL_GUARD_OBJECT(!range.isNull());
    PL_GUARD_OBJECT(!encodeType.isNull());
    announceBody(1,
                 {{QStringLiteral("tid"), tidOf(packet)},
                  {QStringLiteral("range"), range},
                  {QStringLiteral("encodeType"), encodeType}},
                 ncpt->bodyLen());
}

void PLDPSession::processNCPTBody(const QByteArray &body)
{
    const QVariant tid = mHeaderInfoForBody.value(QStringLiteral("tid"));
    const QVariant range = mHeaderInfoForBody.value(QStringLiteral("range"));
    const QVariant encodeType = mHeaderInfoForBody.value(QStringLiteral("encodeType"));
    PL_GUARD_OBJECT(tid.isValid() && range.isValid() && encodeType.isValid());
    if (mDelegate)
        mDelegate->dpSessionPublicKeyReceived(this, {{QStringLiteral("tid"), tid},
                                                     {QStringLiteral("range"), range},
                                                     {QStringLiteral("encodeType"), encodeType},
                                                     {QStringLiteral("publicKey"), body}});
}

void PLDPSession::processPRVKPackets(PLRecvPacket &)
{
    if (mDelegate)
        mDelegate->dpSessionSendSessionKeyResultReceived(this, {});
}

std::optional<QStringList> PLDPSession::signInWords(const QByteArray &body) const
{
    const QString text = QString::fromUtf8(body);
    const QString encType = mHeaderInfoForBody.value(QStringLiteral("encType")).toString();
    if (encType == QLatin1String("PLN"))
        return flatWords(text);
    if (encType != QLatin1String("NE3")) {
        plLog(QStringLiteral("unknown sign-in body type \"%1\"").arg(encType));
        return std::nullopt;
    }
    // A body that cannot be deciphered is never read as if it were plain.
    const std::optional<QString> plain = PLEncrypUtil::shared().deCryptMessage(text, mEncryptKey);
    if (!plain)
        return std::nullopt;
    return flatWords(*plain);
}

void PLDPSession::processLIN4Packets(PLRecvPacket &packet)
{
    mDpState = LIN4Replied;
    auto *lin4 = as<PLRecvLIN4Packet>(packet);
    PL_GUARD_OBJECT(lin4);
    announceBody(12, {{QStringLiteral("tid"), tidOf(packet)}, {QStringLiteral("encType"), lin4->encType()}},
                 lin4->bodyLen());
}

void PLDPSession::processLIN4Body(const QByteArray &body)
{
    static const char *const kKeys[] = {"cmn",       "name",       "nickName", "authYN", "loginType", "dpKey",
                                        "area",      "velaID",     "velaCMN",  "orchardID", "orchardCMN",
                                        "mobile",    "email",      "musicDate", "ucYN",  "token",     "ticket"};
    constexpr qsizetype kWordCount = qsizetype(std::size(kKeys));
    const std::optional<QStringList> words = signInWords(body);
    PL_GUARD_OBJECT(words);
    if (words->size() < kWordCount) {
        plLog(QStringLiteral("sign-in reply with %1 words, %2 expected").arg(words->size()).arg(kWordCount));
        return;
    }
    QVariantMap details;
    for (qsizetype i = 0; i < kWordCount; ++i)
        details.insert(QLatin1String(kKeys[i]), stringByParleyDecoding(words->at(i)));
    details.insert(QStringLiteral("tid"), mHeaderInfoForBody.value(QStringLiteral("tid")));
    PLMyInfoManager::sharedManager().setDpKey(words->at(5));
    if (mDelegate)
        mDelegate->dpSessionMyInfoReceived(this, details);
    mDpState = SignedIn;
}

void PLDPSession::processTOKNPackets(PLRecvPacket &packet)
{
    auto *tokn = as<PLRecvTOKNPacket>(packet);
    PL_GUARD_OBJECT(tokn);
    announceBody(13, {{QStringLiteral("tid"), tidOf(packet)}, {QStringLiteral("encType"), tokn->encType()}},
                 tokn->bodyLen());
}

void PLDPSession::processTOKNBody(const QByteArray &body)
{
    const std::optional<QStringList> words = signInWords(body);
    PL_GUARD_OBJECT(words);
    PL_GUARD_FLAG(words->size() >= 2);
    if (mDelegate)
        mDelegate->dpSessionTokenReceived(this, {{QStringLiteral("tid"), mHeaderInfoForBody.value(QStringLiteral("tid"))},
                                                 {QStringLiteral("token"), stringByParleyDecoding(words->at(0))},
                                                 {QStringLiteral("ticket"), stringByParleyDecoding(words->at(1))}});
}

void PLDPSession::processLSINPackets(PLRecvPacket &packet)
{
    mDpState = LSINReplied;
    auto *lsin = as<PLRecvLSINPacket>(packet);
    PL_GUARD_OBJECT(lsin);
    const std::optional<QString> plain = PLEncrypUtil::shared().deCryptMessage(lsin->encryptedBody(), mEncryptKey);
    PL_GUARD_OBJECT(plain);
    const QStringList words = plain->split(QLatin1Char(' '));
    struct Word {
        qsizetype index;
        const char *key;
    };
    static const Word kWords[] = {{0, "cmn"},       {1, "name"},     {2, "nickName"}, {3, "mobile"},
                                  {4, "email"},     {5, "ticket"},   {6, "orchardCMN"}, {10, "loginType"},
                                  {11, "velaCMN"},  {12, "velaID"},  {13, "orchardID"}, {16, "area"},
                                  {17, "quirkCMN"}, {18, "quirkID"}, {19, "OTPYN"}};
    constexpr qsizetype kDpKeyIndex = 20;
    if (words.size() <= kDpKeyIndex) {
        plLog(QStringLiteral("sign-in reply with %1 words, %2 expected").arg(words.size()).arg(kDpKeyIndex + 1));
        return;
    }
    QVariantMap details{{QStringLiteral("tid"), tidOf(packet)}};
    for (const Word &word : kWords)
        details.insert(QLatin1String(word.key), stringByParleyDecoding(words.at(word.index)));
    PLMyInfoManager::sharedManager().setDpKey(words.at(kDpKeyIndex));
    if (mDelegate)
        mDelegate->dpSessionMyInfoReceived(this, details);
    mDpState = SignedIn;
}

void PLDPSession::processLOPTPackets(PLRecvPacket &)
{
    if (mDelegate)
        mDelegate->dpSessionLoptReceived(this, {});
}

void PLDPSession::processCONFPackets(PLRecvPacket &packet)
{
    auto *conf = as<PLRecvCONFPacket>(packet);
    PL_GUARD_OBJECT(conf);
    mConfCacheNoValue = quint32(plIntValue(conf->cache()));
    announceBody(2, {}, conf->msgLen());
}

void PLDPSession::processCONFBody(const QByteArray &body)
{
    mConfCacheValue = body;
    mDpState = ConfReceived;
    if (mDelegate)
        mDelegate->dpSessionConfReceived(this, {{QStringLiteral("version"), mConfCacheNoValue},
                                                {QStringLiteral("conf"), mConfCacheValue}});
}

void PLDPSession::processGLSTPackets(PLRecvPacket &packet)
{
    auto *glst = as<PLRecvGLSTPacket>(packet);
    PL_GUARD_OBJECT(glst);
    PLGroupInfo line;
    bool nextStep = false;
    switch (glst->packetType()) {
    case PLRecvGLSTPacket::CacheLine: {
        mDpState = GroupCacheCurrent;
        const quint32 number = quint32(plIntValue(glst->cache()));
        const bool changed = number != mGroupCacheNoValue;
        mGroupCacheNoValue = number;
        line.type = PLGroupInfo::Cache;
        line.groupCacheNo = number;
        line.willDownloadGroup = changed;
        nextStep = !changed;
        break;
    }
    case PLRecvGLSTPacket::GroupLine:
        line.type = PLGroupInfo::Group;
        line.isLast = glst->isLast();
        line.groupID = glst->groupID();
        line.groupName = glst->groupName();
        nextStep = line.isLast;
        break;
    case PLRecvGLSTPacket::BuddyLine:
        line.type = PLGroupInfo::Buddy;
        line.isLast = glst->isLast();
        line.lineCount = glst->count();
        line.buddyCMN = glst->buddyCMN();
        glst->parentGroupIDInto(mGroupLineGroupID);
        line.groupID = mGroupLineGroupID;
        nextStep = line.isLast;
        break;
    default: break;
    }
    if (mDelegate)
        mDelegate->dpSessionGroupLineReceived(this, line);
    if (nextStep)
        requestBuddyList();
    else if (mProxyMode() == HTTPTunnel)
        sendPacketString(QString(QLatin1String("")));
}

void PLDPSession::processLISTPackets(PLRecvPacket &packet)
{
    auto *list = as<PLRecvLISTPacket>(packet);
    PL_GUARD_OBJECT(list);
    const bool isLast = list->isLast();
    if (list->count() == 0) {
        if (mDelegate)
            mDelegate->dpSessionNoBuddyInfoReceived(this, {});
    } else {
        PLBuddyInfo line;
        list->CMNInto(mListLineCMN);
        line.cmn = mListLineCMN;
        line.name = list->name();
        line.nickName = list->nickName();
        line.velaID = list->ID();
        list->buddyFlagKeptIfSame(mListLineFlags);
        line.buddyFlag = mListLineFlags;
        line.mobile = list->mobile();
        line.orchardCMN = list->orchardCMN();
        line.isLast = isLast;
        for (const QString *field : {&line.cmn, &line.name, &line.nickName, &line.velaID, &line.buddyFlag,
                                     &line.mobile, &line.orchardCMN})
            PL_GUARD_OBJECT(!field->isNull());
        if (mDelegate)
            mDelegate->dpSessionBuddyLineReceived(this, line);
    }
    if (isLast && !isLoggedIn()) {
        mDpState = LoggedIn;
        if (mDelegate)
            mDelegate->dpSessionLoginCompleted(this, {});
    } else if (mProxyMode() == HTTPTunnel) {
        sendPacketString(QString(QLatin1String("")));
    }
}

void PLDPSession::processPINGPackets(PLRecvPacket &)
{
    mTimerCountValue = 0;
    mPONGCountValue = 0;
    sendPINGPacket();
}

void PLDPSession::processPONGPackets(PLRecvPacket &)
{
    mTimerCountValue = 0;
    mPONGCountValue = 0;
}

void PLDPSession::processERRPackets(PLRecvPacket &packet)
{
    auto *error = as<PLRecvERRPacket>(packet);
    PL_GUARD_OBJECT(error);
    if (!mDelegate)
        return;
    QVariantMap details{{QStringLiteral("tid"), error->errTID()},
                        {QStringLiteral("errorCode"), QString::number(error->errCode())}};
    if (error->errCode() == 999) {
        if (const QString subCode = error->errSubCode(); !subCode.isNull())
            details.insert(QStringLiteral("subCode"), subCode);
        if (const QString message = error->errMessage(); !message.isNull())
            details.insert(QStringLiteral("message"), message);
    } else {
        details.insert(QStringLiteral("receivedData"), packet.packetString());
    }
    mDelegate->dpSessionErrorCodeReceived(this, details);
}

void PLDPSession::processDefaultPackets(PLRecvPacket &packet)
{
    if (auto *error = as<PLRecvERRPacket>(packet))
        plLog(QStringLiteral("process err Packet = %1").arg(error->errCode()));
    else
        plLog(QStringLiteral("processDefaultPacket = %1").arg(packet.packetString()));
}

} // namespace parley
