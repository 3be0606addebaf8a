#include "PLFileTransferManager.h"

#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLChatTransferLink.h"
#include "PLCookieManager.h"
#include "PLParleySessionTransferLink.h"
#include "PLP2PSessionManager.h"
#include "PLPeerFileName.h"
#include "PLSettingFileSaveQuestion.h"
#include "PLTransferChatLink.h"
#include "PLTransferSessionLink.h"
#include "UserDefaults.h"
#include "Utils/KCDownloadFolder.h"

#include <QDir>
#include <QFileInfo>

namespace parley {

namespace nn = notifications;

namespace {
const QString kFileCookie = QStringLiteral("fileCookie");
const QString kFileName = QStringLiteral("fileName");
const QString kFileSize = QStringLiteral("fileSize");
const QString kConnecting = QStringLiteral("connecting");
} // namespace

PLFileTransferManager &PLFileTransferManager::sharedManager()
{
    static PLFileTransferManager instance(PLP2PSessionManager::sharedManager(), PLCookieManager::sharedManager());
    return instance;
}

PLFileTransferManager::PLFileTransferManager(PLP2PSessionManager &p2p, PLCookieManager &cookies, QObject *parent)
    : QObject(parent), mP2P(p2p), mCookies(cookies), mDownloadPath(KCDefaultDownloadFolder())
{
    mP2P.setFileTransferManager(this);
    mTimer.setInterval(1000);
    QObject::connect(&mTimer, &QTimer::timeout, this, &PLFileTransferManager::timeTick);
    mTimer.start();
}

PLFileTransferManager::~PLFileTransferManager()
{
    if (mP2P.fileTransferManager() == this)
        mP2P.setFileTransferManager(nullptr);
}

void PLFileTransferManager::setSession(PLTransferSessionLink *session)
{
    mSession = session;
    mP2P.setSessionLink(session);
}

void PLFileTransferManager::setSession(PLParleySession *session)
{
    mSessionAdapter = session ? std::make_unique<PLParleySessionTransferLink>(*session) : nullptr;
    setSession(mSessionAdapter.get());
}

void PLFileTransferManager::setChatSessionManager(PLChatSessionManager *chat)
{
    mChatAdapter = chat ? std::make_unique<PLChatTransferLink>(*chat) : nullptr;
    mChat = mChatAdapter.get();
}

void PLFileTransferManager::setTickInterval(int milliseconds)
{
    mTimer.setInterval(qMax(1, milliseconds));
}

PLFileSaveQuestion &PLFileTransferManager::saveQuestion()
{
    if (mQuestion)
        return *mQuestion;
    if (!mDefaultQuestion)
        mDefaultQuestion = std::make_unique<PLSettingFileSaveQuestion>(UserDefaults::standardUserDefaults());
    return *mDefaultQuestion;
}

FileTransferInfo *PLFileTransferManager::entryForCookie(const QString &fileCookie) const
{
    return mFileInfoDict.value(fileCookie).get();
}

QVariantMap PLFileTransferManager::shortInfo(const FileTransferInfo &entry) const
{
    return {{kFileName, entry.fileName}, {kFileSize, entry.fileSize}, {kFileCookie, entry.fileCookie}};
}

// Offers ------------------------------------------------------------------------

bool PLFileTransferManager::uploadFiles(const QStringList &paths, const QString &userID, const QString &chatSessionKey)
{
    PL_GUARD_OBJECT(!paths.isEmpty(), false);
    PL_GUARD_OBJECT(!userID.isEmpty(), false);
    PL_GUARD_OBJECT(!chatSessionKey.isEmpty(), false);
    PL_GUARD_OBJECT(mChat, false);
    QVariantList files;
    QVariantList cookies;
    for (const QString &path : paths) {
        const QFileInfo info(path); // follows links
        if (!info.exists() || !info.isFile()) {
            plLogFalse(__FILE__, __LINE__);
            continue;
        }
        auto entry = std::make_shared<FileTransferInfo>();
        entry->source = std::make_unique<QFile>(info.absoluteFilePath());
        // Unbuffered: the sender reads whole chunks straight into its buffer.
        if (!entry->source->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            plLog(QStringLiteral("cannot read %1").arg(path));
            continue;
        }
        entry->fileCookie = mCookies.fileTransferCookie();
        entry->isDownload = false;
        entry->targetID = userID;
        entry->chatSessionKey = chatSessionKey;
        entry->fileName = info.fileName().normalized(QString::NormalizationForm_KC);
        entry->filePath = info.absoluteFilePath();
        entry->fileSize = info.size();
        files.append(QVariantMap{{QStringLiteral("filePath"), entry->filePath},
                                 {kFileSize, entry->fileSize},
                                 {kFileName, entry->fileName},
                                 {kFileCookie, entry->fileCookie}});
        cookies.append(entry->fileCookie);
        mOrder.append(entry->fileCookie);
        mFileInfoDict.insert(entry->fileCookie, std::move(entry));
    }
    PL_GUARD_FLAG(!files.isEmpty(), false);
    if (!mChat->requestTransferFiles(files, chatSessionKey, userID))
        return false;
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kFileUploadRequestSent), this,
                                             {{QLatin1String(nn::kKeyFileCookies), cookies}});
    return true;
}

