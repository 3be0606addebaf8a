// What the chat-session manager does with each event of a room's switchboard
// session: key exchange, member list, activation, and delivery to the room's
// receiver or a notification.
#include "PLChatSessionManager.h"

#include "BridgePageInterface.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyStringInterface.h"
#include "ChatManagerInterface.h"
#include "PLWarningMarkup.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLChatMessageProtocol.h"
#include "PLChatFileTransferInterface.h"
#include "Sessions/PLChatCrypto.h"
#include "Utils/KCUtilities.h"
#include "Utils/ParleyStringAdditions.h"

#include <QPointer>

namespace parley {

namespace {
const QString kSessionKey = QStringLiteral("sessionKey");
const QString kVelaID = QStringLiteral("velaID");
const QString kUserID = QStringLiteral("userID");
const QString kMessage = QStringLiteral("message");
const QString kActivateType = QStringLiteral("activateType");
const QString kSenderID = QStringLiteral("senderID");

// The report link carries at most this much of the transcript.
constexpr qsizetype kReportTextLength = 512;
} // namespace

void PLChatSessionManager::deliver(PLSSSession *session, const QVariantMap &info, const QVariantMap *activation,
                                   void (PLChatMessageProtocol::*call)(const QVariantMap &), const char *notification)
{
    const QString key = session->key();
    // Activation first: the window opened for it attaches itself as the
    // receiver and so receives the very event that opened it.
    if (activation && !session->isActivated())
        session->setActive(true, *activation);
    PLChatSessionInfo *room = sessionInfo(key);
    PLChatMessageProtocol *receiver = room ? room->receiver() : nullptr;
    if (receiver)
        (receiver->*call)(info);
    else if (notification)
        post(notification, info);
}

void PLChatSessionManager::deliverMessage(PLSSSession *session, const QVariantMap &info,
                                          void (PLChatMessageProtocol::*call)(const QVariantMap &),
                                          const char *notification)
{
    const QString key = session->key();
    const QString sender = info.value(kVelaID).toString();
    const QString message = info.value(kMessage).toString();
    PL_GUARD_OBJECT(!key.isEmpty());
    PL_GUARD_OBJECT(!sender.isEmpty());
    PL_GUARD_OBJECT(info.contains(kMessage));
    PL_GUARD_OBJECT(sessionInfo(key));
    // Only a message to a room not yet active activates it: the others need
    // no activation record.
    const bool activates = !session->isActivated();
    QVariantMap activation;
    if (activates)
        activation = {{kActivateType, kMessage}, {kMessage, message}, {kSessionKey, key}, {kSenderID, sender}};
    deliver(session, {{kVelaID, sender}, {kMessage, message}, {kSessionKey, key}}, activates ? &activation : nullptr,
            call, notification);
}

void PLChatSessionManager::ssSessionActivated(PLSSSession *, const QVariantMap &option)
{
    post(notifications::kChatSessionActivated, option);
}

void PLChatSessionManager::ssSessionDidDisconnect(PLSSSession *session)
{
    // Whatever still waits for a member is handed back, never dropped unseen.
    const QList<PLSSSession::QueuedMessage> queued = session->takeMessageQueue();
    if (queued.isEmpty())
        return;
    QVariantList messages;
    for (const PLSSSession::QueuedMessage &entry : queued)
        messages.append(entry);
    const QVariantMap info{{kSessionKey, session->key()}, {QStringLiteral("messages"), messages}};
    PLChatSessionInfo *room = sessionInfo(session->key());
    if (room && room->receiver() && room->session() == session)
        room->receiver()->messagesUndelivered(info);
    else
        post(notifications::kChatSessionUndelivered, info);
}

void PLChatSessionManager::ssSessionRemoteConnected(PLSSSession *session) { session->enter(); }

void PLChatSessionManager::ssSessionWillCloseReceived(PLSSSession *session)
{
    const QString key = session->key();
    PL_GUARD_OBJECT(!key.isEmpty());
    post(notifications::kChatSessionWillClose, {{kSessionKey, key}});
    PL_GUARD_FLAG(session->disconnect());
    const auto room = mSessionInfoDict.value(key);
    if (room && room->session() == session)
        mSessionInfoDict.remove(key);
}

void PLChatSessionManager::ssSessionNcptPublicKeyReceived(PLSSSession *session, const QVariantMap &info)
{
    const QByteArray publicKey = info.value(QStringLiteral("publicKey")).toByteArray();
    PL_GUARD_OBJECT(!publicKey.isEmpty());
    const std::optional<QVariantMap> result = mCrypto ? mCrypto->encryptSessionKey(publicKey, true) : std::nullopt;
    if (!result) {
        post(notifications::kCertInitError);
        return;
    }
    const QString value = result->value(QStringLiteral("value")).toString();
    if (value.isEmpty()) {
        post(notifications::kCertError, {{QStringLiteral("chat"), result->value(QStringLiteral("chat"))},
                                              {QStringLiteral("error"), result->value(QStringLiteral("error"))}});
        return;
    }
    session->setEncryptKey(value);
    session->sendPRVKPacket({{QStringLiteral("encodeType"), QStringLiteral("BASE64")},
                             {QStringLiteral("sessionKey"), value}});
}

void PLChatSessionManager::ssSessionPublicKeyReceived(PLSSSession *session, const QVariantMap &info)
{
    const QByteArray publicKey = info.value(QStringLiteral("publicKey")).toByteArray();
    PL_GUARD_OBJECT(!publicKey.isEmpty());
    PL_GUARD_OBJECT(mCrypto);
    const std::optional<QVariantMap> result = mCrypto->encryptSessionKey(publicKey, true);
    const QString value = result ? result->value(QStringLiteral("value")).toString() : QString();
    PL_GUARD_OBJECT(!value.isEmpty());
    session->setEncryptKey(value);
    session->sendEncryptedSessionKey(value, QStringLiteral("BASE64"));
}

void PLChatSessionManager::ssSessionMessageReceived(PLSSSession *session, const QVariantMap &info)
{
    deliverMessage(session, info, &PLChatMessageProtocol::messageReceived, notifications::kChatSessionMessageReceived);
}

void PLChatSessionManager::ssSessionAwayMessageReceived(PLSSSession *session, const QVariantMap &info)
{
    deliverMessage(session, info, &PLChatMessageProtocol::awayMessageReceived,
                   notifications::kChatSessionAwayMessageReceived);
}

void PLChatSessionManager::ssSessionInkMessageReceived(PLSSSession *session, const QVariantMap &info)
{
    const QString key = session->key();
    PL_GUARD_OBJECT(!key.isEmpty());
    PL_GUARD_OBJECT(!info.value(kVelaID).toString().isEmpty());
    PL_GUARD_OBJECT(info.contains(kMessage));
    PL_GUARD_OBJECT(sessionInfo(key));
    const QVariantMap ink{{kActivateType, QStringLiteral("inkMessage")},
                          {kMessage, info.value(kMessage)},
                          {kSessionKey, key},
                          {kSenderID, info.value(kVelaID)}};
    deliver(session, ink, &ink, &PLChatMessageProtocol::messageReceived, nullptr);
}

void PLChatSessionManager::ssSessionTypingInfoReceived(PLSSSession *session, const QVariantMap &info)
{
    const QString key = session->key();
    PL_GUARD_OBJECT(!key.isEmpty());
    PL_GUARD_OBJECT(!info.value(kVelaID).toString().isEmpty());
    PL_GUARD_OBJECT(info.contains(QStringLiteral("flag")));
    deliver(session,
            {{kVelaID, info.value(kVelaID)}, {QStringLiteral("flag"), info.value(QStringLiteral("flag"))}, {kSessionKey, key}},
            nullptr, &PLChatMessageProtocol::typingInfoReceived, notifications::kChatSessionTypingInfoReceived);
}

void PLChatSessionManager::ssSessionJoinReceived(PLSSSession *session, const QVariantMap &info)
{
    PLChatSessionInfo *room = sessionInfo(session->key());
    PL_GUARD_OBJECT(room);
    PL_GUARD_FLAG(room->addUserInfo(info));
    QVariantMap record = info;
    record.insert(kSessionKey, session->key());
    QPointer<PLSSSession> guard(session);
    deliver(session, record, nullptr, &PLChatMessageProtocol::userJoined, notifications::kChatSessionUserJoin);
    if (guard && info.contains(kVelaID))
        session->sendDPImg(info.value(kVelaID).toString());
}

void PLChatSessionManager::ssSessionUserReceived(PLSSSession *session, const QVariantMap &info)
{
    const QString key = session->key();
    PLChatSessionInfo *room = sessionInfo(key);
    PL_GUARD_OBJECT(room);
    PL_GUARD_FLAG(room->addUserInfo(info));
    const bool lastLine = info.value(QStringLiteral("index")).toInt() == info.value(QStringLiteral("count")).toInt();
    // An invited room opens no window of its own, unless a window for
    // exactly these members is open already: that one takes the room over.
    if (lastLine && mChatWindows && !session->isActivated()
        && mChatWindows->chatDocumentForBuddyIDs(room->userIDsInRoom()))
        session->setActive(true, {{kActivateType, QStringLiteral("recreation")}, {kSessionKey, key}});
    QVariantMap record = info;
    record.insert(kSessionKey, key);
    deliver(session, record, nullptr, &PLChatMessageProtocol::userInfoReceived,
            notifications::kChatSessionUserInfoReceived);
}

void PLChatSessionManager::ssSessionUserQuitReceived(PLSSSession *session, const QVariantMap &info)
{
    const QString key = session->key();
    const QString member = info.value(kVelaID).toString();
    PL_GUARD_OBJECT(!key.isEmpty());
    PL_GUARD_OBJECT(!member.isEmpty());
    bool isLast = false;
    if (PLChatSessionInfo *room = sessionInfo(key)) {
        if (room->userCount() == 1) {
            // Messages typed from now on wait until somebody joins again.
            session->setAlone(true);
            isLast = true;
        }
        room->removeUserInfoByUserID(member);
    }
    deliver(session, {{kVelaID, member}, {QStringLiteral("isLast"), isLast}, {kSessionKey, key}}, nullptr,
            &PLChatMessageProtocol::userQuited, notifications::kChatSessionUserQuit);
}

void PLChatSessionManager::ssSessionAnimiconReceived(PLSSSession *session, const QVariantMap &info)
{
    const QString key = session->key();
    PL_GUARD_OBJECT(!key.isEmpty());
    PL_GUARD_OBJECT(!info.value(kUserID).toString().isEmpty());
    PL_GUARD_OBJECT(info.contains(QStringLiteral("animiconInfo")));
    const QVariantMap activation{{kActivateType, QStringLiteral("animicon")},
                                 {QStringLiteral("animiconInfo"), info.value(QStringLiteral("animiconInfo"))},
                                 {kSessionKey, key},
                                 {kSenderID, info.value(kUserID)}};
    deliver(session,
            {{kSessionKey, key}, {kUserID, info.value(kUserID)}, {QStringLiteral("animiconInfo"), info.value(QStringLiteral("animiconInfo"))}},
            &activation, &PLChatMessageProtocol::animiconReceived, notifications::kChatSessionAnimiconReceived);
}

void PLChatSessionManager::ssSessionAnimiconAck(PLSSSession *session, const QVariantMap &info)
{
    const QString key = session->key();
    const QString userID = info.value(kUserID).toString();
    const QString animiconInfo = info.value(QStringLiteral("animiconInfo")).toString();
    PL_GUARD_OBJECT(!key.isEmpty());
    PL_GUARD_OBJECT(!userID.isEmpty());
    PL_GUARD_OBJECT(!animiconInfo.isEmpty());
    // The fifth word holds "<name>%09<installed>"; 0 means the peer lacks it.
    const QStringList words = animiconInfo.split(QLatin1Char(' '));
    const QStringList parts = words.size() > 4 ? words[4].split(QStringLiteral("%09")) : QStringList();
    if (parts.size() < 2) {
        plLog(QStringLiteral("exception = animicon information too short, (%1, %2)").arg(QLatin1String(__FILE__)).arg(__LINE__));
        return;
    }
    if (plIntValue(parts[1]) != 0)
        return;
    QString sender = userID;
    if (const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(userID); buddy && mBuddyString)
        sender = mBuddyString->buddyStringWithBuddy(*buddy);
    const QString message = QStringLiteral("%1 %2").arg(sender, KCLocalizedString(QStringLiteral("NotInstallAnimicon")));
    deliver(session, {{kSessionKey, key}, {kUserID, userID}, {kMessage, message}}, nullptr,
            &PLChatMessageProtocol::ackAnimicon, nullptr);
}

void PLChatSessionManager::ssSessionRequestFileTransferReceived(PLSSSession *session, const QVariantMap &info)
{
    const QString key = session->key();
    PL_GUARD_OBJECT(!key.isEmpty());
    PL_GUARD_OBJECT(!info.value(kUserID).toString().isEmpty());
    PL_GUARD_OBJECT(info.contains(QStringLiteral("fileInfos")));
    const QVariantList infos = info.value(QStringLiteral("fileInfos")).toList();
    QVariantList cookies;
    for (const QVariant &file : infos)
        cookies.append(file.toMap().value(QStringLiteral("cookie")));
    // An offer brings its room forward even when it is shown already.
    session->setActive(true, {{kActivateType, QStringLiteral("fileTransfer")},
                              {kSessionKey, key},
                              {kSenderID, info.value(kUserID)},
                              {QStringLiteral("fileCookies"), cookies}});
    if (mFileTransfer)
        mFileTransfer->downloadRequestReceived({{kSessionKey, key},
                                                {kUserID, info.value(kUserID)},
                                                {QStringLiteral("dpKey"), info.value(QStringLiteral("dpKey"))},
                                                {QStringLiteral("fileInfos"), infos}});
}

void PLChatSessionManager::ssSessionCancelFileTransferReceived(PLSSSession *, const QVariantMap &info)
{
    if (!mFileTransfer)
        return;
    for (const QVariant &cookie : info.value(QStringLiteral("fileCookies")).toList())
        mFileTransfer->downloadCancelled(cookie.toString());
}

void PLChatSessionManager::ssSessionNackFileTransferReceived(PLSSSession *, const QVariantMap &info)
{
    if (!mFileTransfer)
        return;
    for (const QVariant &file : info.value(QStringLiteral("fileInfos")).toList())
        mFileTransfer->uploadRejected(file.toMap().value(QStringLiteral("cookie")).toString());
}

QString PLChatSessionManager::reportLink(const QString &sessionKey) const
{
    QString members;
    for (const QVariant &item : userInfosInSession(sessionKey)) {
        const QString velaID = item.toMap().value(kVelaID).toString();
        const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(velaID);
        if (!buddy)
            continue;
        if (!members.isEmpty())
            members += QLatin1Char(',');
        // Built by concatenation: the escapes "%7c" would read as arg() markers.
        members += velaID + QLatin1String("%7c") + mBridgePage->urlencode(buddy->name()) + QLatin1String("%7c")
            + buddy->buddyCMN();
    }
    const QString text = mChatWindows ? mChatWindows->getChatText(sessionKey) : QString();
    const QString tail = text.size() > kReportTextLength ? text.right(kReportTextLength) : text;
    const QString parameter = QLatin1String("buddy%3d") + members + QLatin1String("%26text%3d") + base64Encode(tail);
    return QStringLiteral("<br><br><a href='%1' target=\"_blank\">%2</a>")
        .arg(mBridgePage->reportPageUrl(parameter), KCLocalizedString(QStringLiteral("Reporting")));
}

void PLChatSessionManager::ssSessionSpshMsgReceived(PLSSSession *session, const QVariantMap &info)
{
    const QString key = session->key();
    PL_GUARD_OBJECT(!key.isEmpty());
    PL_GUARD_OBJECT(info.contains(kMessage));
    PL_GUARD_OBJECT(sessionInfo(key));
    // The server's markup is kept only as far as it is simple; the rest is text.
    QString message = PLWarningMarkup::sanitize(info.value(kMessage).toString());
    if (info.value(QStringLiteral("type")).toInt() == 1 && mBridgePage)
        message += reportLink(key);
    const QVariantMap warning{{kActivateType, QStringLiteral("spshMessage")}, {kMessage, message}, {kSessionKey, key}};
    deliver(session, warning, &warning, &PLChatMessageProtocol::messageReceived, nullptr);
}

} // namespace parley
