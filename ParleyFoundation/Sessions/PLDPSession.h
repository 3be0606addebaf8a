#pragma once

// The signed-in client's one long-lived connection: the session with the
// notification server that the login-dispatch server named. It runs the
// sign-in (key exchange, LIN4, options, configuration, groups, buddies),
// routes each command to its handler (PLDPSessionProcessPackets.cpp) and each
// counted body to its parser, keeps the line alive with PONG, logs out, and
// reports every event to its delegate (the account-session facade). The
// senders of every outgoing command are in PLDPSessionSendPacket.cpp.
//
// Login states (dpState): 0 idle, 2 LSIN reply, 3 key exchange started,
// 4 LIN4 reply, 5 signed in (options and configuration asked), 6
// configuration received, 7 group list asked, 8 cached group list stands,
// 9 buddy list asked, 12 logged in, 13 ended by the server (KILL).

#include "PLDPSessionDelegate.h"
#include "PLSession.h"

#include <QDateTime>
#include <chrono>
#include <QVariantList>

class QTimer;

namespace parley {

class PLNote;
class PLRecvPacket;

class PLDPSession : public PLSession
{
    Q_OBJECT

public:
    enum State : qint32 {
        Idle = 0,
        LSINReplied = 2,
        KeyExchangeStarted = 3,
        LIN4Replied = 4,
        SignedIn = 5,
        ConfReceived = 6,
        GroupListRequested = 7,
        GroupCacheCurrent = 8,
        BuddyListRequested = 9,
        LoggedIn = 12,
        Killed = 13,
    };

    explicit PLDPSession(QObject *parent = nullptr);
    PLDPSession(const QString &hostAddress, int portNo, QObject *parent = nullptr);
    ~PLDPSession() override;

    void setDelegate(PLDPSessionDelegate *delegate) { mDelegate = delegate; }
    PLDPSessionDelegate *delegate() const { return mDelegate; }

    // Credentials and sign-in.
    void setUserID(const QString &userID, const QString &password, bool encrypted);
    void setPassword(const QString &password, bool encrypted);
    const QString &userID() const { return mUserID; }
    // No unless idle; else stores the credentials and starts the key exchange.
    bool loginWithUserID(const QString &userID, const QString &password, bool encrypted);
    // Sends NCPT (state 3); no without credentials or, outside the tunnel, a connection.
    bool login();
    bool isLoggedIn() const { return mDpState == LoggedIn; }
    // Starts the keepalive; the owner calls it once the buddy list is complete.
    void loginCompleted();
    // Sends LOUT (not after KILL), stops the keepalive and disconnects (once
    // LOUT is written). True when LOUT went out; a failed send still stops
    // the keepalive.
    bool logout();
    // Whether LOUT was sent on this line and the session has not connected
    // again since: its owner lets the line flush before dropping it.
    bool hasSentLOUT() const { return mLoggedOut; }
    // Whether the server would still hear a LOUT: the line is open (or goes
    // through the tunnel), no KILL ended it and no LOUT went out yet.
    bool canSignOut() const;

    // Stops the keepalive, then closes the line (see PLSession).
    bool disconnect();

    const QString &encryptKey() const { return mEncryptKey; }
    void setEncryptKey(const QString &key) { mEncryptKey = key; }
    // The text enciphered under encryptKey; null when it cannot be.
    QString encryptPassword(const QString &text) const;
    // The stored hash, or the MD5 text of the password followed by loginId().
    QString encryptedPassword() const;
    // userID without "@" and the portal's own domain, when it ends so.
    QString loginId() const;

    const QString &loginOTP() const { return mLoginOTP; }
    void setLoginOTP(const QString &otp) { mLoginOTP = otp; }
    bool isHiddenRetry() const { return mIsHiddenRetry; }
    void setIsHiddenRetry(bool flag) { mIsHiddenRetry = flag; }
    bool isAvailablePONG() const { return mIsAvailablePONG; }
    void setIsAvailablePONG(bool flag) { mIsAvailablePONG = flag; }
    bool isFileTransfer() const { return mIsFileTransfer; }
    void setFileTransferFlag(bool flag) { mIsFileTransfer = flag; }