void PLFileTransferManager::downloadRequestReceived(const QVariantMap &request)
{
    const QVariantList fileInfos = request.value(QStringLiteral("fileInfos")).toList();
    // A sender named with its device ("ID|key") is the buddy ID: login IDs
    // hold no "|".
    const QString userID = request.value(QStringLiteral("userID")).toString().section(QLatin1Char('|'), 0, 0);
    PL_GUARD_OBJECT(!userID.isEmpty());
    // The whole offer is checked first: one bad entry drops it all.
    for (const QVariant &item : fileInfos) {
        const QVariantMap file = item.toMap();
        PL_GUARD_OBJECT(!file.value(QStringLiteral("cookie")).toString().isEmpty());
        PL_GUARD_OBJECT(file.contains(kFileName));
        PL_GUARD_OBJECT(file.contains(kFileSize));
    }
    QVariantList cookies;
    for (const QVariant &item : fileInfos) {
        const QVariantMap file = item.toMap();
        const QString cookie = file.value(QStringLiteral("cookie")).toString();
        const QString name = file.value(kFileName).toString();
        bool sizeOK = false;
        const qint64 size = file.value(kFileSize).toLongLong(&sizeOK);
        if (!sizeOK || size < 0 || !PLPeerFileName::isAcceptable(name) || mFileInfoDict.contains(cookie)) {
            plLog(QStringLiteral("file offer refused: cookie %1").arg(cookie));
            continue;
        }
        auto entry = std::make_shared<FileTransferInfo>();
        entry->isDownload = true;
        entry->chatSessionKey = request.value(QStringLiteral("sessionKey")).toString();
        entry->targetID = userID;
        entry->fileCookie = cookie;
        entry->fileName = name;
        entry->fileSize = size;
        entry->isWaiting = true;
        entry->p2pCookie = mCookies.p2pCookie();
        entry->dpKey = request.value(QStringLiteral("dpKey")).toString();
        mOrder.append(cookie);
        mFileInfoDict.insert(cookie, std::move(entry));
        cookies.append(cookie);
    }
    PL_GUARD_FLAG(!cookies.isEmpty());
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kFileDownloadRequestReceived), this,
                                             {{QLatin1String(nn::kKeyFileCookies), cookies}});
}

// Answers -------------------------------------------------------------------------

bool PLFileTransferManager::acceptDownloadFor(const QString &fileCookie)
{
    PL_GUARD_OBJECT(mSession, false);
    PL_GUARD_OBJECT(mChat, false);
    FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, false);
    PL_GUARD_OBJECT(!entry->fileName.isEmpty() && !entry->chatSessionKey.isEmpty() && !entry->targetID.isEmpty(),
                    false);
    PL_GUARD_FLAG(entry->isDownload && entry->isWaiting && !entry->isDone, false);
    PL_GUARD_FLAG(!mWaitingList.contains(fileCookie) && !mConnectingList.contains(fileCookie), false);
    entry->isMail = false;
    registerToWaitingList(fileCookie);
    // A download refused while it started (its name was taken and the user
    // said no) has already been answered.
    entry = entryForCookie(fileCookie);
    if (!entry || entry->isDone)
        return false;
    return mChat->acceptTransferFiles({shortInfo(*entry)}, entry->chatSessionKey, entry->targetID);
}

