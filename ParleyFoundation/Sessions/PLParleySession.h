#pragma once

// The one object through which the shell acts on the signed-in account. It
// drives the sign-in from the login-dispatch server to a complete buddy list,
// turns every account operation into a command of the notification-server
// session and records each command that waits for a reply as a job under its
// tid, and turns every server event into a model update and a named
// notification. Its reactions to the sessions' reports are in
// PLParleySessionDelegation.cpp, its web queries and helpers in
// PLParleySessionPrivateMethods.cpp. Main thread only.

#include "PLDPLSessionDelegate.h"
#include "PLDPSessionDelegate.h"
#include "PLJobQueue.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace parley {

class PLDPLSession;
class PLDPSession;
class PLNote;

class PLParleySession : public QObject, public PLDPLSessionDelegate, public PLDPSessionDelegate
{
    Q_OBJECT

public:
    explicit PLParleySession(QObject *parent = nullptr);
    ~PLParleySession() override;

    // Login options: each a boolean, missing meaning false.
    static constexpr char kShowAsOffline[] = "loginOptionShowAsOffline";
    static constexpr char kPasswordEncrypted[] = "loginOptionPasswordEncrypted";
    static constexpr char kIsRetry[] = "loginOptionIsRetry";
    static constexpr char kAutoLogin[] = "loginOptionAutoLogin";

    // Fields.
    PLDPLSession *mDPLSession() const;
    PLDPSession *mDPSession() const;
    bool mIsShowAsOffline() const { return mIsShowAsOfflineValue; }
    bool mPasswordEncrypted() const { return mPasswordEncryptedValue; }
    const QString &mUserID() const { return mUserIDValue; }
    void setUserID(const QString &userID) { mUserIDValue = userID; }
    void setPassword(const QString &password) { mPasswordValue = password; }
    int mProxyMode() const { return mProxyModeValue; }
    const QVariantMap &mFRInfoDict() const { return mFRInfo; }
    const PLJobQueue &mJobQueue() const { return mJobs; }
    const QMap<QString, QStringList> &mInviteBuddyQueue() const { return mInviteBuddies; }
    bool isHiddenRetry() const { return mIsHiddenRetry; }
    void setIsHiddenRetry(bool flag) { mIsHiddenRetry = flag; }
    bool isAutoLogin() const { return mIsAutoLogin; }
    void setIsAutoLogin(bool flag) { mIsAutoLogin = flag; }

    // Life of a login.
    bool loginWithUserID(const QString &userID, const QString &password, const QVariantMap &options);
    bool stopLogin();
    bool logout(bool postNotification);
    bool isLoggedIn() const;
    // Whether a session that signed out is still writing its LOUT. A program
    // that ends after a sign-out waits for signOutFinished() first (bounded
    // by kSignOutWaitMs), or the LOUT never leaves.
    bool isSignOutInProgress() const { return !mSigningOut.isEmpty(); }
    static constexpr int kSignOutWaitMs = 2000;
    QString encryptedPassword() const;
    bool isAvailablePONG() const;
    void setIsAvailablePONG(bool flag);
    bool setProxyMode(int mode, const QString &serverIP, int portNo, const QString &userID,
                      const QString &password);

    // Account operations; each answers whether its command went out.
    bool sendLOPT();
    bool requestSessionList(const QString &target);
    bool sendKillSession(const QString &target, const QString &allKill);
    bool setOTP(const QString &otp);
    bool setCPRF(const QVariantMap &profile, qint32 *tid);
    qint32 setVelaInterlock(const QString &velaID, const QString &password);
    qint32 resetVelaInterlock();
    qint32 setOrchardInterlock(const QString &orchardID, const QString &password);
    qint32 resetOrchardInterlock();
    bool setMyStatus(qint32 status);
    bool setMyNickName(const QString &nickName);
    bool showBuddy(const QString &buddyID);
    bool blockBuddy(const QString &buddyID);
    bool unblockBuddy(const QString &buddyID);
    bool removeBuddyFlag(const QString &buddyID, const QString &flag);
    bool requestAddBuddy(const QString &buddyID, const QString &groupID, const QString &message);
    bool acceptAddBuddy(const QString &buddyID, const QString &buddyCMN, const QString &groupID);
    bool rejectAddBuddy(const QString &buddyID, const QString &buddyCMN);
    bool addGroup(const QString &groupName);
    bool removeGroup(const QString &groupID);
    bool renameGroup(const QString &groupID, const QString &name);
    // Entries {"buddyCMN", "buddyID", "fromGID"[, "targetGID"]}.
    bool removeBuddies(const QVariantList &items);
    bool copyBuddies(const QVariantList &items);
    bool moveBuddies(const QVariantList &items);
    bool requestSwitchBoardServerInfo();
    bool createNewChattingRoomWithBuddies(const QStringList &buddyIDs, QString *uuid);
    bool inviteBuddies(const QStringList &buddyIDs, const QString &sessionKey);
    bool sendNote(PLNote *note);
    bool getMemo(const QString &unused, const QString &cookie);
    bool requestRelMemo(bool read, const QString &cookie, qint32 lastSeq, qint32 reqCount, bool isSend);
    bool requestP2PConnectToUser(const QString &userID, const QString &dpKey, const QString &fileCookie);
    bool responseP2PConnectWithInfo(const QVariantMap &info);
    bool requestFRInfo(const QString &buddyID, const QString &fileCookie);
    bool requestFRConnect(const QVariantMap &offer);
    bool requestFRConnectForFRCookie(const QString &frCookie);