    qint32 dpState() const { return mDpState; }
    // Set by the handlers as replies arrive (KILL sets Killed).
    void setDpState(qint32 state) { mDpState = state; }
    qint32 mBodyTypeValue() const { return mBodyType; }
    quint32 mGroupCacheNo() const { return mGroupCacheNoValue; }
    quint32 mConfCacheNo() const { return mConfCacheNoValue; }
    const QByteArray &mConfCache() const { return mConfCacheValue; }
    qint32 mPONGCount() const { return mPONGCountValue; }
    qint32 mTimerCount() const { return mTimerCountValue; }
    // When the last line arrived, in UTC.
    QDateTime mLastPacketReceivedTime() const;
    bool isKeepaliveRunning() const;

    // Sign-in steps the owner drives.
    void requestLOPTData();
    bool requestCONFData(qint32 cacheNo);
    bool requestGLSTData(qint32 cacheNo);

    // Thin operations for the owner.
    bool addGroup(const QString &groupName);
    bool removeGroup(const QString &groupID);
    bool renameGroup(const QString &groupID, const QString &name);
    bool acceptAddBuddy(const QString &velaID, const QString &buddyCMN, const QString &groupID);
    bool requestAddBuddy(const QString &velaID, const QString &groupID, const QString &message);
    bool rejectAddBuddy(const QString &velaID, const QString &buddyCMN);
    bool addBuddy(const QString &buddyID);
    bool blockBuddy(const QString &buddyID, const QString &buddyCMN);
    bool unblockBuddy(const QString &buddyID, const QString &buddyCMN);
    bool removeBuddy(const QString &buddyID, const QString &buddyCMN, const QString &flag);
    bool moveBuddies(const QVariantList &items, const QString &localGroupCache);
    bool copyBuddies(const QVariantList &items, const QString &localGroupCache);
    bool removeBuddies(const QVariantList &items, const QString &localGroupCache);
    bool setMyNickName(const QString &nickName);
    bool setMyStatus(qint32 status);
    bool requestSSInfo();
    bool sendNote(PLNote *note);
    bool requestFRInfo(const QString &buddyID);

    // Senders, one per outgoing command (PLDPSessionSendPacket.cpp).
    bool sendRESSPacket();
    bool sendNCPTPacket(const QString &userID);
    bool sendPRVKPacket(const QVariantMap &info);
    bool sendLIN4Packet(const QString &passwordType);
    bool sendLSINPacket();
    bool sendLSINOTPPacket();
    bool sendLOPTPacket();
    bool sendCONFPacket(qint32 cacheNo);
    bool sendGLSTPacket(qint32 cacheNo);
    void sendLISTPacket();
    bool sendLOUTPacket();
    bool sendPINGPacket();
    bool sendPONG();
    bool sendREFRPacket(const QString &text);
    bool sendADDGPacket(const QString &groupName);
    bool sendRMVGPacket(const QString &groupID);
    bool sendRENGPacket(const QVariantMap &info);
    bool sendADDBPacket(const QVariantMap &info);
    bool sendRMVBPacket(const QVariantMap &info);
    bool sendADSBPacket(const QVariantMap &info);
    bool sendMVBGPacket(const QVariantMap &info);
    bool sendCPBGPacket(const QVariantMap &info);
    bool sendRMBGPacket(const QVariantMap &info);
    bool sendONSTPacket(qint32 status);
    bool sendCNIKPacket(const QString &nickName);
    // The pairs in the map's key order.
    bool sendCPRFPacket(const QVariantMap &profile);
    bool sendCMSGPacket(const QVariantMap &info);
    bool sendMEMOCNT2Packet();
    bool sendMEMOGET1Packet(const QString &unused, const QString &cookie);
    bool sendMEMOREL1Packet(bool read, const QString &cookie, qint32 lastSeq, qint32 reqCount, bool isSend);
    bool sendMLSTPacket(const QString &target);
    // Answers the tid used.
    qint32 sendKILSPacket(const QString &target, const QString &allKill);

