// Where received files go (the XDG desktop or download folder, made when
// missing), what the user and the sender learn when the file cannot be
// opened, and the peer-to-peer port when another program holds it.
#include "FileRelayServer.h"
#include "FileTransfer/PLDownloadFile.h"
#include "FileTransfer/PLP2PSessionManager.h"
#include "FileTransfer/PLSettingFileSaveQuestion.h"
#include "NotificationNames.h"
#include "TestSupport.h"
#include "TransferClient.h"
#include "UserDefaults.h"
#include "Utils/KCDownloadFolder.h"
#include "Utils/KCUtilities.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;
namespace nn = parley::notifications;

namespace {

// HOME and XDG_CONFIG_HOME in a fresh folder for the test's life.
class FreshHome
{
public:
    FreshHome() : mHome(qgetenv("HOME")), mConfig(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", mDir.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (mDir.path() + QStringLiteral("/.config")).toLocal8Bit());
    }
    ~FreshHome()
    {
        qputenv("HOME", mHome);
        qputenv("XDG_CONFIG_HOME", mConfig);
    }
    QString path(const QString &relative = {}) const
    {
        return relative.isEmpty() ? mDir.path() : mDir.path() + QLatin1Char('/') + relative;
    }
    // The user folders file as xdg-user-dirs writes it.
    void userDirs(const QString &desktop, const QString &download)
    {
        QDir().mkpath(path(QStringLiteral(".config")));
        QFile file(path(QStringLiteral(".config/user-dirs.dirs")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("XDG_DESKTOP_DIR=\"$HOME/%1\"\nXDG_DOWNLOAD_DIR=\"$HOME/%2\"\n")
                       .arg(desktop, download)
                       .toUtf8());
    }

private:
    QTemporaryDir mDir;
    QByteArray mHome;
    QByteArray mConfig;
};

TEST(ReceiveFolder, TheDefaultIsTheDesktopOfTheUserFoldersOrElseTheDownloads)
{
    FreshHome home;
    home.userDirs(QStringLiteral("바탕화면"), QStringLiteral("다운로드"));
    // No desktop folder (many homes have none): the download folder.
    EXPECT_EQ(KCDefaultDownloadFolder(), home.path(QStringLiteral("다운로드")));
    EXPECT_EQ(KCDefaultUserPreferences().value(QStringLiteral("destinationPath")).toString(),
              home.path(QStringLiteral("다운로드")));
    // A desktop named in the user's language is found.
    ASSERT_TRUE(QDir().mkpath(home.path(QStringLiteral("바탕화면"))));
    EXPECT_EQ(KCDefaultDownloadFolder(), home.path(QStringLiteral("바탕화면")));
    EXPECT_FALSE(KCDefaultDownloadFolder().endsWith(QLatin1String("/Desktop")));
}

TEST(ReceiveFolder, AMissingFolderIsMadeAndOneThatCannotBeSaysWhy)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("defaults.plist")));
    PLSettingFileSaveQuestion question(defaults);
    {
        PLDownloadFile file;
        const QString folder = dir.filePath(QStringLiteral("new/deeper"));
        ASSERT_EQ(file.open(folder, QStringLiteral("a.txt"), question), PLDownloadFile::Result::Ready);
        EXPECT_TRUE(QFileInfo(folder).isDir());
        EXPECT_TRUE(file.errorString().isEmpty());
        file.discard();
    }
    // Under a plain file no folder can be made.
    QFile blocker(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    PLDownloadFile file;
    const QString folder = dir.filePath(QStringLiteral("plain/sub"));
    EXPECT_EQ(file.open(folder, QStringLiteral("a.txt"), question), PLDownloadFile::Result::Failed);
    EXPECT_EQ(file.errorString(), KCLocalizedString(QStringLiteral("DownloadFolderError")).arg(folder));
}

class ReceiveFolderTransfer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(relay.listen(0, nullptr));
        alice.linkTo(bob, &relay);
        bob.linkTo(alice, &relay);
    }
    QString offer(const QString &name)
    {
        const QString source = makeFile(alice.folder.path(), name, 1000);
        EXPECT_TRUE(alice.files->uploadFiles({source}, bob.userID, QStringLiteral("room-1")));
        EXPECT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadRequestReceived); }));
        return events.userInfos.constLast().value(QLatin1String(nn::kKeyFileCookies)).toList().value(0).toString();
    }
    QVariantMap infoOf(const char *name, const QString &cookie) const
    {
        for (int i = 0; i < events.events.size(); ++i)
            if (events.events[i].first == QLatin1String(name) && events.events[i].second == cookie)
                return events.userInfos[i];
        return {};
    }

    localservice::FileRelayServer relay;
    TransferClient alice{QStringLiteral("alice@parley.test")};
    TransferClient bob{QStringLiteral("bob@parley.test")};
    TransferEvents events;
};

TEST_F(ReceiveFolderTransfer, AFileIsReceivedIntoAFolderThatWasMissing)
{
    const QString folder = bob.folder.filePath(QStringLiteral("Downloads"));
    bob.files->setDownloadPath(folder);
    const QString cookie = offer(QStringLiteral("data.bin"));
    ASSERT_TRUE(bob.files->acceptDownloadFor(cookie));
    ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadEndReceived, cookie); }, 20000));
    EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath(QStringLiteral("data.bin"))));
}

TEST_F(ReceiveFolderTransfer, AFileThatCannotBeOpenedSaysWhyAndTellsTheSender)
{
    QFile blocker(bob.folder.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString folder = bob.folder.filePath(QStringLiteral("plain/sub"));
    bob.files->setDownloadPath(folder);
    const QString cookie = offer(QStringLiteral("data.bin"));
    bob.files->acceptDownloadFor(cookie);
    ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadFailed, cookie); }));
    EXPECT_EQ(infoOf(nn::kFileDownloadFailed, cookie).value(QStringLiteral("reason")).toString(),
              KCLocalizedString(QStringLiteral("DownloadFolderError")).arg(folder));
    // The sender learns that the file will not arrive.
    ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileUploadRejected, cookie); }));
    EXPECT_EQ(bob.link->connectRequests, 0);
}

TEST(P2PListenPort, APortHeldByAnotherProgramIsNotAnnounced)
{
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
    const quint16 taken = other.serverPort();
    const auto listens = [](int port) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(port));
        return probe.waitForConnected(2000);
    };
    {
        PLP2PSessionManager p2p(taken);
        EXPECT_NE(p2p.p2pPortNo(), int(taken));
        EXPECT_GT(p2p.p2pPortNo(), 0);
        EXPECT_TRUE(listens(p2p.p2pPortNo())) << "the announced port is the one listened on";
    }
    {
        // The same when the user's setting names the taken port.
        PLP2PSessionManager p2p(0);
        EXPECT_TRUE(p2p.setP2pPortNo(taken));
        EXPECT_NE(p2p.p2pPortNo(), int(taken));
        EXPECT_TRUE(listens(p2p.p2pPortNo()));
    }
}

} // namespace