    // Web queries after sign-in (PLParleySessionDelegation.cpp).
    void getMailCount();
    void getMemoCount();
    void memoCountPost();

    // PLDPLSessionDelegate
    void dplSessionDpServerInfoReceived(PLDPLSession *session, const QVariantMap &info) override;
    void dplSessionRemoteConnected(PLDPLSession *session, const QVariantMap &info) override;
    // PLDPSessionDelegate: the sign-in chain and the account events.
    void dpSessionRemoteConnected(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionPublicKeyReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionSendSessionKeyResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionMyInfoReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionTokenReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionLoptReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionConfReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionNoBuddyInfoReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionLoginCompleted(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionServerTimeout(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionErrorCodeReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionTicketReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionPnakReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionChangeStatusResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionChangeNickNameResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionCprfResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionSsInfoReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionInvitedToChat(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionMessageReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionSendCMSGErrorReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionCalmReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionAlrmReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionKillReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionRequestP2PConnectReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionFrServerInfoReceived(PLDPSession *session, const QVariantMap &info) override;
    // The buddy list and groups.
    void dpSessionGroupLineReceived(PLDPSession *session, const PLGroupInfo &line) override;
    void dpSessionBuddyLineReceived(PLDPSession *session, const PLBuddyInfo &line) override;
    void dpSessionBuddyStatusChanged(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionBuddyNickNameChanged(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionBuddyFlagChanged(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionBuddyInfoUpdateNotificaionReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionAddGroupResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionRemoveGroupResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionRenameGroupResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionAcceptAddBuddyResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionRejectAddBuddyResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionRequestAddBuddyResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionRequestRemoveBuddyResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionRemoveBuddiesResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionCopyBuddiesResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionMoveBuddiesResultReceived(PLDPSession *session, const QVariantMap &info) override;
    void dpSessionUserRegistersMeToBuddyListNotificationReceived(PLDPSession *session,
                                                                 const QVariantMap &info) override;
    void dpSessionUserRemovesMeToBuddyListNotificationReceived(PLDPSession *session,
                                                               const QVariantMap &info) override;

Q_SIGNALS:
    // The last session that was writing its LOUT has flushed it and gone
    // (or the bounded wait has passed).
    void signOutFinished();

private:
    // PLParleySessionPrivateMethods.cpp
    void post(const char *name, const QVariantMap &userInfo = {});
    // Records a job under the session's newest tid, only when `sent`.
    void recordJob(const QVariantMap &job, bool sent);
    QVariantMap p2pConnectInfoWithUserID(const QString &userID);
    void downloadMainAccountInfo();
    void downloadGuestBookNewPostInfo();
    void mainAccountInfoDownloaded(const QString &reply);
    void guestBookNewPostDownloaded(const QString &reply);
    // Ends a login the server ended (KILL): the session is closed and dropped
    // and the job queue emptied, whatever state the session was in.
    void endKilledSession();
    void dropDPLSession();
    // Lets the session go. One whose line is still open signs out first, and
    // one that sent LOUT keeps its line until LOUT is written (bounded).
    void dropDPSession();
    void buddyListCompleted();
    // Hands the stored group list to dpSessionGroupLineReceived, line by line.
    void replayGroupCache(PLDPSession *session);
    void applyOwnPresence(const QString &letter);
    void applyBulkReply(const QVariantMap &info, const QString &expectedDesc, const char *infoKey);
    // Notification observers.
    void chatSessionENTRProcessed(const QVariantMap &userInfo);
    void endMailTransfer(const QVariantMap &userInfo);
    void requestMailTransfer(const QVariantMap &userInfo);
    void setFileTransfer(bool running);

    QPointer<PLDPLSession> mDPLSessionValue;
    QPointer<PLDPSession> mDPSessionValue;
    // Dropped sessions still writing their LOUT.
    QList<PLDPSession *> mSigningOut;
    bool mIsShowAsOfflineValue = false;
    bool mPasswordEncryptedValue = false;
    QString mUserIDValue;
    QString mPasswordValue;
    int mProxyModeValue = 0;
    QString mProxyServerIP;
    int mProxyServerPortNo = 0;
    QString mProxyServerUserID;
    QString mProxyServerPassword;
    QVariantMap mFRInfo;
    PLJobQueue mJobs;
    QMap<QString, QStringList> mInviteBuddies;
    bool mIsHiddenRetry = false;
    bool mIsAutoLogin = false;
    QList<quint64> mObservers;
};

} // namespace parley
