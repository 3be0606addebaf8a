#pragma once

// The owner of every chat room. It creates a room's switchboard session when
// the server answers an own chat request or an invitation arrives, keeps the
// room under its session key, gives the chat windows one entry point for what
// they send into a room, and, as every session's delegate, hands each room
// event to the room's receiver or, while it has none, to a notification
// (events in PLChatSessionManager+Events.cpp).

#include "PLChatSessionInfo.h"
#include "Sessions/PLChatSessionManagerInterface.h"
#include "Sessions/PLSSSessionDelegate.h"

#include <QHash>
#include <QObject>
#include <functional>
#include <memory>

namespace parley {

class BridgePageInterface;
class BuddyStringInterface;
class ChatManagerInterface;
class NotificationCenter;
class PLChatCrypto;
class PLChatMessageProtocol;
class PLChatFileTransferInterface;

// Who the user is in a room.
struct PLChatIdentity
{
    QString loginID;
    PLSSSessionProfile profile;
};

// The relay the rooms go through when the direct route is closed; an empty
// map in direct mode.
using PLChatRelayInfo = std::function<QVariantMap()>;

class PLChatSessionManager : public QObject, public PLChatSessionManagerInterface, public PLSSSessionDelegate
{
    Q_OBJECT

public:
    // The process-wide manager, on the process's notification center.
    static PLChatSessionManager &sharedManager();
    // Forgets every room of the shared manager without disconnecting it.
    static void resetShared();

    // A manager that observes `center` (tests make one per client).
    explicit PLChatSessionManager(NotificationCenter &center, QObject *parent = nullptr);
    ~PLChatSessionManager() override;

    // Collaborators; none is owned and each may be absent. The shared
    // manager enciphers with the client's crypto glue.
    void setCrypto(PLChatCrypto *crypto) { mCrypto = crypto; }
    void setChatWindows(ChatManagerInterface *windows) { mChatWindows = windows; }
    void setBuddyString(BuddyStringInterface *buddyString) { mBuddyString = buddyString; }
    void setBridgePage(BridgePageInterface *bridgePage) { mBridgePage = bridgePage; }
    void setFileTransferManager(PLChatFileTransferInterface *manager) { mFileTransfer = manager; }
    // Where the user's own fields come from (the signed-in account by default).
    void setIdentityProvider(std::function<PLChatIdentity()> provider) { mIdentity = std::move(provider); }
    void setRelayInfoProvider(PLChatRelayInfo provider) { mRelayInfo = std::move(provider); }

    // Forgets every room without disconnecting it.
    void reset() override;
    // Mode 0 to 3; a proxy needs its address. Applies to rooms made later.
    void setProxyMode(int mode, const QString &serverIP, int portNo) override;
    int mProxyMode() const { return mProxyModeValue; }
    const QString &mProxyServerIP() const { return mProxyServerIPValue; }
    int mProxyServerPortNo() const { return mProxyServerPortNoValue; }
    void setEncryptMode(bool encrypt) { mEncryptMode = encrypt; }
    bool mIsEncryptMode() const { return mEncryptMode; }

    // What the chat windows send into a room.
    bool sendMessage(const QString &message, const QString &sessionKey);
    bool leaveMessage(const QString &message, const QString &sessionKey);
    bool sendTypingInfo(int flag, const QString &sessionKey);
    void sendAnimicon(const QString &animicon, const QString &sessionKey);
    bool disconnectSession(const QString &sessionKey);
    // Closes every room as if the server had closed it.
    void allDisconnectSession();
    bool isValidSessionKey(const QString &sessionKey) const;
    // Null detaches the room's receiver.
    void setMessageReceiver(PLChatMessageProtocol *receiver, const QString &sessionKey);
    int userCountForSession(const QString &sessionKey) const;
    QVariantList userInfosInSession(const QString &sessionKey) const;
    QString ipForSession(const QString &sessionKey) override;
    int portForSession(const QString &sessionKey) override;
    QStringList sessionKeys() const { return mSessionInfoDict.keys(); }
    PLChatSessionInfo *sessionInfo(const QString &sessionKey) const;

    // The user's own file-transfer answers, written into the room.
    bool requestTransferFiles(const QVariantList &files, const QString &sessionKey, const QString &userID);
    bool acceptTransferFiles(const QVariantList &files, const QString &sessionKey, const QString &userID);
    bool rejectTransferFile(const QVariantMap &file, const QString &sessionKey, const QString &userID);
    bool cancelUploadFile(const QVariantMap &file, const QString &sessionKey, const QString &userID);

    // A room for an own chat request: {"tid", "ip", "key", "port", "buddyIDs",
    // "sessionUUID"}.
    void switchboardServerInfoReceived(const QVariantMap &info);
    // A room for an invitation: {"ip", "key", "port"}.
    void invitedToChat(const QVariantMap &info);

    // PLSSSessionDelegate
    void ssSessionActivated(PLSSSession *session, const QVariantMap &option) override;
    void ssSessionDidDisconnect(PLSSSession *session) override;
    void ssSessionRemoteConnected(PLSSSession *session) override;
    void ssSessionWillCloseReceived(PLSSSession *session) override;
    void ssSessionNcptPublicKeyReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionPublicKeyReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionUserReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionJoinReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionUserQuitReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionMessageReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionAwayMessageReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionInkMessageReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionTypingInfoReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionSpshMsgReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionAnimiconReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionAnimiconAck(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionRequestFileTransferReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionNackFileTransferReceived(PLSSSession *session, const QVariantMap &info) override;
    void ssSessionCancelFileTransferReceived(PLSSSession *session, const QVariantMap &info) override;

private:
    PLSSSession *makeSession(const QString &ip, int port, const QString &key);
    PLSSSession *sessionFor(const QString &sessionKey) const;
    void post(const char *name, const QVariantMap &userInfo = {});
    // Activates the room when it is not yet, then hands the event to its
    // receiver through `call`, or posts `notification` (none when null).
    void deliver(PLSSSession *session, const QVariantMap &info, const QVariantMap *activation,
                 void (PLChatMessageProtocol::*call)(const QVariantMap &), const char *notification);
    void deliverMessage(PLSSSession *session, const QVariantMap &info,
                        void (PLChatMessageProtocol::*call)(const QVariantMap &), const char *notification);
    QString reportLink(const QString &sessionKey) const;

    NotificationCenter &mCenter;
    int mProxyModeValue = 0;
    QString mProxyServerIPValue;
    int mProxyServerPortNoValue = 0;
    bool mEncryptMode = false;
    QHash<QString, std::shared_ptr<PLChatSessionInfo>> mSessionInfoDict;

    PLChatCrypto *mCrypto = nullptr;
    ChatManagerInterface *mChatWindows = nullptr;
    BuddyStringInterface *mBuddyString = nullptr;
    BridgePageInterface *mBridgePage = nullptr;
    PLChatFileTransferInterface *mFileTransfer = nullptr;
    std::function<PLChatIdentity()> mIdentity;
    PLChatRelayInfo mRelayInfo;
};

} // namespace parley
