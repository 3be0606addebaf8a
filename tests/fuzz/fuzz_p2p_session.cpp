// Arbitrary bytes from a peer into a peer-to-peer session that is receiving a
// file: ATHC, FRIN and FILE lines, DATA bodies, and anything else. Each input
// gets a fresh download, which is cancelled (its file removed) afterwards.

#include "FileTransfer/PLCookieManager.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "FileTransfer/PLP2PSession.h"
#include "FileTransfer/PLP2PSessionManager.h"
#include "FileTransfer/PLSettingFileSaveQuestion.h"
#include "FileTransfer/PLTransferChatLink.h"
#include "FileTransfer/PLTransferSessionLink.h"
#include "Log.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
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
};

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
    h->p2p->setFileCookie(cookie, p2pCookie);
    h->p2p->setSender(false, p2pCookie);

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
    return 0;
}
