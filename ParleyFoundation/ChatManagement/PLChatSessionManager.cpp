#include "PLChatSessionManager.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLChatMessageProtocol.h"
#include "PLEncrypUtilChatCrypto.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLClientVersion.h"
#include "Utils/PLNetManager.h"

#include <QPointer>

namespace parley {

namespace {

QString langPackFor(const QString &language)
{
    static const QHash<QString, QString> packs{{QStringLiteral("ko"), QStringLiteral("ko-KR")},
                                               {QStringLiteral("en"), QStringLiteral("en-US")},
                                               {QStringLiteral("ja"), QStringLiteral("ja-JP")},
                                               {QStringLiteral("de"), QStringLiteral("de-DE")},
                                               {QStringLiteral("es"), QStringLiteral("es-ES")},
                                               {QStringLiteral("zh-Hans"), QStringLiteral("zh-CN")},
                                               {QStringLiteral("zh-Hant"), QStringLiteral("zh-TW")}};
    return packs.value(language);
}

PLChatIdentity signedInIdentity()
{
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    PLChatIdentity identity;
    identity.loginID = me.loginID();
    identity.profile.dpKey = me.dpKey();
    identity.profile.nickName = me.nickName();
    identity.profile.name = me.name();
    identity.profile.cmn = me.cmn();
    identity.profile.clientVersion = PLClientVersion();
    identity.profile.langPack = langPackFor(KCCurrentLanguage());
    return identity;
}

QVariantMap relayWhenNotDirect()
{
    const PLNetManager &net = PLNetManager::sharedManager();
    return net.isDPLMode() ? QVariantMap() : net.prsServerInfo();
}

} // namespace

PLChatSessionManager &PLChatSessionManager::sharedManager()
{
    // Created once, under the static-initialisation lock; lives with the process.
    static PLChatSessionManager *instance = [] {
        auto *manager = new PLChatSessionManager(NotificationCenter::defaultCenter());
        static PLEncrypUtilChatCrypto crypto;
        manager->setCrypto(&crypto);
        return manager;
    }();
    return *instance;
}

void PLChatSessionManager::resetShared() { sharedManager().reset(); }

PLChatSessionManager::PLChatSessionManager(NotificationCenter &center, QObject *parent)
    : QObject(parent), mCenter(center), mIdentity(signedInIdentity), mRelayInfo(relayWhenNotDirect)
{
    mCenter.addObserver(this, QString::fromLatin1(notifications::kSwitchBoardInfoReceived), nullptr,
                        [this](const Notification &n) { switchboardServerInfoReceived(n.userInfo); });
    mCenter.addObserver(this, QString::fromLatin1(notifications::kInvitedToChat), nullptr,
                        [this](const Notification &n) { invitedToChat(n.userInfo); });
}

PLChatSessionManager::~PLChatSessionManager()
{
    for (const auto &room : std::as_const(mSessionInfoDict))
        if (PLSSSession *session = room->session())
            session->setDelegate(nullptr);
}

void PLChatSessionManager::post(const char *name, const QVariantMap &userInfo)
{
    mCenter.post(QString::fromLatin1(name), this, userInfo);
}

void PLChatSessionManager::reset()
{
    // Forgotten rooms say nothing more to this manager.
    for (const auto &room : std::as_const(mSessionInfoDict))
        if (PLSSSession *session = room->session())
            session->setDelegate(nullptr);
    mSessionInfoDict.clear();
}

void PLChatSessionManager::setProxyMode(int mode, const QString &serverIP, int portNo)
{
    PL_GUARD_FLAG(mode >= 0 && mode < 4);
    if (mode != 0)
        PL_GUARD_OBJECT(!serverIP.isNull());
    mProxyModeValue = mode;
    mProxyServerIPValue = serverIP;
    mProxyServerPortNoValue = portNo;
}

PLChatSessionInfo *PLChatSessionManager::sessionInfo(const QString &sessionKey) const
{
    return mSessionInfoDict.value(sessionKey).get();
}

PLSSSession *PLChatSessionManager::sessionFor(const QString &sessionKey) const
{
    PLChatSessionInfo *room = sessionInfo(sessionKey);
    return room ? room->session() : nullptr;
}

PLSSSession *PLChatSessionManager::makeSession(const QString &ip, int port, const QString &key)
{
    auto *session = new PLSSSession(ip, port);
    session->setProxyMode(mProxyModeValue, mProxyServerIPValue, mProxyServerPortNoValue, QString(), QString());
    session->setCrypto(mCrypto);
    const PLChatIdentity identity = mIdentity ? mIdentity() : PLChatIdentity();
    session->setMyVelaID(identity.loginID);
    session->setProfile(identity.profile);
    session->setKey(key);
    return session;
}

void PLChatSessionManager::switchboardServerInfoReceived(const QVariantMap &info)
{
    for (const char *name : {"tid", "ip", "key", "port", "buddyIDs", "sessionUUID"})
        PL_GUARD_OBJECT(info.contains(QString::fromLatin1(name)));
    const QString key = info.value(QStringLiteral("key")).toString();
    // A second answer for a room we already hold must not drop the first.
    PL_GUARD_FLAG(!key.isEmpty() && !mSessionInfoDict.contains(key));
    PLSSSession *session = makeSession(info.value(QStringLiteral("ip")).toString(),
                                       info.value(QStringLiteral("port")).toInt(), key);
    const QVariantMap relay = mRelayInfo ? mRelayInfo() : QVariantMap();
    if (!relay.isEmpty())
        session->setPRSModeWithInfo(relay);
    session->setDelegate(this);
    auto room = std::make_shared<PLChatSessionInfo>();
    room->setSession(session);
    session->connect();
    session->setEncrypted(mEncryptMode);
    if (session->isPRSMode())
        session->remoteConnectWhenConnected();
    else
        session->setEnter(true);
    post(notifications::kChatSessionCreated, {{QStringLiteral("tid"), info.value(QStringLiteral("tid"))},
                                              {QStringLiteral("sessionKey"), key},
                                              {QStringLiteral("sessionUUID"), info.value(QStringLiteral("sessionUUID"))}});
    mSessionInfoDict.insert(key, room);
    session->setActive(true, {{QStringLiteral("activateType"), QStringLiteral("creation")},
                              {QStringLiteral("userIDs"), info.value(QStringLiteral("buddyIDs"))},
                              {QStringLiteral("sessionKey"), key}});
}

void PLChatSessionManager::invitedToChat(const QVariantMap &info)
{
    for (const char *name : {"ip", "key", "port"})
        PL_GUARD_OBJECT(info.contains(QString::fromLatin1(name)));
    const QString key = info.value(QStringLiteral("key")).toString();
    PL_GUARD_FLAG(!key.isEmpty() && !mSessionInfoDict.contains(key));
    PLSSSession *session = makeSession(info.value(QStringLiteral("ip")).toString(),
                                       info.value(QStringLiteral("port")).toInt(), key);
    session->setDelegate(this);
    session->setEncrypted(mEncryptMode);
    auto room = std::make_shared<PLChatSessionInfo>();
    room->setSession(session);
    session->connect();
    session->setEnter(true);
    mSessionInfoDict.insert(key, room);
    post(notifications::kChatSessionCreated, {{QStringLiteral("sessionKey"), key}});
}

bool PLChatSessionManager::sendMessage(const QString &message, const QString &sessionKey)
{
    PL_GUARD_OBJECT(!message.isNull(), false);
    PL_GUARD_OBJECT(!sessionKey.isNull(), false);
    PLChatSessionInfo *room = sessionInfo(sessionKey);
    if (!room) {
        plLog(QStringLiteral("session does not exist. %1, %2").arg(QLatin1String(__FILE__)).arg(__LINE__));
        return false;
    }
    PL_GUARD_OBJECT(room->session(), false);
    return room->session()->sendMessage(message);
}

bool PLChatSessionManager::leaveMessage(const QString &message, const QString &sessionKey)
{
    PL_GUARD_OBJECT(!message.isNull(), false);
    PLSSSession *session = sessionFor(sessionKey);
    PL_GUARD_OBJECT(session, false);
    return session->leaveMessage(message);
}

bool PLChatSessionManager::sendTypingInfo(int flag, const QString &sessionKey)
{
    PL_GUARD_OBJECT(!sessionKey.isNull(), false);
    PLChatSessionInfo *room = sessionInfo(sessionKey);
    if (!room)
        return false;
    PL_GUARD_OBJECT(room->session(), false);
    return room->session()->sendTypingInfo(flag);
}

void PLChatSessionManager::sendAnimicon(const QString &animicon, const QString &sessionKey)
{
    PL_GUARD_OBJECT(!animicon.isNull());
    PL_GUARD_OBJECT(!sessionKey.isNull());
    PLChatSessionInfo *room = sessionInfo(sessionKey);
    PL_GUARD_OBJECT(room && room->session());
    for (const QString &member : room->userIDsInRoom())
        room->session()->sendAnimicon(animicon, member);
}

bool PLChatSessionManager::disconnectSession(const QString &sessionKey)
{
    const std::shared_ptr<PLChatSessionInfo> room = mSessionInfoDict.value(sessionKey);
    PL_GUARD_OBJECT(room && room->session(), false);
    PLSSSession *session = room->session();
    const QString key = session->key();
    const bool disconnected = session->disconnect();
    PL_GUARD_FLAG(disconnected, false);
    mSessionInfoDict.remove(key);
    return true;
}

void PLChatSessionManager::allDisconnectSession()
{
    // Closing a room takes it out of the dictionary: walk a copy.
    const QList<std::shared_ptr<PLChatSessionInfo>> rooms = mSessionInfoDict.values();
    for (const auto &room : rooms)
        if (PLSSSession *session = room->session())
            session->goDSEL();
}

bool PLChatSessionManager::isValidSessionKey(const QString &sessionKey) const
{
    PL_GUARD_OBJECT(!sessionKey.isNull(), false);
    PLSSSession *session = sessionFor(sessionKey);
    return session && session->isConnected();
}

void PLChatSessionManager::setMessageReceiver(PLChatMessageProtocol *receiver, const QString &sessionKey)
{
    PLChatSessionInfo *room = sessionInfo(sessionKey);
    PL_GUARD_OBJECT(room);
    room->setReceiver(receiver);
}

int PLChatSessionManager::userCountForSession(const QString &sessionKey) const
{
    PLChatSessionInfo *room = sessionInfo(sessionKey);
    return room ? room->userCount() : 0;
}

QVariantList PLChatSessionManager::userInfosInSession(const QString &sessionKey) const
{
    PLChatSessionInfo *room = sessionInfo(sessionKey);
    return room ? room->userInfos() : QVariantList();
}

QString PLChatSessionManager::ipForSession(const QString &sessionKey)
{
    PLSSSession *session = sessionFor(sessionKey);
    return session ? session->myHostAddress() : QString();
}

int PLChatSessionManager::portForSession(const QString &sessionKey)
{
    PLSSSession *session = sessionFor(sessionKey);
    return session ? session->myPortNo() : 0;
}

bool PLChatSessionManager::requestTransferFiles(const QVariantList &files, const QString &sessionKey,
                                                const QString &userID)
{
    PL_GUARD_OBJECT(!sessionKey.isNull() && !userID.isNull(), false);
    PLSSSession *session = sessionFor(sessionKey);
    PL_GUARD_OBJECT(session, false);
    return session->requestTransferFiles(files, userID);
}

bool PLChatSessionManager::acceptTransferFiles(const QVariantList &files, const QString &sessionKey,
                                               const QString &userID)
{
    PL_GUARD_OBJECT(!sessionKey.isNull() && !userID.isNull(), false);
    PLSSSession *session = sessionFor(sessionKey);
    PL_GUARD_OBJECT(session, false);
    return session->acceptTransferFiles(files, userID);
}

bool PLChatSessionManager::rejectTransferFile(const QVariantMap &file, const QString &sessionKey,
                                              const QString &userID)
{
    PL_GUARD_OBJECT(!file.isEmpty() && !sessionKey.isNull() && !userID.isNull(), false);
    PLSSSession *session = sessionFor(sessionKey);
    PL_GUARD_OBJECT(session, false);
    return session->rejectTransferFile(file, userID);
}

bool PLChatSessionManager::cancelUploadFile(const QVariantMap &file, const QString &sessionKey,
                                            const QString &userID)
{
    PL_GUARD_OBJECT(!file.isEmpty() && !sessionKey.isNull() && !userID.isNull(), false);
    PLSSSession *session = sessionFor(sessionKey);
    if (!session) {
        plLog(QStringLiteral("not identified file transfer canceled."));
        return false;
    }
    return session->cancelUploadFile(file, userID);
}

} // namespace parley
