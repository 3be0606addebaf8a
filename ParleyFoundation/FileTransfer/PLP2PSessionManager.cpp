#include "PLP2PSessionManager.h"

#include "FileTransferInfo.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLFileTransferManager.h"
#include "PLP2PSession.h"
#include "PLTransferSessionLink.h"

#include <QNetworkInterface>
#include <QTimer>

#include <atomic>

namespace parley {

namespace nn = notifications;

namespace {
// After its END, the receiving side's connection is dropped this much later
// (the peer normally closes it first).
constexpr int kReceivedLingerMs = 1000;
} // namespace

namespace {
std::atomic<quint16> sDefaultListenPort{PLP2PSessionManager::kDefaultP2PPort};
std::atomic<bool> sDefaultListenPortExact{false};
} // namespace

void PLP2PSessionManager::setDefaultListenPort(quint16 port, bool exact)
{
    sDefaultListenPort = port;
    sDefaultListenPortExact = exact;
}

PLP2PSessionManager &PLP2PSessionManager::sharedManager()
{
    static PLP2PSessionManager instance(sDefaultListenPort);
    return instance;
}

PLP2PSessionManager::PLP2PSessionManager(quint16 listenPort, QObject *parent)
    : QObject(parent), mListenSocket(this)
{
    mClock.start();
    listen(listenPort);
}

PLP2PSessionManager::~PLP2PSessionManager()
{
    mListenSocket.setDelegate(nullptr);
    for (const QPointer<PLP2PSession> &session : std::as_const(mAllSessions)) {
        if (session) {
            session->setDelegate(nullptr);
            delete session.data();
        }
    }
}

bool PLP2PSessionManager::listen(quint16 port)
{
    // A port taken by another program is not ours to announce: the next few
    // are tried, then one the system picks; what is announced is the port
    // actually listened on.
    QList<quint16> candidates{port};
    if (port != 0 && !sDefaultListenPortExact) {
        for (int next = port + 1; next <= 0xFFFF && candidates.size() <= kNextPortsTried; ++next)
            candidates.append(quint16(next));
        candidates.append(0);
    }
    for (const quint16 candidate : std::as_const(candidates)) {
        AsyncSocketError error;
        if (mListenSocket.acceptOnPort(candidate, &error)) {
            mP2PPortNo = mListenSocket.localPort();
            if (mP2PPortNo != port && port != 0)
                plLog(QStringLiteral("the port %1 is in use; listening on %2").arg(port).arg(mP2PPortNo));
            return true;
        }
        plLog(QStringLiteral("Error starting server: %1").arg(error.description));
    }
    mP2PPortNo = port;
    return false;
}

bool PLP2PSessionManager::setP2pPortNo(int port)
{
    PL_GUARD_FLAG(port >= 0 && port <= 0xFFFF, false);
    if (mListenSocket.isConnected() || !mListenSocket.isDisconnected()) {
        if (port != 0 && port == mP2PPortNo)
            return true;
        mListenSocket.setDelegate(nullptr);
        mListenSocket.disconnect();
        mListenSocket.setDelegate(this);
    }
    return listen(quint16(port));
}

QString PLP2PSessionManager::myIP()
{
    if (!mMyIP.isEmpty())
        return mMyIP;
    for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address.toString();
    }
    return QStringLiteral("127.0.0.1");
}

int PLP2PSessionManager::liveSessionCount() const
{
    int count = 0;
    for (const QPointer<PLP2PSession> &session : mAllSessions)
        count += session ? 1 : 0;
    return count;
}

void PLP2PSessionManager::reset()
{
    mMyIP.clear();
    mUserIPDict.clear();
    mP2PCookieToFileCookieDict.clear();
    mP2PCookieToIsSenderDict.clear();
    mP2PCookieToIsConnected.clear();
    mSessionDict.clear();
    mListenSessions.clear();
    mConnectSessions.clear();
    mCarriers.clear();
    mSentOffers.clear();
    mAnsweredOffers.clear();
    mFollowedRelays.clear();
}

