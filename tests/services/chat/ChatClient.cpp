#include "ChatClient.h"

namespace parley::test {

namespace {
const char *const kRecorded[] = {
    notifications::kChatSessionCreated,          notifications::kChatSessionActivated,
    notifications::kChatSessionWillClose,        notifications::kChatSessionMessageReceived,
    notifications::kChatSessionAwayMessageReceived, notifications::kChatSessionTypingInfoReceived,
    notifications::kChatSessionUserJoin,         notifications::kChatSessionUserInfoReceived,
    notifications::kChatSessionUserQuit,         notifications::kChatSessionAnimiconReceived,
    notifications::kChatSessionUndelivered,      notifications::kCertError,
    notifications::kCertInitError,
};
} // namespace

ChatClient::ChatClient(const QString &id, bool attachOnActivation) : loginID(id)
{
    manager.setIdentityProvider([id] {
        PLChatIdentity identity;
        identity.loginID = id;
        identity.profile.dpKey = QStringLiteral("dp|") + id;
        identity.profile.nickName = QStringLiteral("nick ") + id;
        identity.profile.name = QStringLiteral("Name ") + id;
        identity.profile.cmn = QStringLiteral("cmn-") + id;
        identity.profile.clientVersion = QStringLiteral("1.0");
        return identity;
    });
    manager.setRelayInfoProvider([] { return QVariantMap(); });
    manager.setCrypto(&crypto);
    manager.setFileTransferManager(&files);
    for (const char *name : kRecorded)
        center.addObserver(QString::fromLatin1(name), nullptr, [this](const Notification &n) {
            notes.append({n.name, n.userInfo});
        });
    if (attachOnActivation)
        center.addObserver(QString::fromLatin1(notifications::kChatSessionActivated), nullptr,
                           [this](const Notification &n) {
                               manager.setMessageReceiver(&receiver, n.userInfo.value(QStringLiteral("sessionKey")).toString());
                           });
}

ChatClient::~ChatClient() { manager.reset(); }

void ChatClient::requestRoom(const QString &ip, int port, const QString &key, const QStringList &buddyIDs)
{
    center.post(QString::fromLatin1(notifications::kSwitchBoardInfoReceived), nullptr,
                {{QStringLiteral("tid"), 7},
                 {QStringLiteral("ip"), ip},
                 {QStringLiteral("key"), key},
                 {QStringLiteral("port"), QString::number(port)},
                 {QStringLiteral("buddyIDs"), buddyIDs},
                 {QStringLiteral("sessionUUID"), QStringLiteral("uuid-") + key}});
}

void ChatClient::invited(const QString &ip, int port, const QString &key)
{
    center.post(QString::fromLatin1(notifications::kInvitedToChat), nullptr,
                {{QStringLiteral("ip"), ip}, {QStringLiteral("key"), key}, {QStringLiteral("port"), port}});
}

void ChatClient::setEncrypted(bool encrypted) { manager.setEncryptMode(encrypted); }

QList<QVariantMap> ChatClient::noted(const char *name) const
{
    QList<QVariantMap> found;
    for (const Call &call : notes)
        if (call.first == QLatin1String(name))
            found.append(call.second);
    return found;
}

PLSSSession *ChatClient::session(const QString &key) const
{
    PLChatSessionInfo *room = manager.sessionInfo(key);
    return room ? room->session() : nullptr;
}

} // namespace parley::test
