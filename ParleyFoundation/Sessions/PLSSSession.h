#pragma once

// The connection to a switchboard server for one chat room. It enters the room
// (after a key exchange when the room is encrypted), sends the user's
// messages, typing flags, away messages, animicons and file offers, wraps every
// ordinary command in a CRPT envelope in an encrypted room, unwraps incoming
// envelopes and turns each room event into one delegate call. Messages given
// while nobody else is in the room wait in a queue until somebody joins.
//
// Senders live in PLSSSession+SendPackets.cpp, handlers in
// PLSSSession+ProcessPackets.cpp.

#include "PLSession.h"
#include "PLSSSessionDelegate.h"

#include <QList>
#include <QVariantList>
#include <QVariantMap>

namespace parley {

class PLChatCrypto;
class PLRecvPacket;
class PLRecvWHSPPacket;

// The user's own fields that entering a room sends.
struct PLSSSessionProfile
{
    QString dpKey;     // the notification server's key of this sign-in
    QString nickName;
    QString name;
    QString cmn;
    QString clientVersion;
    QString langPack;  // empty: not sent
};

class PLSSSession : public PLSession
{
    Q_OBJECT

public:
    // One waiting message: {"message": text, "absence": bool}.
    using QueuedMessage = QVariantMap;

    PLSSSession(const QString &hostAddress, int portNo, QObject *parent = nullptr);
    ~PLSSSession() override;

    void setDelegate(PLSSSessionDelegate *delegate) { mDelegate = delegate; }
    PLSSSessionDelegate *delegate() const { return mDelegate; }
    // The cipher of encrypted rooms; not owned, must outlive the session.
    void setCrypto(PLChatCrypto *crypto) { mCrypto = crypto; }

    void setMyVelaID(const QString &loginID) { mMyVelaID = loginID; }
    const QString &myVelaID() const { return mMyVelaID; }
    void setProfile(const PLSSSessionProfile &profile) { mProfile = profile; }
    const PLSSSessionProfile &profile() const { return mProfile; }
    void setKey(const QString &key) { mKey = key; }
    const QString &key() const { return mKey; }
    void setEncrypted(bool encrypted) { mIsEncrypted = encrypted; }
    bool isEncrypted() const { return mIsEncrypted; }
    // A null key is refused.
    void setEncryptKey(const QString &encryptKey);
    const QString &encryptKey() const { return mEncryptKey; }
    void setNickName(const QString &nickName) { mNickName = nickName; }
    const QString &nickName() const { return mNickName; }
    void setName(const QString &name) { mName = name; }
    const QString &name() const { return mName; }
    void setAlone(bool alone) { mIsAlone = alone; }
    bool isAlone() const { return mIsAlone; }
    // Enter the room as soon as the socket connects (not in relay mode).
    void setEnter(bool enter) { mIsEntered = enter; }
    bool isEnterPending() const { return mIsEntered; }
    bool isActivated() const { return mIsActivated; }
    const QList<QueuedMessage> &messageQueue() const { return mMessageQueue; }
    // Empties the queue and hands its messages over, oldest first.
    QList<QueuedMessage> takeMessageQueue();

    // Room operations.
    bool enter();
    bool sendMessage(const QString &text);
    bool leaveMessage(const QString &text);
    bool sendTypingInfo(int flag);
    bool sendAnimicon(const QString &animicon, const QString &userID);
    bool requestTransferFiles(const QVariantList &files, const QString &userID);
    bool acceptTransferFiles(const QVariantList &files, const QString &userID);
    bool rejectTransferFile(const QVariantMap &file, const QString &userID);
    bool cancelUploadFile(const QVariantMap &file, const QString &userID);
    bool sendUnknownWhsp(const QString &type, const QString &userID);
    bool sendUnknownMesg(const QString &type);
    // Display images are not sent.
    bool sendDPImg(const QString &userID);
    void setActive(bool active, const QVariantMap &option);
    // Tells the delegate before and after closing; clears the active flag.
    bool disconnect();
    // The same as a DSEL from the server.
    void goDSEL();
    // In relay mode: asks the relay for the room's switchboard ("RCON") now,
    // or as soon as the socket connects.
    bool remoteConnectWhenConnected();

    // Key exchange.
    bool sendNCPTPacket();
    // {"encodeType", "sessionKey"}
    bool sendPRVKPacket(const QVariantMap &info);
    bool sendEncryptedSessionKey(const QString &encryptedKey, const QString &encType);
    bool sendENTRPacket();
    // {"type": "typingInfo" (with "flag") | "message" | "absence", "message"}
    bool sendMESGPacket(const QVariantMap &info);

    // Every packet of the room: wrapped in CRPT in an encrypted room, except
    // the key exchange's own (NCPT, PRVK, ESSK).
    bool sendPacket(PLSendPacket &packet);

    void bodyReceived(const QByteArray &body) override;
    void onSocketDidConnectToHost(AsyncSocket *socket, const QString &host, quint16 port) override;
    void onSocketWillDisconnectWithError(AsyncSocket *socket, const std::optional<AsyncSocketError> &error) override;
    void onSocketDidDisconnect(AsyncSocket *socket) override;

private:
    enum BodyType { CRPTBody = 0, NCPTBody = 1 };

    void registerHandlers();
    bool sendQueuedMessage(const QueuedMessage &entry);
    // A chat line ("MSG") or an away reply ("AWAYMSG") into the room.
    bool sendText(const QString &text, bool absence, qint32 packetTid);
    bool queueOrSend(const QString &text, bool absence);
    void flushMessageQueue();
    bool sendFileWhsp(const QVariantList &files, const QString &userID, const QString &subType);

    void processRCONPackets(PLRecvPacket &packet);
    void processNCPTPackets(PLRecvPacket &packet);
    void processPRVKPackets(PLRecvPacket &packet);
    void processPBLKPackets(PLRecvPacket &packet);
    void processCRPTPackets(PLRecvPacket &packet);
    void processUSERPackets(PLRecvPacket &packet);
    void processENTRPackets(PLRecvPacket &packet);
    void processMESGPackets(PLRecvPacket &packet);
    void processSPSHPackets(PLRecvPacket &packet);
    void processQUITPackets(PLRecvPacket &packet);
    void processWHSPPackets(PLRecvPacket &packet);
    void processJOINPackets(PLRecvPacket &packet);
    void processDSELPackets(PLRecvPacket &packet);
    void processDefaultPackets(PLRecvPacket &packet);
    void processWhspFile(const PLRecvWHSPPacket &packet);
    void receiveEnvelopeBody(const QByteArray &body);
    void receiveNCPTBody(const QByteArray &body);

    PLSSSessionDelegate *mDelegate = nullptr;
    PLChatCrypto *mCrypto = nullptr;
    int mBodyType = CRPTBody;
    QVariantMap mHeaderInfoForBody;
    QString mMyVelaID;
    PLSSSessionProfile mProfile;
    QString mNickName;
    QString mName;
    QString mKey;
    bool mIsEncrypted = false;
    QString mEncryptKey;
    bool mIsActivated = false;
    bool mIsAlone = true;
    bool mIsEntered = false;
    QList<QueuedMessage> mMessageQueue;
    // Set while the socket closes because of the server or the network.
    bool mLostConnection = false;
    bool mRemoteConnectPending = false;
};

// Decimal text to an unsigned 64-bit size; all bits set when it does not parse.
quint64 PLFileSizeFromString(const QString &text);

} // namespace parley
