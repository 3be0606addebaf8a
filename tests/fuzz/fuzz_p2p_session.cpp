// Arbitrary bytes from a peer into two peer-to-peer sessions: one receiving a
// file, and one the listener accepted on a client that offered the peer a
// file and answered its connection offer (ATHC, ACCEPT, START, END from a
// stranger or from the peer). Each input gets a fresh download and a fresh
// offer, which are cancelled (the partial file removed) afterwards.

#include "FileTransfer/PLCookieManager.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "FileTransfer/PLP2PSession.h"
#include "FileTransfer/PLP2PSessionManager.h"
#include "FileTransfer/PLSettingFileSaveQuestion.h"
#include "FileTransfer/PLTransferChatLink.h"
#include "FileTransfer/PLTransferSessionLink.h"
#include "Log.h"
#include "Net/AsyncSocket.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

using namespace parley;

namespace {

class QuietLink : public PLTransferSessionLink, public PLTransferChatLink
{
public:
    bool requestTransferFiles(const QVariantList &, const QString &, const QString &) override { return true; }
    bool acceptTransferFiles(const QVariantList &, const QString &, const QString &) override { return true; }
    bool rejectTransferFile(const QVariantMap &, const QString &, const QString &) override { return true; }
    bool cancelUploadFile(const QVariantMap &, const QString &, const QString &) override { return true; }
    bool requestP2PConnectToUser(const QString &, const QString &, const QString &) override { return true; }
    void requestFRInfo(const QString &, const QString &) override {}
    void requestFRConnectForFRCookie(const QString &) override {}
};

// Hands over each connection it accepts.
class Listener : public AsyncSocketDelegate
{
public:
    void onSocketDidAcceptNewSocket(AsyncSocket *, AsyncSocket *newSocket) override { accepted = newSocket; }
    AsyncSocket *accepted = nullptr;
};

const QString kAnsweredCookie = QStringLiteral("peer:1");

struct Harness
{
    Harness()
    {
        setLogSink([](const QString &) {});
        defaults = std::make_unique<UserDefaults>(QDir(folder.path()).filePath(QStringLiteral("d.plist")));
        question = std::make_unique<PLSettingFileSaveQuestion>(*defaults);
        p2p = std::make_unique<PLP2PSessionManager>(0);
        files = std::make_unique<PLFileTransferManager>(*p2p, cookies);
        files->setDownloadPath(folder.path());
        files->setSaveQuestion(question.get());
        files->setSession(&link);
        files->setChatLink(&link);
        source = QDir(folder.path()).filePath(QStringLiteral("offered.bin"));
        QFile file(source);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(20000, 'o'));
        file.close();
        listener.acceptOnPort(0);
        // The peer's connection offer, answered once: its connection goes
        // nowhere, the record stays.
        p2p->createConnectSession({{QStringLiteral("p2pCookie"), kAnsweredCookie},
                                   {QStringLiteral("myID"), QStringLiteral("me")},
                                   {QStringLiteral("buddyID"), QStringLiteral("peer")},
                                   {QStringLiteral("ip"), QStringLiteral("127.0.0.1")},
                                   {QStringLiteral("portNo"), 9},
                                   {QStringLiteral("isSender"), true},
                                   {QStringLiteral("subCmd"), QStringLiteral("NEW")}});
    }

    // A connection from a client socket, accepted; nullptr when none came.
    AsyncSocket *acceptOne(QTcpSocket &client)
    {
        accepts.accepted = nullptr;
        client.connectToHost(QStringLiteral("127.0.0.1"), listener.localPort());
        QElapsedTimer clock;
        clock.start();
        while (!accepts.accepted && clock.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return accepts.accepted;
    }

    int argc = 1;
    char name[5] = "fuzz";
    char *argv[1] = {name};
    QCoreApplication app{argc, argv};
    QTemporaryDir folder;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<PLSettingFileSaveQuestion> question;
    QuietLink link;
    PLCookieManager cookies;
    std::unique_ptr<PLP2PSessionManager> p2p;
    std::unique_ptr<PLFileTransferManager> files;
    int serial = 0;
    QString source;
    Listener accepts;
    AsyncSocket listener{&accepts};
};

void feedAcceptedSession(Harness *h, const uint8_t *data, size_t size)
{
    if (!h->files->uploadFiles({h->source}, QStringLiteral("peer"), QStringLiteral("room")))
        return;
    const QString fileCookie = h->files->fileCookies().last();
    QTcpSocket client;
    AsyncSocket *accepted = h->acceptOne(client);
    if (accepted) {
        QPointer<PLP2PSession> session = new PLP2PSession(accepted);
        session->setDelegate(h->p2p.get());
        session->setFileTransferManager(h->files.get());
        session->setIsListenMode(true);
        // A quarter as strangers, a quarter after the peer's own greeting,
        // half after its greeting and its acceptance of the file.
        QByteArray bytes;
        const uint8_t mode = size > 0 ? data[0] : 0;
        if (mode & 2)
            bytes += "ATHC 1 peer me " + kAnsweredCookie.toUtf8() + " 6004 0\r\n";
        if ((mode & 6) == 6)
            bytes += "FILE 2 ACCEPT " + fileCookie.toUtf8() + " 0\r\n";
        bytes += QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
        session->dataReceived(bytes);
        if (session) {
            session->setDelegate(nullptr);
            session->disposeLater();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    h->files->cancelUploadFor(fileCookie);
    h->files->removeFileInfoForCookie(fileCookie);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Harness *h = new Harness;
    const QString cookie = QStringLiteral("%1:9:123").arg(++h->serial);
    const QString p2pCookie = QStringLiteral("9:%1").arg(h->serial);
    h->files->downloadRequestReceived(
        {{QStringLiteral("sessionKey"), QStringLiteral("room")},
         {QStringLiteral("userID"), QStringLiteral("peer")},
         {QStringLiteral("dpKey"), QStringLiteral("dp")},
         {QStringLiteral("fileInfos"),
          QVariantList{QVariantMap{{QStringLiteral("cookie"), cookie},
                                   {QStringLiteral("fileName"), QStringLiteral("f.bin")},
                                   {QStringLiteral("fileSize"), 20000}}}}});
    h->files->acceptDownloadFor(cookie);
    h->p2p->connectOfferSent(p2pCookie, cookie, QStringLiteral("me"), QStringLiteral("peer"));

    auto *session = new PLP2PSession(QStringLiteral("127.0.0.1"), 9);
    session->setDelegate(h->p2p.get());
    session->setFileTransferManager(h->files.get());
    session->setIsSender(false);
    session->setTargetID(QStringLiteral("peer"));
    session->setCookie(p2pCookie);
    session->setFileCookie(cookie);
    // Half the inputs as they come; the other half after a valid start, so
    // that DATA bodies reach the file.
    if (size > 0 && (data[0] & 1))
        session->dataReceived(QByteArrayLiteral("FILE 1 INFO FILENAME 20000 CHAT 0\r\n"));
    session->dataReceived(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    session->setDelegate(nullptr);
    session->disposeLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    h->files->cancelDownloadFor(cookie);
    h->files->removeFileInfoForCookie(cookie);

    feedAcceptedSession(h, data, size);
    return 0;
}