    // Handlers of the sign-in commands (PLDPSessionProcessPackets.cpp).
    void processRCONPackets(PLRecvPacket &packet);
    void processNCPTPackets(PLRecvPacket &packet);
    void processPRVKPackets(PLRecvPacket &packet);
    void processLSINPackets(PLRecvPacket &packet);
    void processLIN4Packets(PLRecvPacket &packet);
    void processTOKNPackets(PLRecvPacket &packet);
    void processLOPTPackets(PLRecvPacket &packet);
    void processCONFPackets(PLRecvPacket &packet);
    void processGLSTPackets(PLRecvPacket &packet);
    void processLISTPackets(PLRecvPacket &packet);
    void processPINGPackets(PLRecvPacket &packet);
    void processPONGPackets(PLRecvPacket &packet);
    void processERRPackets(PLRecvPacket &packet);
    void processDefaultPackets(PLRecvPacket &packet);
    // Body parsers.
    void processNCPTBody(const QByteArray &body);
    void processCONFBody(const QByteArray &body);
    void processLIN4Body(const QByteArray &body);
    void processTOKNBody(const QByteArray &body);

    // Messages to another client through the server (PLDPSessionSendCTOC.cpp).
    bool inviteUser(const QString &buddyID, const QVariantMap &sessionInfo);
    bool requestP2PConnect(const QVariantMap &info);
    bool responseP2PConnect(const QVariantMap &info);
    bool sendMailReqPacket(const QVariantMap &info);
    bool sendMailEndPacket(const QString &text);

    // Handlers of the buddy, group and presence commands
    // (PLDPSessionProcessBuddyPackets.cpp).
    void processINFYPackets(PLRecvPacket &packet);
    void processNTFYPackets(PLRecvPacket &packet);
    void processNNIKPackets(PLRecvPacket &packet);
    void processNPRFPackets(PLRecvPacket &packet);
    void processCNIKPackets(PLRecvPacket &packet);
    void processONSTPackets(PLRecvPacket &packet);
    void processCPRFPackets(PLRecvPacket &packet);
    void processADSBPackets(PLRecvPacket &packet);
    void processADDBPackets(PLRecvPacket &packet);
    void processRMVBPackets(PLRecvPacket &packet);
    void processADDGPackets(PLRecvPacket &packet);
    void processRMVGPackets(PLRecvPacket &packet);
    void processRENGPackets(PLRecvPacket &packet);
    void processCPBGPackets(PLRecvPacket &packet);
    void processMVBGPackets(PLRecvPacket &packet);
    void processRMBGPackets(PLRecvPacket &packet);
    void processCPRFBody(const QByteArray &body);
    void processBatchBody(qint32 bodyType, const QByteArray &body);
    // Handlers of messages, notices and services
    // (PLDPSessionProcessMessagePackets.cpp).
    void processCTOCPackets(PLRecvPacket &packet);
    void processCMSGPackets(PLRecvPacket &packet);
    void processSMSGPackets(PLRecvPacket &packet);
    void processWGETPackets(PLRecvPacket &packet);
    void processTICKPackets(PLRecvPacket &packet);
    void processALRMPackets(PLRecvPacket &packet);
    void processCALMPackets(PLRecvPacket &packet);
    void processMCNTPackets(PLRecvPacket &packet);
    void processMLSTPackets(PLRecvPacket &packet);
    void processKILSPackets(PLRecvPacket &packet);
    void processKILLPackets(PLRecvPacket &packet);
    void processPNAKPackets(PLRecvPacket &packet);
    void processRESSPackets(PLRecvPacket &packet);
    void processREFRPackets(PLRecvPacket &packet);
    void processCTOCBody(const QByteArray &body);
    void processCMSGBody(const QByteArray &body);
    void processWGETBody(const QByteArray &body);
    void processMLSTBody(const QByteArray &body);
    // An address from a peer or the server is used only as an IPv4 or IPv6
    // literal with a port of 1 to 65535; anything else is logged.
    static bool isUsableAddress(const QString &ip, const QString &port);

