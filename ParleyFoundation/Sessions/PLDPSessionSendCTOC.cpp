// Messages that this client sends to another through the server (CTOC):
// chat invitations, peer-connection requests and answers, and the two ends of
// the bulk-mail hand-shake.
#include "PLDPSession.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "Packet/PLSendCTOCPacket.h"

namespace parley {

bool PLDPSession::sendCTOC(const QString &targetID, const QString &ackType, const QString &targetKey,
                           const QString &text)
{
    PLSendCTOCPacket packet{qint32(tid())};
    packet.setTargetID(targetID);
    packet.setAckType(ackType);
    if (!targetKey.isNull())
        packet.setTargetKey(targetKey);
    packet.setBody(text);
    return sendPacket(packet);
}

bool PLDPSession::inviteUser(const QString &buddyID, const QVariantMap &sessionInfo)
{
    const QString ip = sessionInfo.value(QStringLiteral("ip")).toString();
    const QVariant port = sessionInfo.value(QStringLiteral("port"));
    const QString key = sessionInfo.value(QStringLiteral("sessionKey")).toString();
    const QString userID = sessionInfo.value(QStringLiteral("userID")).toString();
    PL_GUARD_OBJECT(!buddyID.isEmpty() && !ip.isEmpty() && port.isValid() && !key.isEmpty() && !userID.isEmpty(),
                    false);
    return sendCTOC(buddyID, QStringLiteral("N"), QString(),
                    QStringLiteral("INVT %1 %2 %3 %4").arg(userID, ip).arg(port.toInt()).arg(key));
}

bool PLDPSession::requestP2PConnect(const QVariantMap &info)
{
    const auto text = [&info](const char *key) { return info.value(QLatin1String(key)).toString(); };
    PL_GUARD_OBJECT(!text("userID").isEmpty() && !text("ip").isEmpty() && info.contains(QStringLiteral("portNo"))
                        && !text("p2pCookie").isEmpty() && !text("subCmd").isEmpty() && !text("dpKey").isEmpty(),
                    false);
    const QString address = QStringLiteral("%1:%2").arg(text("ip")).arg(info.value(QStringLiteral("portNo")).toInt());
    const QString body = text("frCookie").isEmpty()
        ? QStringLiteral("REQC %1 %2 %3\r\n").arg(text("subCmd"), address, text("p2pCookie"))
        : QStringLiteral("REQC %1 %2 %3 %4\r\n").arg(text("subCmd"), address, text("p2pCookie"), text("frCookie"));
    return sendCTOC(text("userID"), QStringLiteral("N"), text("dpKey"), body);
}

bool PLDPSession::responseP2PConnect(const QVariantMap &info)
{
    QVariantMap answer = info;
    answer.insert(QStringLiteral("subCmd"), QStringLiteral("RES"));
    return requestP2PConnect(answer);
}

bool PLDPSession::sendMailReqPacket(const QVariantMap &info)
{
    const QString type = info.value(QStringLiteral("requestType")).toString();
    const QString cookie = info.value(QStringLiteral("fileCookie")).toString();
    const QString target = info.value(QStringLiteral("targetID")).toString();
    PL_GUARD_OBJECT(!type.isEmpty() && !cookie.isEmpty() && !target.isEmpty(), false);
    const QString ownID = PLMyInfoManager::sharedManager().velaID();
    const QString prefix = type == QLatin1String("SSO")
        ? QStringLiteral("MAIL 1 %1 SSO REQUEST\t").arg(mUserID)
        : QStringLiteral("MAIL 1 %1 FILE REQUEST\t%1\t").arg(ownID);
    return sendCTOC(target, QStringLiteral("U"), QString(), prefix + QStringLiteral("1\t") + cookie);
}

bool PLDPSession::sendMailEndPacket(const QString &text)
{
    PL_GUARD_OBJECT(!text.isEmpty(), false);
    const QString target = mHeaderInfoForBody.value(QStringLiteral("fromID")).toString();
    PL_GUARD_OBJECT(!target.isEmpty(), false);
    return sendCTOC(target, QStringLiteral("U"), QString(), text);
}

} // namespace parley