// Tables ----------------------------------------------------------------------

void PLP2PSessionManager::setFileCookie(const QString &fileCookie, const QString &p2pCookie)
{
    PL_GUARD_OBJECT(!fileCookie.isEmpty());
    PL_GUARD_OBJECT(!p2pCookie.isEmpty());
    mP2PCookieToFileCookieDict.insert(p2pCookie, fileCookie);
}

QString PLP2PSessionManager::fileCookieForP2PCookie(const QString &p2pCookie) const
{
    PL_GUARD_OBJECT(!p2pCookie.isEmpty(), QString());
    return mP2PCookieToFileCookieDict.value(p2pCookie);
}

void PLP2PSessionManager::setSender(bool isSender, const QString &p2pCookie)
{
    PL_GUARD_OBJECT(!p2pCookie.isEmpty());
    mP2PCookieToIsSenderDict.insert(p2pCookie, isSender);
}

QVariant PLP2PSessionManager::isSender(const QString &p2pCookie) const
{
    const auto it = mP2PCookieToIsSenderDict.constFind(p2pCookie);
    return it == mP2PCookieToIsSenderDict.cend() ? QVariant() : QVariant(*it);
}

void PLP2PSessionManager::connectOfferSent(const QString &p2pCookie, const QString &fileCookie, const QString &myID,
                                           const QString &peerID)
{
    PL_GUARD_OBJECT(!p2pCookie.isEmpty() && !fileCookie.isEmpty() && !myID.isEmpty() && !peerID.isEmpty());
    setFileCookie(fileCookie, p2pCookie);
    setSender(false, p2pCookie);
    mSentOffers.insert(p2pCookie, {peerID, myID, fileCookie});
}

void PLP2PSessionManager::setConnected(bool connected, const QString &p2pCookie)
{
    PL_GUARD_OBJECT(!p2pCookie.isEmpty());
    mP2PCookieToIsConnected.insert(p2pCookie, connected);
}

bool PLP2PSessionManager::isConnected(const QString &p2pCookie) const
{
    return mP2PCookieToIsConnected.value(p2pCookie, false);
}

void PLP2PSessionManager::setIP(const QString &ip, const QString &userID)
{
    PL_GUARD_OBJECT(!userID.isEmpty());
    mUserIPDict.insert(userID, ip);
}

QString PLP2PSessionManager::ipForUser(const QString &userID) const { return mUserIPDict.value(userID); }

PLP2PSession *PLP2PSessionManager::sessionForKey(const QString &key) const { return mSessionDict.value(key); }

// Records of offers and refusals ----------------------------------------------

bool PLP2PSessionManager::isConnectingDownload(const SentOffer &offer) const
{
    const FileTransferInfo *entry = mFiles ? mFiles->entryForCookie(offer.fileCookie) : nullptr;
    return entry && entry->isDownload && !entry->isDone && entry->targetID == offer.peerID
        && mFiles->connectingList().contains(offer.fileCookie);
}

QStringList PLP2PSessionManager::openUploadsTo(const QString &peerID) const
{
    QStringList open;
    if (!mFiles)
        return open;
    for (const QString &fileCookie : mFiles->fileCookies()) {
        const FileTransferInfo *entry = mFiles->entryForCookie(fileCookie);
        if (entry && !entry->isDownload && entry->targetID == peerID && !entry->isDone && !entry->isCancelled
            && !mCarriers.value(fileCookie))
            open.append(fileCookie);
    }
    return open;
}