    // PLSession
    void dataReceived(const QByteArray &bytes) override;
    void headerReceived(const QString &line) override;
    void bodyReceived(const QByteArray &body) override;
    void onSocketDidConnectToHost(AsyncSocket *socket, const QString &host, quint16 port) override;
    void onSocketWillDisconnectWithError(AsyncSocket *socket, const std::optional<AsyncSocketError> &error) override;

    // One keepalive tick (the timer's action; public for tests).
    void receiveCheckTimer();

protected:
    // Fills the command tables and resets the login state.
    void initializeVariables();
    // Announces a counted body for the parser of `bodyType`.
    void announceBody(qint32 bodyType, const QVariantMap &headerInfo, qint64 length);
    // The words of a sign-in reply body: deciphered when "NE3", as it is when
    // "PLN"; no value for any other type or a failed deciphering.
    std::optional<QStringList> signInWords(const QByteArray &body) const;

private:
    void registerBuddyHandlers();
    void registerMessageHandlers();
    // The body parsers of the buddy and message handlers; false for a type
    // that is not theirs.
    bool processEventBody(qint32 bodyType, const QByteArray &body);
    void reportBuddyStatus(class PLRecvBuddyStatusPacket &status, const QString &packetType, const QString &langOS);
    void announceBatchBody(PLRecvPacket &packet, qint32 bodyType);
    void processIMSGLines(const QStringList &lines);
    void processINVTWords(const QStringList &words);
    void processREQCWords(const QStringList &words);
    void processMAILWords(const QStringList &words);
    void startMailTransfer(const QStringList &tokens, const QString &fileCookie);
    bool sendCTOCReply(const QString &text);
    bool sendCTOC(const QString &targetID, const QString &ackType, const QString &targetKey, const QString &text);
    QVariantMap alarmDetails(class PLRecvALRMPacket &alarm, bool unescapeURL);
    void stopKeepalive();
    // Sends LIST and moves to state 9.
    void requestBuddyList();
    bool sendBuddyBatch(const QString &command, const QVariantMap &info);
    // ADDB and RMVB name a buddy on one of the lists alike: the list's flag
    // and the buddy's CMN and ID, all three required.
    template <typename Packet>
    bool sendListedBuddy(const QVariantMap &info);

    PLDPSessionDelegate *mDelegate = nullptr;
    qint32 mBodyType = 0;
    QVariantMap mHeaderInfoForBody;
    bool mPasswordEncrypted = false;
    QString mUserID;
    QString mPassword;
    QString mLoginOTP;
    QString mEncryptKey;
    qint32 mDpState = Idle;
    bool mIsHiddenRetry = false;
    bool mIsAvailablePONG = false;
    bool mIsFileTransfer = false;
    quint32 mGroupCacheNoValue = 0;
    quint32 mConfCacheNoValue = 0;
    // The buddy lines' member number (LIST) and group (GLST), read once per
    // line for a lookup: kept between lines so that reading them allocates
    // nothing while the owner keeps no copy.
    QString mListLineCMN;
    QString mGroupLineGroupID;
    // The last buddy line's flags, shared by every buddy stored with the same.
    QString mListLineFlags;
    QByteArray mConfCacheValue;
    qint32 mPONGCountValue = 0;
    // A monotonic reading of each line's arrival: reading the wall clock, and making a
    // QDateTime of it, on every line of a sign-in cost more than the rest of
    // the line's bookkeeping. The wall time is derived when asked for.
    std::chrono::steady_clock::time_point mLastPacketReceivedMonotonic;
    // When the bytes being framed arrived: the lines they carry arrived then,
    // so one reading serves them all (a sign-in's list comes a few hundred
    // lines at a time).
    std::chrono::steady_clock::time_point mBytesReceivedMonotonic;
    QTimer *mTimer = nullptr;
    qint32 mTimerCountValue = 0;
    bool mLoggedOut = false;
};

} // namespace parley
