#pragma once

// The bookkeeper of file transfers between the user and buddies: one record
// per offered file under its file cookie, the answers to offers (accept,
// refuse, cancel, mail instead), the queue of accepted downloads (at most
// five wait for their connection at once), the relay fallback when no peer
// connection arrives in time, and a notification for every step.
// The bytes move over PLP2PSession connections owned by PLP2PSessionManager.

#include "ChatManagement/PLChatFileTransferInterface.h"
#include "FileTransferInfo.h"
#include "Sessions/PLFileTransferManagerInterface.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantList>
#include <QVariantMap>
#include <memory>

namespace parley {

class PLChatSessionManager;
class PLCookieManager;
class PLFileSaveQuestion;
class PLP2PSessionManager;
class PLTransferChatLink;
class PLTransferSessionLink;

class PLFileTransferManager : public QObject,
                              public PLFileTransferManagerInterface,
                              public PLChatFileTransferInterface
{
    Q_OBJECT

public:
    // More than this many downloads waiting for their connection hold the rest back.
    static constexpr int kMaxConnecting = 5;
    // Largest file a mail can carry (2^31 - 8192).
    static constexpr qint64 kMaxMailFileSize = 2147475456;

    // The process's instance, tied to the shared cookie and peer-to-peer managers.
    static PLFileTransferManager &sharedManager();
    // Ties itself to the peer-to-peer manager (both ways).
    PLFileTransferManager(PLP2PSessionManager &p2p, PLCookieManager &cookies, QObject *parent = nullptr);
    ~PLFileTransferManager() override;

    // The account session, through which connection offers and relay
    // requests go (also for the peer-to-peer manager); nullptr forgets it.
    void setSession(PLParleySession *session) override;
    void setSession(PLTransferSessionLink *session);
    // The chat rooms, through which offers and answers go.
    void setChatSessionManager(PLChatSessionManager *chat);
    void setChatLink(PLTransferChatLink *chat) { mChat = chat; }
    // Who answers when a download's name is taken; the default answers from
    // the user's setting (PLSettingFileSaveQuestion).
    void setSaveQuestion(PLFileSaveQuestion *question) { mQuestion = question; }
    void setDownloadPath(const QString &path) { mDownloadPath = path; }
    const QString &downloadPath() const { return mDownloadPath; }
    // The relay fallback's clock: the tick length and how many ticks a
    // download waits in "connecting" before the relay is asked (10: at the
    // eleventh tick).
    void setTickInterval(int milliseconds);
    void setRelayDelayTicks(int ticks) { mRelayDelayTicks = ticks; }

    // Offers existing plain files to the buddy in the chat room.
    bool uploadFiles(const QStringList &paths, const QString &userID, const QString &chatSessionKey);
    bool acceptDownloadFor(const QString &fileCookie);
    bool rejectDownloadFor(const QString &fileCookie);
    bool cancelDownloadFor(const QString &fileCookie);
    bool cancelUploadFor(const QString &fileCookie);
    bool receiveMailFor(const QString &fileCookie);
    bool sendMailFor(const QString &fileCookie);
    bool checkMailForCookie(const QString &fileCookie) const;

    // From the chat rooms: {sessionKey, userID, dpKey, fileInfos: [{cookie, fileName, fileSize}]}.
    void downloadRequestReceived(const QVariantMap &request) override;
    // The buddy cancelled its offer, or refused ours.
    void downloadCancelled(const QString &fileCookie) override;
    void uploadRejected(const QString &fileCookie) override;

    // Lookups; an empty map, null string or -1 for an unknown cookie.
    QVariantMap fileInfoForCookie(const QString &fileCookie) override;
    QStringList fileCookies() const { return mOrder; }
    QString fileNameForCookie(const QString &fileCookie) const;
    qint64 fileSizeForCookie(const QString &fileCookie) const;
    QString targetIDForCookie(const QString &fileCookie) const;
    QString chatSessionKeyForCookie(const QString &fileCookie) const;
    QString p2pCookieForCookie(const QString &fileCookie) const;
    float transferPercentForCookie(const QString &fileCookie) const;
    QVariantList fileInfoArrayForSessionKey(const QString &sessionKey) const;
    bool removeFileInfoForCookie(const QString &fileCookie);
    bool isDoneForCookie(const QString &fileCookie) const;
    // Some record is carried by the connection with this P2P session key.
    bool isP2PSessionExist(const QString &p2pSessionKey) override;
    void dump() const;

    // For the peer-to-peer side.
    FileTransferInfo *entryForCookie(const QString &fileCookie) const;
    // The download of the cookie, taken out of the connecting list, when it
    // is there and comes from the user; nullptr otherwise.
    FileTransferInfo *takeConnectingDownload(const QString &fileCookie, const QString &userID);
    // Posts {fileCookie}; an end, cancel or failure also frees a slot.
    void postNotification(const QString &name, const QString &fileCookie, const QVariantMap &more = {});
    // A download stopped without completing; its partial file is removed.
    // `reason`: why, for the user's row (empty: none known).
    void downloadFailed(const QString &fileCookie, const QString &reason = {});

    const QStringList &waitingList() const { return mWaitingList; }
    const QStringList &connectingList() const { return mConnectingList; }
    int downloadCount() const { return mDownloadCount; }

    // One tick of the relay fallback's clock (the timer calls it).
    void timeTick();

private:
    bool beginNextTransferIfSlotEmpty();
    void registerToWaitingList(const QString &fileCookie);
    bool startTransfer(const QString &fileCookie);
    void leaveQueues(const QString &fileCookie);
    void closeFiles(FileTransferInfo &entry);
    QVariantMap shortInfo(const FileTransferInfo &entry) const;
    PLFileSaveQuestion &saveQuestion();

    PLP2PSessionManager &mP2P;
    PLCookieManager &mCookies;
    PLTransferSessionLink *mSession = nullptr;
    PLTransferChatLink *mChat = nullptr;
    PLFileSaveQuestion *mQuestion = nullptr;
    std::unique_ptr<PLFileSaveQuestion> mDefaultQuestion;
    std::unique_ptr<PLTransferSessionLink> mSessionAdapter;
    std::unique_ptr<PLTransferChatLink> mChatAdapter;
    QString mDownloadPath;
    QTimer mTimer;
    int mRelayDelayTicks = 10;
    QHash<QString, QStringList> mDownloadFileCookieDict;
    QHash<QString, std::shared_ptr<FileTransferInfo>> mFileInfoDict;
    QStringList mOrder;
    int mMaxDownload = 10;
    int mDownloadCount = 0;
    QStringList mWaitingList;
    QStringList mConnectingList;
};

} // namespace parley
