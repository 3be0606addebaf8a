// The senders of the switchboard session.
#include "PLSSSession.h"

#include "Log.h"
#include "Packet/PLSendENTRPacket.h"
#include "Packet/PLSendESSKPacket.h"
#include "Packet/PLSendMESGPacket.h"
#include "Packet/PLSendNCPTPacket.h"
#include "Packet/PLSendPRVKPacket.h"
#include "Packet/PLSendWHSPPacket.h"

#include <exception>

namespace parley {

namespace {
const QString kMessage = QStringLiteral("message");
const QString kAbsence = QStringLiteral("absence");
const QString kType = QStringLiteral("type");
} // namespace

bool PLSSSession::queueOrSend(const QString &text, bool absence)
{
    if (text.isNull()) {
        plLog(QStringLiteral("message is nil"));
        return false;
    }
    if (mIsAlone) {
        mMessageQueue.append(QueuedMessage{{kMessage, text}, {kAbsence, absence}});
        return true;
    }
    return sendText(text, absence, static_cast<qint32>(tid()));
}

bool PLSSSession::sendMessage(const QString &text) { return queueOrSend(text, false); }

bool PLSSSession::leaveMessage(const QString &text) { return queueOrSend(text, true); }

bool PLSSSession::sendQueuedMessage(const QueuedMessage &entry)
{
    PL_GUARD_OBJECT(entry.contains(kMessage) && entry.contains(kAbsence), false);
    return sendText(entry.value(kMessage).toString(), entry.value(kAbsence).toBool(), static_cast<qint32>(tid()));
}

bool PLSSSession::sendText(const QString &text, bool absence, qint32 packetTid)
{
    PLSendMESGPacket packet(packetTid);
    packet.setType(absence ? QStringLiteral("AWAYMSG") : QStringLiteral("MSG"));
    packet.setMsg(text);
    return sendPacket(packet);
}

void PLSSSession::flushMessageQueue()
{
    // A send may end in a delegate call that closes the room; take the queue
    // one entry at a time so that nothing is sent twice.
    while (!mMessageQueue.isEmpty()) {
        const QueuedMessage entry = mMessageQueue.takeFirst();
        sendQueuedMessage(entry);
    }
}

bool PLSSSession::sendTypingInfo(int flag)
{
    if (mIsAlone)
        return false;
    return sendMESGPacket({{kType, QStringLiteral("typingInfo")}, {QStringLiteral("flag"), flag}});
}

bool PLSSSession::sendMESGPacket(const QVariantMap &info)
{
    const QString type = info.value(kType).toString();
    // The id is taken whether or not the packet goes out.
    const qint32 packetTid = static_cast<qint32>(tid());
    if (type == kMessage || type == kAbsence) {
        PL_GUARD_OBJECT(info.contains(kMessage), false);
        return sendText(info.value(kMessage).toString(), type == kAbsence, packetTid);
    }
    PL_GUARD_FLAG(type == QLatin1String("typingInfo"), false);
    PL_GUARD_OBJECT(info.contains(QStringLiteral("flag")), false);
    PLSendMESGPacket packet(packetTid);
    packet.setType(QStringLiteral("TYPING"));
    packet.setMsg(QString::number(info.value(QStringLiteral("flag")).toInt()));
    return sendPacket(packet);
}

bool PLSSSession::sendAnimicon(const QString &animicon, const QString &userID)
{
    if (animicon.isNull() || userID.isNull()) {
        plLog(QStringLiteral("animicon or user ID is nil"));
        return false;
    }
    PLSendWHSPPacket packet(static_cast<qint32>(tid()));
    packet.setID(userID);
    packet.setType(QStringLiteral("ANIMICON"));
    packet.setSubType(QStringLiteral("OBJECT"));
    packet.setMsg(animicon);
    return sendPacket(packet);
}

bool PLSSSession::sendFileWhsp(const QVariantList &files, const QString &userID, const QString &subType)
{
    PLSendWHSPPacket packet(static_cast<qint32>(tid()));
    packet.setID(userID);
    packet.setType(QStringLiteral("FILE"));
    packet.setSubType(subType);
    for (const QVariant &item : files) {
        const QVariantMap file = item.toMap();
        const QVariant name = file.value(QStringLiteral("fileName"));
        const QVariant size = file.value(QStringLiteral("fileSize"));
        const QVariant cookie = file.value(QStringLiteral("fileCookie"));
        if (!name.isValid() || !size.isValid() || !cookie.isValid()) {
            plLog(QStringLiteral("file information is incomplete: nothing sent"));
            return false;
        }
        packet.addFile(name.toString(), size.toLongLong(), cookie.toString());
    }
    return sendPacket(packet);
}

bool PLSSSession::requestTransferFiles(const QVariantList &files, const QString &userID)
{
    PL_GUARD_OBJECT(!userID.isNull(), false);
    return sendFileWhsp(files, userID, QStringLiteral("REQUEST"));
}

bool PLSSSession::acceptTransferFiles(const QVariantList &files, const QString &userID)
{
    PL_GUARD_OBJECT(!userID.isNull(), false);
    return sendFileWhsp(files, userID, QStringLiteral("ACK"));
}

bool PLSSSession::rejectTransferFile(const QVariantMap &file, const QString &userID)
{
    PL_GUARD_OBJECT(!file.isEmpty(), false);
    PL_GUARD_OBJECT(!userID.isNull(), false);
    return sendFileWhsp({file}, userID, QStringLiteral("NACK"));
}

bool PLSSSession::cancelUploadFile(const QVariantMap &file, const QString &userID)
{
    PL_GUARD_OBJECT(!file.isEmpty(), false);
    return sendFileWhsp({file}, userID, QStringLiteral("CANCEL"));
}

bool PLSSSession::sendUnknownWhsp(const QString &type, const QString &userID)
{
    PLSendWHSPPacket packet(static_cast<qint32>(tid()));
    packet.setID(userID);
    packet.setType(type);
    packet.setSubType(QStringLiteral("UNKNOWN"));
    return sendPacket(packet);
}

bool PLSSSession::sendUnknownMesg(const QString &type)
{
    PLSendMESGPacket packet(static_cast<qint32>(tid()));
    packet.setType(type);
    packet.setMsg(QStringLiteral("UNKNOWN"));
    return sendPacket(packet);
}

bool PLSSSession::sendDPImg(const QString &userID)
{
    PL_GUARD_OBJECT(!userID.isNull(), false);
    return false;
}

bool PLSSSession::sendNCPTPacket()
{
    PLSendNCPTPacket packet(static_cast<qint32>(tid()));
    packet.setUserID(mMyVelaID);
    packet.setRange(mKey.left(2));
    return sendPacket(packet);
}

bool PLSSSession::sendPRVKPacket(const QVariantMap &info)
{
    const QString encodeType = info.value(QStringLiteral("encodeType")).toString();
    const QString sessionKey = info.value(QStringLiteral("sessionKey")).toString();
    if (encodeType.isEmpty() || sessionKey.isEmpty()) {
        plLog(QStringLiteral("PRVK needs an encode type and a session key"));
        return false;
    }
    PLSendPRVKPacket packet(static_cast<qint32>(tid()));
    packet.setEncodeType(encodeType);
    packet.setSessionKey(sessionKey);
    return sendPacket(packet);
}

bool PLSSSession::sendEncryptedSessionKey(const QString &encryptedKey, const QString &encType)
{
    PL_GUARD_OBJECT(!encryptedKey.isEmpty(), false);
    PL_GUARD_OBJECT(!encType.isEmpty(), false);
    PLSendESSKPacket packet(static_cast<qint32>(tid()));
    packet.setEncSSKey(encryptedKey);
    packet.setEncType(encType);
    return sendPacket(packet);
}

bool PLSSSession::sendENTRPacket()
{
    try {
        PLSendENTRPacket packet(static_cast<qint32>(tid()));
        packet.setID(QStringLiteral("%1|%2").arg(mMyVelaID, mProfile.dpKey));
        packet.setNickName(mProfile.nickName);
        packet.setName(mProfile.name);
        packet.setKey(mKey);
        packet.setCharEncodeType(QStringLiteral("UTF8"));
        packet.setEncrypt(mIsEncrypted ? QStringLiteral("C") : QStringLiteral("P"));
        packet.setPver(QStringLiteral("3.0"));
        packet.setDeviceType(QStringLiteral("1"));
        packet.setClientVer(mProfile.clientVersion);
        packet.setOSVer(QStringLiteral("ko.macm"));
        packet.setCMN(mProfile.cmn);
        if (!mProfile.langPack.isEmpty())
            packet.setLangPack(mProfile.langPack);
        return sendPacket(packet);
    } catch (const std::exception &e) {
        plLog(QStringLiteral("exception = %1").arg(QString::fromUtf8(e.what())));
        return false;
    }
}

} // namespace parley