bool PLP2PSessionManager::mayConnectOnRequest(const QString &subCmd, const QString &peerID, const QString &myID,
                                              const QString &p2pCookie)
{
    const QString key = peerID + QLatin1Char('-') + p2pCookie;
    if (subCmd == QLatin1String("NEW")) {
        // Each file offered to the peer and still waiting justifies one
        // connection; REQC NEW names no file, so count them.
        const QStringList open = openUploadsTo(peerID);
        QSet<QString> reserved;
        for (const AnsweredOffer &answered : std::as_const(mAnsweredOffers)) {
            if (answered.peerID == peerID && open.contains(answered.reservedFile))
                reserved.insert(answered.reservedFile);
        }
        if (mAnsweredOffers.contains(key) || reserved.size() >= open.size()) {
            plLog(QStringLiteral("REQC NEW from %1 ignored: no file of ours waits for it").arg(peerID));
            return false;
        }
        QString file;
        for (const QString &candidate : open) {
            if (!reserved.contains(candidate)) {
                file = candidate;
                break;
            }
        }
        mAnsweredOffers.insert(key, {peerID, myID, file});
        return true;
    }
    if (subCmd == QLatin1String("RES")) {
        auto it = mSentOffers.find(p2pCookie);
        if (it == mSentOffers.end() || it->peerID != peerID || it->myID != myID || it->followed
            || !isConnectingDownload(*it)) {
            plLog(QStringLiteral("REQC RES from %1 ignored: no offer of ours waits for it").arg(peerID));
            return false;
        }
        it->followed = true;
        return true;
    }
    if (subCmd == QLatin1String("FR")) {
        if (mFollowedRelays.contains(key) || openUploadsTo(peerID).isEmpty()) {
            plLog(QStringLiteral("REQC FR from %1 ignored: no file of ours waits for it").arg(peerID));
            return false;
        }
        mFollowedRelays.insert(key);
        return true;
    }
    plLog(QStringLiteral("REQC %1 from %2 ignored").arg(subCmd, peerID));
    return false;
}

PLP2PSessionManager::Side PLP2PSessionManager::sideForRequest(const QString &peerID, const QString &myID,
                                                              const QString &p2pCookie, bool *known) const
{
    *known = false;
    const auto sent = mSentOffers.constFind(p2pCookie);
    if (sent != mSentOffers.cend() && sent->peerID == peerID && sent->myID == myID) {
        *known = true;
        if (isConnectingDownload(*sent))
            return Side::Receiving;
    }
    const auto answered = mAnsweredOffers.constFind(peerID + QLatin1Char('-') + p2pCookie);
    if (answered != mAnsweredOffers.cend() && answered->myID == myID) {
        *known = true;
        if (!openUploadsTo(peerID).isEmpty())
            return Side::Sending;
    }
    return Side::None;
}

bool PLP2PSessionManager::isBlocked(const QString &address) const
{
    const auto it = mRefusals.constFind(address);
    return it != mRefusals.cend() && it->count >= kMaxRefusals && mClock.elapsed() - it->since < kRefusalWindowMs;
}

void PLP2PSessionManager::noteRefusal(const QString &address, const QString &why)
{
    const qint64 now = mClock.elapsed();
    if (mRefusals.size() > 1024 && !mRefusals.contains(address)) {
        for (auto it = mRefusals.begin(); it != mRefusals.end();)
            it = now - it->since >= kRefusalWindowMs ? mRefusals.erase(it) : std::next(it);
    }
    Refusals &refusals = mRefusals[address];
    if (refusals.count == 0 || now - refusals.since >= kRefusalWindowMs) {
        refusals.since = now;
        refusals.count = 0;
    }
    ++refusals.count;
    if (refusals.loggedAt < 0 || now - refusals.loggedAt >= kRefusalWindowMs) {
        refusals.loggedAt = now;
        plLog(QStringLiteral("peer connection from %1 refused: %2 (%3 refused in the last minute)")
                  .arg(address, why, QString::number(refusals.count)));
    }
}

void PLP2PSessionManager::refuseSession(PLP2PSession *session, const QString &why)
{
    noteRefusal(session->remoteAddress(), why);
    dropSession(session);
}

// Sessions --------------------------------------------------------------------

PLP2PSession *PLP2PSessionManager::adopt(PLP2PSession *session)
{
    session->setDelegate(this);
    session->setFileTransferManager(mFiles);
    mAllSessions.append(session);
    return session;
}