bool PLFileTransferManager::rejectDownloadFor(const QString &fileCookie)
{
    FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, false);
    PL_GUARD_OBJECT(mChat, false);
    PL_GUARD_OBJECT(!entry->fileName.isEmpty() && !entry->chatSessionKey.isEmpty() && !entry->targetID.isEmpty(),
                    false);
    entry->isDone = true;
    entry->isWaiting = false;
    leaveQueues(fileCookie);
    closeFiles(*entry);
    const QVariantMap info = shortInfo(*entry);
    const bool sent = mChat->rejectTransferFile(info, entry->chatSessionKey, entry->targetID);
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kFileDownloadRejected), this, info);
    return sent;
}

bool PLFileTransferManager::cancelDownloadFor(const QString &fileCookie)
{
    FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, false);
    PL_GUARD_FLAG(entry->isDownload, false);
    const bool wasDone = entry->isDone;
    entry->isDone = true;
    entry->isCancelled = true;
    leaveQueues(fileCookie);
    if (!entry->p2pSessionKey.isEmpty() && mP2P.sessionForKey(entry->p2pSessionKey))
        mP2P.closeSessionForKey(entry->p2pSessionKey);
    closeFiles(*entry);
    if (!wasDone)
        postNotification(QLatin1String(nn::kFileDownloadCancelled), fileCookie);
    return true;
}

bool PLFileTransferManager::cancelUploadFor(const QString &fileCookie)
{
    FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, false);
    PL_GUARD_FLAG(!entry->isDownload, false);
    mP2P.cancelFileDownloadForCookie(fileCookie);
    if (!entry->p2pSessionKey.isEmpty() && mP2P.sessionForKey(entry->p2pSessionKey))
        mP2P.closeSessionForKey(entry->p2pSessionKey);
    PL_GUARD_OBJECT(entry->source && entry->source->isOpen(), false);
    entry->source->close();
    if (mChat)
        mChat->cancelUploadFile(shortInfo(*entry), entry->chatSessionKey, entry->targetID);
    entry->isDone = true;
    entry->isCancelled = true;
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kFileUploadCancelled), this,
                                             {{kFileCookie, fileCookie}});
    return true;
}

void PLFileTransferManager::downloadCancelled(const QString &fileCookie)
{
    FileTransferInfo *entry = entryForCookie(fileCookie);
    if (!entry || !entry->isDownload) {
        plLog(QStringLiteral("fileInfo not exist"));
        return;
    }
    if (entry->isDone)
        return;
    entry->isDone = true;
    entry->isCancelled = true;
    entry->isWaiting = false;
    leaveQueues(fileCookie);
    mP2P.cancelFileDownloadForCookie(fileCookie);
    if (!entry->p2pSessionKey.isEmpty() && mP2P.sessionForKey(entry->p2pSessionKey))
        mP2P.closeSessionForKey(entry->p2pSessionKey);
    closeFiles(*entry);
    postNotification(QLatin1String(nn::kFileDownloadCancelled), fileCookie);
}

void PLFileTransferManager::uploadRejected(const QString &fileCookie)
{
    FileTransferInfo *entry = entryForCookie(fileCookie);
    if (!entry || entry->isDownload || entry->isDone)
        return;
    closeFiles(*entry);
    entry->isDone = true;
    entry->isCancelled = true;
    postNotification(QLatin1String(nn::kFileUploadRejected), fileCookie);
}

void PLFileTransferManager::downloadFailed(const QString &fileCookie, const QString &reason)
{
    FileTransferInfo *entry = entryForCookie(fileCookie);
    if (!entry || !entry->isDownload || entry->isDone)
        return;
    entry->isDone = true;
    entry->isCancelled = true;
    entry->isWaiting = false;
    leaveQueues(fileCookie);
    closeFiles(*entry);
    postNotification(QLatin1String(nn::kFileDownloadFailed), fileCookie,
                     reason.isEmpty() ? QVariantMap() : QVariantMap{{QStringLiteral("reason"), reason}});
}

void PLFileTransferManager::closeFiles(FileTransferInfo &entry)
{
    if (entry.source)
        entry.source->close();
    if (entry.destination)
        entry.destination->discard();
}

void PLFileTransferManager::leaveQueues(const QString &fileCookie)
{
    mWaitingList.removeAll(fileCookie);
    mConnectingList.removeAll(fileCookie);
}

