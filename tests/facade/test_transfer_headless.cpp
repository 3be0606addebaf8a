// Files between two parley-headless clients, offered in a chat room, against
// the in-process local service: directly, and through the service's relay
// (REFR) when no direct connection comes up.
#include "FacadeFixture.h"
#include "HeadlessPeer.h"
#include "NotificationNames.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

using namespace facade::test;
namespace nn = parley::notifications;

namespace {

constexpr int kTimeoutMs = 30000;

QByteArray sha256(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

QString makeFile(const QString &folder, const QString &name, qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator{quint32(size)};
    for (char &c : bytes)
        c = char(generator.generate());
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

std::function<bool(const QVariantMap &)> with(const char *key, const QVariant &value)
{
    return [key, value](const QVariantMap &info) { return info.value(QString::fromLatin1(key)) == value; };
}

// Takes connections and closes them at once: a port on which every direct
// connection fails.
class ClosingServer : public QTcpServer
{
public:
    ClosingServer()
    {
        listen(QHostAddress::Any, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                socket->abort();
                socket->deleteLater();
            }
        });
    }
};

class TransferHeadlessTest : public FacadeTest
{
protected:
    // Bob opens a room with carol; answers its key once carol is in.
    QString openRoom(HeadlessPeer &bob, HeadlessPeer &carol)
    {
        bob.command(QStringLiteral("chat carol@parley.test"));
        const auto created = bob.waitFor(nn::kChatSessionCreated);
        if (!created)
            return QString();
        const QString key = created->value(QStringLiteral("sessionKey")).toString();
        if (!carol.waitFor(nn::kInvitedToChat, with("key", key))
            || !bob.waitFor(nn::kChatSessionUserJoin, with("velaID", QStringLiteral("carol@parley.test"))))
            return QString();
        return key;
    }

    // Offers the files and has carol accept each; answers the cookies.
    QStringList offerAndAccept(HeadlessPeer &bob, HeadlessPeer &carol, const QString &key, const QStringList &paths)
    {
        QString line = QStringLiteral("file-offer %1 carol@parley.test").arg(key);
        for (const QString &path : paths)
            line += QStringLiteral(" \"%1\"").arg(path);
        bob.command(line);
        const auto offered = carol.waitFor(nn::kFileDownloadRequestReceived);
        if (!offered)
            return {};
        QStringList cookies;
        for (const QVariant &cookie : offered->value(QStringLiteral("fileCookies")).toList()) {
            cookies.append(cookie.toString());
            carol.command(QStringLiteral("file-accept \"%1\"").arg(cookie.toString()));
        }
        return cookies;
    }

    QTemporaryDir bobFolder;
    QTemporaryDir carolFolder;
};

TEST_F(TransferHeadlessTest, FilesArriveDirectly)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"));
    HeadlessPeer carol(mService->dispatchPort(), QStringLiteral("carol@parley.test"), QStringLiteral("carol-pw"),
                       {QStringLiteral("--download-folder"), carolFolder.path()});
    ASSERT_TRUE(bob.waitFor(nn::kLoginCompleted));
    ASSERT_TRUE(carol.waitFor(nn::kLoginCompleted));
    const QString key = openRoom(bob, carol);
    ASSERT_FALSE(key.isEmpty());

    const QStringList paths{makeFile(bobFolder.path(), QStringLiteral("one.bin"), 1),
                            makeFile(bobFolder.path(), QStringLiteral("three chunks.bin"), 3 * 8191),
                            makeFile(bobFolder.path(), QStringLiteral("big.bin"), 3 * 1024 * 1024 + 7)};
    const QStringList cookies = offerAndAccept(bob, carol, key, paths);
    ASSERT_EQ(cookies.size(), 3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(carol.waitFor(nn::kFileDownloadEndReceived, with("fileCookie", cookies[i]), kTimeoutMs));
        ASSERT_TRUE(bob.waitFor(nn::kFileUploadEnd, with("fileCookie", cookies[i]), kTimeoutMs));
        EXPECT_EQ(sha256(QDir(carolFolder.path()).filePath(QFileInfo(paths[i]).fileName())), sha256(paths[i]));
    }
}

TEST_F(TransferHeadlessTest, FileArrivesThroughTheRelayWhenNoDirectConnectionComesUp)
{
    ASSERT_TRUE(startAndSignIn());
    // Each client listens on a port of its own that the other cannot reach:
    // both are told a port on which connections are closed at once.
    ClosingServer closing;
    const QString blocked = QString::number(closing.serverPort());
    HeadlessPeer bob(mService->dispatchPort(), QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"),
                     {QStringLiteral("--p2p-fixed-port"), blocked});
    HeadlessPeer carol(mService->dispatchPort(), QStringLiteral("carol@parley.test"), QStringLiteral("carol-pw"),
                       {QStringLiteral("--p2p-fixed-port"), blocked, QStringLiteral("--download-folder"), carolFolder.path(),
                        QStringLiteral("--relay-after"), QStringLiteral("0.2")});
    ASSERT_TRUE(bob.waitFor(nn::kLoginCompleted));
    ASSERT_TRUE(carol.waitFor(nn::kLoginCompleted));
    const QString key = openRoom(bob, carol);
    ASSERT_FALSE(key.isEmpty());

    const QString path = makeFile(bobFolder.path(), QStringLiteral("relayed.bin"), 2 * 8191 + 5);
    const QStringList cookies = offerAndAccept(bob, carol, key, {path});
    ASSERT_EQ(cookies.size(), 1);
    ASSERT_TRUE(carol.waitFor(nn::kFileDownloadEndReceived, with("fileCookie", cookies[0]), kTimeoutMs));
    ASSERT_TRUE(bob.waitFor(nn::kFileUploadEnd, with("fileCookie", cookies[0]), kTimeoutMs));
    EXPECT_EQ(sha256(QDir(carolFolder.path()).filePath(QStringLiteral("relayed.bin"))), sha256(path));
    EXPECT_EQ(mService->fileRelayJoins(), 1);
}