bool PLP2PSessionManager::createConnectSession(const QVariantMap &info)
{
    const QString p2pCookie = info.value(QStringLiteral("p2pCookie")).toString();
    const QString myID = info.value(QStringLiteral("myID")).toString();
    const QString buddyID = info.value(QStringLiteral("buddyID")).toString();
    const QString ip = info.value(QStringLiteral("ip")).toString();
    const int portNo = info.value(QStringLiteral("portNo")).toInt();
    PL_GUARD_OBJECT(!p2pCookie.isEmpty(), false);
    PL_GUARD_OBJECT(!myID.isEmpty(), false);
    PL_GUARD_OBJECT(!buddyID.isEmpty(), false);
    PL_GUARD_OBJECT(portNo > 0 && portNo <= 0xFFFF, false);
    PL_GUARD_OBJECT(!ip.isEmpty(), false);
    for (const QPointer<PLP2PSession> &pending : std::as_const(mConnectSessions)) {
        if (pending && pending->cookie() == p2pCookie) {
            plLog(QStringLiteral("exist"));
            return false;
        }
    }
    const QString subCmd = info.value(QStringLiteral("subCmd")).toString();
    if (!subCmd.isEmpty() && !mayConnectOnRequest(subCmd, buddyID, myID, p2pCookie))
        return false;
    auto *session = adopt(new PLP2PSession(ip, portNo, this));
    session->setFromID(myID);
    session->setTargetID(buddyID);
    session->setCookie(p2pCookie);
    session->setFRCookie(info.value(QStringLiteral("frCookie")).toString());
    session->setIsSender(info.value(QStringLiteral("isSender")).toBool());
    const QString fileCookie = info.value(QStringLiteral("fileCookie")).toString();
    if (!fileCookie.isEmpty()) {
        session->setFileCookie(fileCookie);
        // A relay connection's cookie is new: tie it to its download. It
        // was never offered in REQC NEW, so no accepted connection takes it.
        if (!session->isSender()) {
            setFileCookie(fileCookie, p2pCookie);
            setSender(false, p2pCookie);
        }
    }
    QPointer<PLP2PSession> guard(session);
    if (!session->connect() && guard) {
        dropSession(session);
        // Not answered after all: the offer is not this client's to honour.
        if (subCmd == QLatin1String("NEW"))
            mAnsweredOffers.remove(buddyID + QLatin1Char('-') + p2pCookie);
        return false;
    }
    return true;
}

void PLP2PSessionManager::onSocketDidAcceptNewSocket(AsyncSocket *, AsyncSocket *newSocket)
{
    auto *session = adopt(new PLP2PSession(newSocket, this));
    session->setIsListenMode(true);
    const QString address = session->remoteAddress();
    if (isBlocked(address)) {
        refuseSession(session, QStringLiteral("too many refused attempts"));
        return;
    }
    mListenSessions.append(session);
}

void PLP2PSessionManager::forget(PLP2PSession *session)
{
    mListenSessions.removeAll(session);
    mConnectSessions.removeAll(session);
    const QString key = session->sessionKey();
    if (mSessionDict.value(key) == session)
        mSessionDict.remove(key);
    for (auto it = mCarriers.begin(); it != mCarriers.end();) {
        if (it.value() == session || !it.value())
            it = mCarriers.erase(it);
        else
            ++it;
    }
}

void PLP2PSessionManager::dropSession(PLP2PSession *session)
{
    if (!session)
        return;
    forget(session);
    mAllSessions.removeAll(session);
    session->setDelegate(nullptr);
    session->disposeLater();
}

void PLP2PSessionManager::closeSessionForKey(const QString &key)
{
    PLP2PSession *session = mSessionDict.value(key);
    if (!session) {
        plLog(QStringLiteral("no session for key = %1").arg(key));
        return;
    }
    dropSession(session);
}

bool PLP2PSessionManager::cancelFileDownloadForCookie(const QString &fileCookie)
{
    PLP2PSession *session = mCarriers.value(fileCookie);
    if (!session)
        return false;
    session->cancelFileTransfer();
    return true;
}