bool PLFileTransferManager::receiveMailFor(const QString &fileCookie)
{
    FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, false);
    entry->isMail = true;
    PL_GUARD_OBJECT(!entry->targetID.isEmpty(), false);
    if (entry->fileSize > 0 && entry->fileSize <= kMaxMailFileSize) {
        NotificationCenter::defaultCenter().post(QLatin1String(nn::kMailDownloadRequest), this,
                                                 {{QStringLiteral("targetID"), entry->targetID},
                                                  {kFileCookie, fileCookie},
                                                  {QStringLiteral("requestType"), QStringLiteral("FILE")}});
        return true;
    }
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kMailDownloadCancelled), this,
                                             {{kFileCookie, fileCookie}});
    return false;
}

bool PLFileTransferManager::sendMailFor(const QString &fileCookie)
{
    FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, false);
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kMailUploadRequest), this,
                                             {{QStringLiteral("targetID"), entry->targetID},
                                              {kFileCookie, fileCookie},
                                              {QStringLiteral("requestType"), QStringLiteral("SSO")}});
    return true;
}

bool PLFileTransferManager::checkMailForCookie(const QString &fileCookie) const
{
    const FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, false);
    return entry->isMail;
}

// Queue -----------------------------------------------------------------------------

void PLFileTransferManager::registerToWaitingList(const QString &fileCookie)
{
    mWaitingList.append(fileCookie);
    beginNextTransferIfSlotEmpty();
}

bool PLFileTransferManager::beginNextTransferIfSlotEmpty()
{
    if (mConnectingList.size() > kMaxConnecting - 1 || mWaitingList.isEmpty())
        return false;
    const QString fileCookie = mWaitingList.takeFirst();
    mConnectingList.append(fileCookie);
    ++mDownloadCount;
    startTransfer(fileCookie);
    return true;
}

bool PLFileTransferManager::startTransfer(const QString &fileCookie)
{
    FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, false);
    PL_GUARD_OBJECT(!entry->targetID.isEmpty(), false);
    auto destination = std::make_unique<PLDownloadFile>();
    bool renamed = false;
    switch (destination->open(mDownloadPath, entry->fileName, saveQuestion(), &renamed)) {
    case PLDownloadFile::Result::Ready: break;
    case PLDownloadFile::Result::Refused:
        rejectDownloadFor(fileCookie);
        return false;
    case PLDownloadFile::Result::Failed:
        plLog(QStringLiteral("make fileHandle error"));
        // The file will not arrive: the sender is told as for a refusal.
        if (mChat && !entry->chatSessionKey.isEmpty())
            mChat->rejectTransferFile(shortInfo(*entry), entry->chatSessionKey, entry->targetID);
        downloadFailed(fileCookie, destination->errorString());
        return false;
    }
    entry->filePath = destination->path();
    entry->destination = std::move(destination);
    if (renamed)
        NotificationCenter::defaultCenter().post(QLatin1String(nn::kRenameFileNotification), this,
                                                 {{kFileCookie, fileCookie}, {QStringLiteral("filePath"), entry->filePath}});
    if (!mSession || !mSession->requestP2PConnectToUser(entry->targetID, entry->dpKey, fileCookie)) {
        plLog(QStringLiteral("request P2P connect error"));
        downloadFailed(fileCookie);
        return false;
    }
    entry = entryForCookie(fileCookie);
    if (entry && !entry->isDone) {
        entry->status = kConnecting;
        entry->isWaiting = false;
    }
    return true;
}

FileTransferInfo *PLFileTransferManager::takeConnectingDownload(const QString &fileCookie, const QString &userID)
{
    FileTransferInfo *entry = entryForCookie(fileCookie);
    if (!entry || !entry->isDownload || entry->isDone || entry->targetID != userID
        || !mConnectingList.contains(fileCookie))
        return nullptr;
    mConnectingList.removeAll(fileCookie);
    return entry;
}

void PLFileTransferManager::timeTick()
{
    for (const QString &cookie : std::as_const(mOrder)) {
        FileTransferInfo *entry = entryForCookie(cookie);
        if (!entry || entry->fileRelay || !entry->isDownload || entry->isDone || entry->status != kConnecting)
            continue;
        if (++entry->age > mRelayDelayTicks) {
            entry->fileRelay = true;
            if (mSession)
                mSession->requestFRInfo(entry->targetID, cookie);
        }
    }
}