TEST_F(TransferHeadlessTest, RefusedOfferIsReported)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"));
    HeadlessPeer carol(mService->dispatchPort(), QStringLiteral("carol@parley.test"), QStringLiteral("carol-pw"),
                       {QStringLiteral("--download-folder"), carolFolder.path()});
    ASSERT_TRUE(bob.waitFor(nn::kLoginCompleted));
    ASSERT_TRUE(carol.waitFor(nn::kLoginCompleted));
    const QString key = openRoom(bob, carol);
    ASSERT_FALSE(key.isEmpty());
    bob.command(QStringLiteral("file-offer %1 carol@parley.test \"%2\"")
                    .arg(key, makeFile(bobFolder.path(), QStringLiteral("no.bin"), 10)));
    const auto offered = carol.waitFor(nn::kFileDownloadRequestReceived);
    ASSERT_TRUE(offered);
    const QString cookie = offered->value(QStringLiteral("fileCookies")).toList().value(0).toString();
    carol.command(QStringLiteral("file-refuse \"%1\"").arg(cookie));
    ASSERT_TRUE(carol.waitFor(nn::kFileDownloadRejected, with("fileCookie", cookie)));
    EXPECT_TRUE(bob.waitFor(nn::kFileUploadRejected, with("fileCookie", cookie)));
    EXPECT_TRUE(QDir(carolFolder.path()).isEmpty());
}

// A stranger who never signs in, knows the offered file's cookie and connects
// to the uploader's peer port gets nothing, whatever it claims; the buddy's
// own transfer then completes.
TEST_F(TransferHeadlessTest, AStrangerGetsNothingAndTheBuddysTransferCompletes)
{
    ASSERT_TRUE(startAndSignIn());
    int bobPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        bobPort = probe.serverPort();
    }
    HeadlessPeer bob(mService->dispatchPort(), QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"),
                     {QStringLiteral("--p2p-port"), QString::number(bobPort)});
    HeadlessPeer carol(mService->dispatchPort(), QStringLiteral("carol@parley.test"), QStringLiteral("carol-pw"),
                       {QStringLiteral("--download-folder"), carolFolder.path()});
    ASSERT_TRUE(bob.waitFor(nn::kLoginCompleted));
    ASSERT_TRUE(carol.waitFor(nn::kLoginCompleted));
    const QString key = openRoom(bob, carol);
    ASSERT_FALSE(key.isEmpty());
    const QString path = makeFile(bobFolder.path(), QStringLiteral("secret-plan.txt"), 100);
    bob.command(QStringLiteral("file-offer %1 carol@parley.test \"%2\"").arg(key, path));
    const auto offered = carol.waitFor(nn::kFileDownloadRequestReceived);
    ASSERT_TRUE(offered);
    const QString cookie = offered->value(QStringLiteral("fileCookies")).toList().value(0).toString();

    const QStringList claims{QStringLiteral("carol@parley.test"), QStringLiteral("mallory@parley.test"),
                             QStringLiteral("carol@parley.test")};
    for (int i = 0; i < claims.size(); ++i) {
        QTcpSocket stranger;
        stranger.connectToHost(QHostAddress::LocalHost, quint16(bobPort));
        ASSERT_TRUE(stranger.waitForConnected(5000)) << i;
        stranger.write(QStringLiteral("ATHC 1 %1 bob@parley.test mallory:%2 6004 0\r\nFILE 2 ACCEPT %3 0\r\n"
                                      "FILE 3 START 0 0\r\n")
                           .arg(claims[i])
                           .arg(i + 1)
                           .arg(cookie)
                           .toUtf8());
        QByteArray received;
        parley::test::waitUntil([&] {
            stranger.waitForReadyRead(50);
            received += stranger.readAll();
            return stranger.state() == QAbstractSocket::UnconnectedState;
        });
        EXPECT_EQ(stranger.state(), QAbstractSocket::UnconnectedState) << i;
        EXPECT_TRUE(received.isEmpty()) << i << ": " << received.left(80).toStdString();
    }

    carol.command(QStringLiteral("file-accept \"%1\"").arg(cookie));
    ASSERT_TRUE(carol.waitFor(nn::kFileDownloadEndReceived, with("fileCookie", cookie), kTimeoutMs));
    ASSERT_TRUE(bob.waitFor(nn::kFileUploadEnd, with("fileCookie", cookie), kTimeoutMs));
    EXPECT_EQ(sha256(QDir(carolFolder.path()).filePath(QStringLiteral("secret-plan.txt"))), sha256(path));
}

} // namespace