// Session events --------------------------------------------------------------

void PLP2PSessionManager::p2pSessionConnected(PLP2PSession *session)
{
    if (!session->isListenMode() && !mConnectSessions.contains(session))
        mConnectSessions.append(session);
}

void PLP2PSessionManager::p2pSessionRelayAnnounced(PLP2PSession *, const QString &frCookie)
{
    if (mLink)
        mLink->requestFRConnectForFRCookie(frCookie);
}

void PLP2PSessionManager::p2pSessionP2PInfoReceived(PLP2PSession *session, const QVariantMap &info)
{
    PL_GUARD_OBJECT(session);
    // The side this client takes is ours to know, not the peer's to say.
    if (session->isListenMode()) {
        bool known = false;
        const Side side = sideForRequest(session->targetID(), session->fromID(), session->cookie(), &known);
        if (side == Side::None) {
            if (!known) {
                refuseSession(session, QStringLiteral("ATHC from %1 to %2 with P2P cookie %3")
                                           .arg(session->targetID(), session->fromID(), session->cookie()));
                return;
            }
            // The peer's second connection of a transfer another one carries.
            plLog(QStringLiteral("connection of %1 for %2 no longer needed").arg(session->targetID(), session->cookie()));
            dropSession(session);
            return;
        }
        session->setIsSender(side == Side::Sending);
    } else if (const QVariant sender = isSender(session->cookie()); sender.isValid()) {
        session->setIsSender(sender.toBool());
    }
    // The answer reports the completion (p2pSessionConnectCompleted).
    session->sendATHCOk(info);
}

void PLP2PSessionManager::p2pSessionConnectCompleted(PLP2PSession *session, const QVariantMap &info)
{
    PL_GUARD_OBJECT(session);
    PL_GUARD_OBJECT(!session->targetID().isEmpty());
    mListenSessions.removeAll(session);
    mConnectSessions.removeAll(session);
    const QString code = info.value(QStringLiteral("responseCode")).toString();
    if (info.contains(QStringLiteral("responseCode")) && code != QLatin1String("100")) {
        plLog(QStringLiteral("ATHC refused: %1").arg(code));
        dropSession(session);
        return;
    }
    if (session->isSender()) {
        // The uploading side waits for FILE ACCEPT; of several connections
        // of one cookie, the one that gets it carries the file.
        const QString key = session->sessionKey();
        if (!mSessionDict.value(key))
            mSessionDict.insert(key, session);
        return;
    }
    completeReceivingSession(session);
}

void PLP2PSessionManager::completeReceivingSession(PLP2PSession *session)
{
    const QString cookie = session->cookie();
    QString fileCookie = session->fileCookie();
    if (fileCookie.isEmpty())
        fileCookie = fileCookieForP2PCookie(cookie);
    if (fileCookie.isEmpty() || isConnected(cookie) || !mFiles) {
        // No download of ours, or a second connection of the cookie.
        dropSession(session);
        return;
    }
    FileTransferInfo *info = mFiles->takeConnectingDownload(fileCookie, session->targetID());
    if (!info) {
        dropSession(session);
        return;
    }
    const QString key = session->sessionKey();
    setConnected(true, cookie);
    session->setFileCookie(fileCookie);
    info->p2pSessionKey = key;
    info->status = QStringLiteral("transfering");
    mSessionDict.insert(key, session);
    mCarriers.insert(fileCookie, session);
    session->sendAcceptFileTransfer();
}