void PLFileTransferManager::postNotification(const QString &name, const QString &fileCookie, const QVariantMap &more)
{
    PL_GUARD_OBJECT(!fileCookie.isEmpty());
    if (name == QLatin1String(nn::kFileDownloadEndReceived) || name == QLatin1String(nn::kFileUploadEnd)
        || name == QLatin1String(nn::kFileDownloadCancelled) || name == QLatin1String(nn::kFileUploadCancelled)
        || name == QLatin1String(nn::kFileDownloadFailed)) {
        --mDownloadCount;
        beginNextTransferIfSlotEmpty();
    }
    QVariantMap info = more;
    info.insert(kFileCookie, fileCookie);
    NotificationCenter::defaultCenter().post(name, this, info);
}

// Lookups -----------------------------------------------------------------------------

QVariantMap PLFileTransferManager::fileInfoForCookie(const QString &fileCookie)
{
    const FileTransferInfo *entry = entryForCookie(fileCookie);
    return entry ? entry->toVariantMap() : QVariantMap();
}

QString PLFileTransferManager::fileNameForCookie(const QString &fileCookie) const
{
    const FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, QString());
    return entry->fileName;
}

qint64 PLFileTransferManager::fileSizeForCookie(const QString &fileCookie) const
{
    const FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, -1);
    return entry->fileSize;
}

QString PLFileTransferManager::targetIDForCookie(const QString &fileCookie) const
{
    const FileTransferInfo *entry = entryForCookie(fileCookie);
    return entry ? entry->targetID : QString();
}

QString PLFileTransferManager::chatSessionKeyForCookie(const QString &fileCookie) const
{
    const FileTransferInfo *entry = entryForCookie(fileCookie);
    return entry ? entry->chatSessionKey : QString();
}

QString PLFileTransferManager::p2pCookieForCookie(const QString &fileCookie) const
{
    const FileTransferInfo *entry = entryForCookie(fileCookie);
    return entry ? entry->p2pCookie : QString();
}

float PLFileTransferManager::transferPercentForCookie(const QString &fileCookie) const
{
    const FileTransferInfo *entry = entryForCookie(fileCookie);
    return entry ? entry->transPercent : 0.0f;
}

QVariantList PLFileTransferManager::fileInfoArrayForSessionKey(const QString &sessionKey) const
{
    QVariantList list;
    for (const QString &cookie : mOrder) {
        const FileTransferInfo *entry = entryForCookie(cookie);
        if (entry && entry->chatSessionKey == sessionKey)
            list.append(entry->toVariantMap());
    }
    return list;
}

bool PLFileTransferManager::removeFileInfoForCookie(const QString &fileCookie)
{
    auto it = mFileInfoDict.find(fileCookie);
    if (it == mFileInfoDict.end())
        return false;
    // A running transfer keeps its record.
    PL_GUARD_FLAG(it.value()->isDone || it.value()->isWaiting, false);
    closeFiles(*it.value());
    leaveQueues(fileCookie);
    mFileInfoDict.erase(it);
    mOrder.removeAll(fileCookie);
    return true;
}

bool PLFileTransferManager::isDoneForCookie(const QString &fileCookie) const
{
    const FileTransferInfo *entry = entryForCookie(fileCookie);
    PL_GUARD_OBJECT(entry, false);
    return entry->isDone;
}

bool PLFileTransferManager::isP2PSessionExist(const QString &p2pSessionKey)
{
    for (const auto &entry : mFileInfoDict) {
        if (entry->p2pSessionKey == p2pSessionKey)
            return true;
    }
    return false;
}

void PLFileTransferManager::dump() const
{
    plLog(QStringLiteral("==== TransFileInfoManager ===="));
    plLog(QStringLiteral("item count = %1").arg(mOrder.size()));
    plLog(QStringLiteral("------------------------------"));
    for (const QString &cookie : mOrder) {
        const FileTransferInfo *entry = entryForCookie(cookie);
        plLog(QStringLiteral("%1, %2, %3").arg(entry->fileName, entry->p2pCookie, entry->fileCookie));
    }
    plLog(QStringLiteral("=============================="));
}

} // namespace parley
