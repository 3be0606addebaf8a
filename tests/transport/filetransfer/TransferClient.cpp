#include "TransferClient.h"

#include "FileRelayServer.h"
#include "NotificationNames.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QThread>
#include <QTimer>

namespace parley::test {

namespace nn = notifications;

namespace {
const QString kLoopback = QStringLiteral("127.0.0.1");
} // namespace

void TransferLink::later(std::function<void()> fn) { QTimer::singleShot(0, &mContext, std::move(fn)); }

void TransferLink::laterOn(TransferClient *target, std::function<void()> fn)
{
    if (target->context.thread() == mContext.thread()) {
        later(std::move(fn));
        return;
    }
    QMetaObject::invokeMethod(&target->context, std::move(fn), Qt::QueuedConnection);
}

QString TransferLink::issueRelayCookie()
{
    if (mRelay->thread() == QThread::currentThread())
        return mRelay->issueCookie();
    QString cookie;
    QMetaObject::invokeMethod(mRelay, [&] { cookie = mRelay->issueCookie(); }, Qt::BlockingQueuedConnection);
    return cookie;
}

int TransferLink::relayPort()
{
    if (mRelay->thread() == QThread::currentThread())
        return mRelay->port();
    int port = 0;
    QMetaObject::invokeMethod(mRelay, [&] { port = mRelay->port(); }, Qt::BlockingQueuedConnection);
    return port;
}

bool TransferLink::requestTransferFiles(const QVariantList &files, const QString &sessionKey, const QString &)
{
    QVariantList infos;
    for (const QVariant &item : files) {
        const QVariantMap file = item.toMap();
        infos.append(QVariantMap{{QStringLiteral("cookie"), file.value(QStringLiteral("fileCookie"))},
                                 {QStringLiteral("fileName"), file.value(QStringLiteral("fileName"))},
                                 {QStringLiteral("fileSize"), file.value(QStringLiteral("fileSize"))}});
    }
    const QVariantMap offer{{QStringLiteral("sessionKey"), sessionKey},
                            {QStringLiteral("userID"), mSelf.userID},
                            {QStringLiteral("dpKey"), QStringLiteral("dp-") + mSelf.userID},
                            {QStringLiteral("fileInfos"), infos}};
    TransferClient *peer = &mPeer;
    laterOn(peer, [peer, offer] { peer->files->downloadRequestReceived(offer); });
    return true;
}

bool TransferLink::acceptTransferFiles(const QVariantList &, const QString &, const QString &)
{
    ++accepts;
    return true;
}

bool TransferLink::rejectTransferFile(const QVariantMap &file, const QString &, const QString &)
{
    TransferClient *peer = &mPeer;
    const QString cookie = file.value(QStringLiteral("fileCookie")).toString();
    laterOn(peer, [peer, cookie] { peer->files->uploadRejected(cookie); });
    return true;
}

bool TransferLink::cancelUploadFile(const QVariantMap &file, const QString &, const QString &)
{
    TransferClient *peer = &mPeer;
    const QString cookie = file.value(QStringLiteral("fileCookie")).toString();
    laterOn(peer, [peer, cookie] { peer->files->downloadCancelled(cookie); });
    return true;
}

bool TransferLink::requestP2PConnectToUser(const QString &userID, const QString &, const QString &fileCookie)
{
    ++connectRequests;
    const QString p2pCookie = mSelf.cookies.p2pCookie();
    mSelf.p2p->connectOfferSent(p2pCookie, fileCookie, mSelf.userID, userID);
    TransferClient *self = &mSelf;
    TransferClient *peer = &mPeer;
    const int myPort = mSelf.advertisedPort();
    // REQC NEW: the uploader connects to us and answers with its own address.
    TransferLink *link = this;
    laterOn(peer, [link, self, peer, userID, p2pCookie, myPort] {
        if (!peer->p2p->createConnectSession({{QStringLiteral("p2pCookie"), p2pCookie},
                                              {QStringLiteral("myID"), peer->userID},
                                              {QStringLiteral("buddyID"), self->userID},
                                              {QStringLiteral("ip"), kLoopback},
                                              {QStringLiteral("portNo"), myPort},
                                              {QStringLiteral("isSender"), true},
                                              {QStringLiteral("subCmd"), QStringLiteral("NEW")}}))
            return;
        const int peerPort = peer->advertisedPort();
        // REQC RES
        link->laterOn(self, [self, userID, p2pCookie, peerPort] {
            if (self->files->isP2PSessionExist(userID + QLatin1Char('-') + p2pCookie))
                return;
            self->p2p->createConnectSession({{QStringLiteral("p2pCookie"), p2pCookie},
                                             {QStringLiteral("myID"), self->userID},
                                             {QStringLiteral("buddyID"), userID},
                                             {QStringLiteral("ip"), kLoopback},
                                             {QStringLiteral("portNo"), peerPort},
                                             {QStringLiteral("isSender"), false},
                                             {QStringLiteral("subCmd"), QStringLiteral("RES")}});
        });
    });
    return true;
}

void TransferLink::requestFRInfo(const QString &userID, const QString &fileCookie)
{
    ++relayRequests;
    if (!mRelay)
        return;
    // REFR answered: the relay's address and a relay cookie.
    const QString frCookie = issueRelayCookie();
    const QString p2pCookie = mSelf.cookies.p2pCookie();
    mRelayP2PCookies.insert(frCookie, p2pCookie);
    TransferClient *self = &mSelf;
    const int relayPort = this->relayPort();
    laterOn(self, [self, userID, fileCookie, frCookie, p2pCookie, relayPort] {
        self->p2p->createConnectSession({{QStringLiteral("p2pCookie"), p2pCookie},
                                         {QStringLiteral("myID"), self->userID},
                                         {QStringLiteral("buddyID"), userID},
                                         {QStringLiteral("ip"), kLoopback},
                                         {QStringLiteral("portNo"), relayPort},
                                         {QStringLiteral("isSender"), false},
                                         {QStringLiteral("frCookie"), frCookie},
                                         {QStringLiteral("fileCookie"), fileCookie}});
    });
}

void TransferLink::requestFRConnectForFRCookie(const QString &frCookie)
{
    const QString p2pCookie = mRelayP2PCookies.take(frCookie);
    if (p2pCookie.isEmpty() || !mRelay)
        return;
    TransferClient *self = &mSelf;
    TransferClient *peer = &mPeer;
    const int relayPort = this->relayPort();
    // REQC FR
    laterOn(peer, [self, peer, frCookie, p2pCookie, relayPort] {
        peer->p2p->createConnectSession({{QStringLiteral("p2pCookie"), p2pCookie},
                                         {QStringLiteral("myID"), peer->userID},
                                         {QStringLiteral("buddyID"), self->userID},
                                         {QStringLiteral("ip"), kLoopback},
                                         {QStringLiteral("portNo"), relayPort},
                                         {QStringLiteral("isSender"), true},
                                         {QStringLiteral("frCookie"), frCookie},
                                         {QStringLiteral("subCmd"), QStringLiteral("FR")}});
    });
}

TransferClient::TransferClient(const QString &id) : userID(id)
{
    defaults = std::make_unique<UserDefaults>(QDir(folder.path()).filePath(QStringLiteral(".defaults.plist")));
    question = std::make_unique<PLSettingFileSaveQuestion>(*defaults);
    cookies.setCMN(QString::number(qHash(id) % 100000));
    p2p = std::make_unique<PLP2PSessionManager>(0);
    p2p->setMyIP(kLoopback);
    files = std::make_unique<PLFileTransferManager>(*p2p, cookies);
    files->setDownloadPath(QDir(folder.path()).filePath(QStringLiteral("downloads")));
    QDir(folder.path()).mkpath(QStringLiteral("downloads"));
    files->setSaveQuestion(question.get());
    // No relay unless a test asks for it.
    files->setRelayDelayTicks(1000000);
}

TransferClient::~TransferClient()
{
    files.reset();
    p2p.reset();
}

void TransferClient::linkTo(TransferClient &peer, localservice::FileRelayServer *relay)
{
    link = std::make_unique<TransferLink>(*this, peer, relay);
    files->setSession(link.get());
    files->setChatLink(link.get());
    p2p->setSessionLink(link.get());
}

void TransferClient::advertiseRefusedPort() { refusedPort = refusedLoopbackPort(); }

int TransferClient::advertisedPort() const { return refusedPort ? refusedPort : p2p->p2pPortNo(); }

void TransferClient::setExistingFileAnswer(const QString &answer)
{
    defaults->setString(answer, QLatin1String(PLSettingFileSaveQuestion::kSettingKey));
}

TransferEvents::TransferEvents()
{
    const char *names[] = {nn::kFileUploadRequestSent,   nn::kFileDownloadRequestReceived, nn::kFileDownloadRejected,
                           nn::kFileUploadRejected,      nn::kFileDownloadCancelled,       nn::kFileUploadCancelled,
                           nn::kFileUploadPartSent,      nn::kFileDownloadPartReceived,    nn::kFileDownloadEndReceived,
                           nn::kFileUploadEnd,           nn::kFileDownloadFailed,          nn::kFileUploadFailed,
                           nn::kRenameFileNotification,  nn::kFileReceiveCompleted,        nn::kFileUploadStart,
                           nn::kMailUploadStart,         nn::kMailUploadEnd,               nn::kMailUploadFailed,
                           nn::kMailUploadCancelled,     nn::kUploadFileCookieNotification};
    for (const char *name : names) {
        mTokens.append(NotificationCenter::defaultCenter().addObserver(
            QLatin1String(name), nullptr, [this](const Notification &n) {
                events.append({n.name, n.userInfo.value(QStringLiteral("fileCookie")).toString()});
                userInfos.append(n.userInfo);
            }));
    }
}

TransferEvents::~TransferEvents()
{
    for (NotificationCenter::Token token : mTokens)
        NotificationCenter::defaultCenter().removeObserver(token);
}

int TransferEvents::count(const char *name, const QString &fileCookie) const
{
    int n = 0;
    for (const auto &[eventName, cookie] : events)
        n += eventName == QLatin1String(name) && (fileCookie.isNull() || cookie == fileCookie) ? 1 : 0;
    return n;
}

int refusedLoopbackPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const int port = server.serverPort();
    server.close();
    return port;
}

QByteArray sha256OfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

QString makeFile(const QString &folder, const QString &name, qint64 size)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QRandomGenerator generator(quint32(size) ^ 0x5eed);
    QByteArray block(64 * 1024, Qt::Uninitialized);
    for (qint64 written = 0; written < size;) {
        for (qsizetype i = 0; i < block.size(); i += 4) {
            const quint32 v = generator.generate();
            memcpy(block.data() + i, &v, 4);
        }
        const qint64 n = qMin<qint64>(block.size(), size - written);
        file.write(block.constData(), n);
        written += n;
    }
    return path;
}

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace parley::test