void PLP2PSessionManager::p2pSessionFileAcceptReceived(PLP2PSession *session, const QVariantMap &info)
{
    PL_GUARD_OBJECT(session);
    const QString fileCookie = info.value(QStringLiteral("cookie")).toString();
    FileTransferInfo *entry = mFiles ? mFiles->entryForCookie(fileCookie) : nullptr;
    if (!entry)
        plLog(QStringLiteral("fileInfo not found for cookie = %1").arg(fileCookie));
    // Only a file offered to this very peer, still to be sent and carried by
    // no other connection; a wrong guess closes the connection.
    if (!entry || !openUploadsTo(session->targetID()).contains(fileCookie)
        || !(entry->source && entry->source->isOpen())) {
        refuseSession(session, QStringLiteral("FILE ACCEPT from %1 for %2").arg(session->targetID(), fileCookie));
        return;
    }
    mCarriers.insert(fileCookie, session);
    const QString key = session->sessionKey();
    mSessionDict.insert(key, session);
    entry->p2pSessionKey = key;
    plLog(QStringLiteral("fileInfo = %1, %2").arg(entry->fileName, QString::number(entry->fileSize)));
    session->sendFileInfo({{QStringLiteral("fileName"), entry->fileName}, {QStringLiteral("fileSize"), entry->fileSize}});
}

void PLP2PSessionManager::p2pSessionFileInfoReceived(PLP2PSession *session, const QVariantMap &)
{
    PL_GUARD_OBJECT(session);
    PL_GUARD_OBJECT(!session->fileCookie().isEmpty());
    PL_GUARD_FLAG(mCarriers.value(session->fileCookie()) == session);
    session->sendFileStartWithPosition(0);
}

void PLP2PSessionManager::p2pSessionFileEndReceived(PLP2PSession *session, const QVariantMap &info)
{
    PL_GUARD_OBJECT(session);
    const QString fileCookie = info.value(QStringLiteral("fileCookie")).toString();
    FileTransferInfo *entry = mFiles ? mFiles->entryForCookie(fileCookie) : nullptr;
    PL_GUARD_OBJECT(entry);
    PL_GUARD_FLAG(mCarriers.value(fileCookie) == session && !entry->isDownload);
    // The peer confirms only what it has: every byte must have gone out.
    if (!entry->isDone)
        return;
    mFiles->postNotification(QLatin1String(nn::kFileUploadEnd), fileCookie);
}

void PLP2PSessionManager::p2pSessionFileReceiveCompleted(PLP2PSession *session, const QString &fileCookie)
{
    PL_GUARD_OBJECT(session);
    QPointer<PLP2PSession> guard(session);
    if (mFiles)
        mFiles->postNotification(QLatin1String(nn::kFileDownloadEndReceived), fileCookie);
    if (!guard)
        return;
    session->sendFileEnd();
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kFileReceiveCompleted), this,
                                             {{QLatin1String(nn::kKeyFileCookie), fileCookie}});
    QTimer::singleShot(kReceivedLingerMs, this, [this, guard] {
        if (guard)
            dropSession(guard);
    });
}

void PLP2PSessionManager::p2pSessionTransferFailed(PLP2PSession *session, const QString &fileCookie)
{
    PL_GUARD_OBJECT(session);
    if (mFiles && !fileCookie.isEmpty() && mCarriers.value(fileCookie) == session)
        mFiles->downloadFailed(fileCookie);
}

void PLP2PSessionManager::p2pSessionRefused(PLP2PSession *session, const QString &why)
{
    PL_GUARD_OBJECT(session);
    const QString fileCookie = session->fileCookie();
    const bool carried = !fileCookie.isEmpty() && mCarriers.value(fileCookie) == session;
    refuseSession(session, why);
    if (carried && mFiles)
        mFiles->downloadFailed(fileCookie);
}

void PLP2PSessionManager::p2pSessionDisconnected(PLP2PSession *session)
{
    PL_GUARD_OBJECT(session);
    const QString fileCookie = session->fileCookie();
    const bool carried = !fileCookie.isEmpty() && mCarriers.value(fileCookie) == session;
    forget(session);
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kP2PSessionClosed), this,
                                             {{QStringLiteral("sessionKey"), session->sessionKey()}});
    // A download whose connection ended early is reported, not left hanging.
    if (carried && mFiles)
        mFiles->downloadFailed(fileCookie);
    dropSession(session);
}

} // namespace parley
