// A peer that does not follow the protocol: names that leave the folder,
// lengths beyond any chunk or the announced size, extra bytes, and a FILE
// ACCEPT for a file offered to someone else.
#include "NotificationNames.h"
#include "RawPeer.h"
#include "TestSupport.h"
#include "TransferClient.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;
namespace nn = parley::notifications;

namespace {

const QString kMallory = QStringLiteral("mallory@parley.test");

// Plays the account session for Bob alone and remembers the P2P cookie of
// each connection offer.
class RecordingLink : public PLTransferSessionLink, public PLTransferChatLink
{
public:
    explicit RecordingLink(TransferClient &client) : mClient(client) {}
    bool requestTransferFiles(const QVariantList &, const QString &, const QString &) override { return true; }
    bool acceptTransferFiles(const QVariantList &, const QString &, const QString &) override { return true; }
    bool rejectTransferFile(const QVariantMap &, const QString &, const QString &) override { return true; }
    bool cancelUploadFile(const QVariantMap &, const QString &, const QString &) override { return true; }
    bool requestP2PConnectToUser(const QString &, const QString &, const QString &fileCookie) override
    {
        p2pCookie = mClient.cookies.p2pCookie();
        mClient.p2p->setFileCookie(fileCookie, p2pCookie);
        mClient.p2p->setSender(false, p2pCookie);
        return true;
    }
    void requestFRInfo(const QString &, const QString &) override {}
    void requestFRConnectForFRCookie(const QString &) override {}

    QString p2pCookie;

private:
    TransferClient &mClient;
};

QVariantMap offerOf(const QString &cookie, const QString &name, const QVariant &size)
{
    QVariantMap file{{QStringLiteral("cookie"), cookie}, {QStringLiteral("fileName"), name}};
    if (size.isValid())
        file.insert(QStringLiteral("fileSize"), size);
    return {{QStringLiteral("sessionKey"), QStringLiteral("room-9")},
            {QStringLiteral("userID"), kMallory},
            {QStringLiteral("dpKey"), QStringLiteral("dp-m")},
            {QStringLiteral("fileInfos"), QVariantList{file}}};
}

class HostileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bob.files->setSession(&link);
        bob.files->setChatLink(&link);
        bob.p2p->setSessionLink(&link);
    }

    TransferClient bob{QStringLiteral("bob@parley.test")};
    RecordingLink link{bob};
    TransferEvents events;
};

struct NameCase
{
    const char *label;
    QString name;
    bool accepted;
};

class OfferedNameTest : public HostileTest, public ::testing::WithParamInterface<NameCase>
{
};

TEST_P(OfferedNameTest, OnlyPlainNamesAreOffered)
{
    const NameCase c = GetParam();
    bob.files->downloadRequestReceived(offerOf(QStringLiteral("m:1:123"), c.name, 10));
    EXPECT_EQ(events.has(nn::kFileDownloadRequestReceived), c.accepted) << c.label;
    EXPECT_EQ(!bob.files->fileInfoForCookie(QStringLiteral("m:1:123")).isEmpty(), c.accepted) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Names, OfferedNameTest,
    ::testing::Values(NameCase{"plain", QStringLiteral("report.pdf"), true},
                      NameCase{"Hangul", QStringLiteral("보고서 최종.txt"), true},
                      NameCase{"255 bytes", QString(255, QLatin1Char('a')), true},
                      NameCase{"256 bytes", QString(256, QLatin1Char('a')), false},
                      NameCase{"empty", QString(), false}, NameCase{"dot", QStringLiteral("."), false},
                      NameCase{"dot dot", QStringLiteral(".."), false},
                      NameCase{"parent path", QStringLiteral("../../.bashrc"), false},
                      NameCase{"absolute", QStringLiteral("/etc/passwd"), false},
                      NameCase{"subfolder", QStringLiteral("a/b.txt"), false},
                      NameCase{"backslash", QStringLiteral("..\\x.txt"), false},
                      NameCase{"NUL", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), false},
                      NameCase{"newline", QStringLiteral("a\nb"), false},
                      NameCase{"escape", QStringLiteral("a\x1b[2Jb"), false}));

TEST_F(HostileTest, OfferWithAnEntryLackingItsSizeIsDroppedWhole)
{
    QVariantMap offer = offerOf(QStringLiteral("m:1:123"), QStringLiteral("a.txt"), 10);
    QVariantList files = offer.value(QStringLiteral("fileInfos")).toList();
    files.append(QVariantMap{{QStringLiteral("cookie"), QStringLiteral("m:2:123")},
                             {QStringLiteral("fileName"), QStringLiteral("b.txt")}});
    offer.insert(QStringLiteral("fileInfos"), files);
    bob.files->downloadRequestReceived(offer);
    EXPECT_FALSE(events.has(nn::kFileDownloadRequestReceived));
    EXPECT_TRUE(bob.files->fileCookies().isEmpty());
}

struct DataCase
{
    const char *label;
    QByteArray bytes; // what the peer sends after START
    bool completes;
};

class HostileDataTest : public HostileTest, public ::testing::WithParamInterface<DataCase>
{
};

TEST_P(HostileDataTest, DataIsCheckedAgainstTheOffer)
{
    const DataCase c = GetParam();
    const QString cookie = QStringLiteral("m:1:123");
    bob.files->downloadRequestReceived(offerOf(cookie, QStringLiteral("ten.bin"), 10));
    ASSERT_TRUE(bob.files->acceptDownloadFor(cookie));
    ASSERT_FALSE(link.p2pCookie.isEmpty());

    RawPeer peer;
    ASSERT_TRUE(peer.connectTo(bob.p2p->p2pPortNo()));
    peer.send(QStringLiteral("ATHC 1 %1 %2 %3 6004 0\r\n").arg(kMallory, bob.userID, link.p2pCookie).toUtf8());
    EXPECT_EQ(peer.waitForLine(QStringLiteral("ATHC")), QStringLiteral("ATHC 0 100 6004 0"));
    ASSERT_TRUE(peer.waitForLine(QStringLiteral("FILE")).contains(QStringLiteral("ACCEPT")));
    peer.send("FILE 2 INFO FILENAME 10 CHAT 0\r\n");
    ASSERT_FALSE(peer.waitForLine(QStringLiteral("FILE 2 START")).isEmpty());
    peer.send(c.bytes);

    const QString saved = QDir(bob.files->downloadPath()).filePath(QStringLiteral("ten.bin"));
    if (c.completes) {
        ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadEndReceived, cookie); })) << c.label;
        EXPECT_FALSE(peer.waitForLine(QStringLiteral("FILE 3 END")).isEmpty());
        QFile file(saved);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("0123456789")) << c.label;
        EXPECT_EQ(folderEntries(bob.files->downloadPath()), QStringList{QStringLiteral("ten.bin")});
    } else {
        ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadFailed, cookie); })) << c.label;
        EXPECT_TRUE(peer.waitForClose()) << c.label;
        EXPECT_FALSE(events.has(nn::kFileDownloadEndReceived, cookie));
        EXPECT_TRUE(folderEntries(bob.files->downloadPath()).isEmpty()) << c.label;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Data, HostileDataTest,
    ::testing::Values(DataCase{"exact", "FILE 1 DATA 6\r\n012345FILE 2 DATA 4\r\n6789", true},
                      DataCase{"extra chunk after the end", "FILE 1 DATA 10\r\n0123456789FILE 2 DATA 3\r\nxyz", true},
                      DataCase{"negative tid, leading zeros", "FILE -1 DATA 0006\r\n012345FILE 2 DATA 04\r\n6789", true},
                      // Not the usual shape: the general decoding takes the last field.
                      DataCase{"a field after the length", "FILE 1 DATA 4 6\r\n012345FILE 2 DATA 4\r\n6789", true},
                      DataCase{"oversized length", "FILE 1 DATA 99999999\r\n", false},
                      DataCase{"above the largest chunk", "FILE 1 DATA 65537\r\n", false},
                      DataCase{"negative length", "FILE 1 DATA -5\r\n", false},
                      DataCase{"not a number", "FILE 1 DATA ten\r\n", false},
                      DataCase{"beyond the announced size", "FILE 1 DATA 20\r\n01234567890123456789", false},
                      DataCase{"second chunk crosses the size", "FILE 1 DATA 8\r\n01234567FILE 2 DATA 4\r\nabcd",
                               false}));

TEST_F(HostileTest, ConnectionLostMidwayFailsTheDownload)
{
    const QString cookie = QStringLiteral("m:1:123");
    bob.files->downloadRequestReceived(offerOf(cookie, QStringLiteral("ten.bin"), 10));
    ASSERT_TRUE(bob.files->acceptDownloadFor(cookie));
    {
        RawPeer peer;
        ASSERT_TRUE(peer.connectTo(bob.p2p->p2pPortNo()));
        peer.send(QStringLiteral("ATHC 1 %1 %2 %3 6004 0\r\n").arg(kMallory, bob.userID, link.p2pCookie).toUtf8());
        ASSERT_FALSE(peer.waitForLine(QStringLiteral("FILE")).isEmpty());
        peer.send("FILE 2 INFO FILENAME 10 CHAT 0\r\n");
        ASSERT_FALSE(peer.waitForLine(QStringLiteral("FILE 2 START")).isEmpty());
        peer.send("FILE 1 DATA 4\r\n0123");
        ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadPartReceived, cookie); }));
    }
    ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadFailed, cookie); }));
    EXPECT_FALSE(events.has(nn::kFileDownloadEndReceived, cookie));
    EXPECT_TRUE(folderEntries(bob.files->downloadPath()).isEmpty());
}

TEST_F(HostileTest, SecondConnectionOfACookieIsClosed)
{
    const QString cookie = QStringLiteral("m:1:123");
    bob.files->downloadRequestReceived(offerOf(cookie, QStringLiteral("ten.bin"), 10));
    ASSERT_TRUE(bob.files->acceptDownloadFor(cookie));
    const QByteArray athc = QStringLiteral("ATHC 1 %1 %2 %3 6004 0\r\n").arg(kMallory, bob.userID, link.p2pCookie).toUtf8();
    RawPeer first;
    ASSERT_TRUE(first.connectTo(bob.p2p->p2pPortNo()));
    first.send(athc);
    ASSERT_TRUE(first.waitForLine(QStringLiteral("FILE")).contains(QStringLiteral("ACCEPT")));
    RawPeer second;
    ASSERT_TRUE(second.connectTo(bob.p2p->p2pPortNo()));
    second.send(athc);
    EXPECT_TRUE(second.waitForClose());
    EXPECT_TRUE(second.waitForLine(QStringLiteral("FILE"), 100).isEmpty());
    // The first still carries the file.
    first.send("FILE 2 INFO FILENAME 10 CHAT 0\r\n");
    ASSERT_FALSE(first.waitForLine(QStringLiteral("FILE 2 START")).isEmpty());
    first.send("FILE 1 DATA 10\r\n0123456789");
    EXPECT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadEndReceived, cookie); }));
}

TEST(HostileUploadTest, FileAcceptFromAnotherPeerGetsNothing)
{
    TransferClient alice(QStringLiteral("alice@parley.test"));
    TransferClient bob(QStringLiteral("bob@parley.test"));
    alice.linkTo(bob, nullptr);
    bob.linkTo(alice, nullptr);
    TransferEvents events;
    const QString source = makeFile(alice.folder.path(), QStringLiteral("secret.txt"), 100);
    ASSERT_TRUE(alice.files->uploadFiles({source}, bob.userID, QStringLiteral("room-1")));
    const QString cookie = alice.files->fileCookies().first();

    for (const QString &claimed : {kMallory, QStringLiteral("carol@parley.test")}) {
        RawPeer peer;
        ASSERT_TRUE(peer.connectTo(alice.p2p->p2pPortNo()));
        peer.send(QStringLiteral("ATHC 1 %1 %2 K1 6004 0\r\n").arg(claimed, alice.userID).toUtf8());
        ASSERT_FALSE(peer.waitForLine(QStringLiteral("ATHC 0 100")).isEmpty());
        peer.send(QStringLiteral("FILE 2 ACCEPT %1 0\r\n").arg(cookie).toUtf8());
        EXPECT_TRUE(peer.waitForClose()) << claimed.toStdString();
        EXPECT_TRUE(peer.waitForLine(QStringLiteral("FILE"), 100).isEmpty());
    }
    EXPECT_FALSE(events.has(nn::kFileUploadStart));
}

// Every byte written is not every byte received: the upload ends with the
// peer's END, and a connection closed before it fails the upload.
TEST(HostileUploadTest, UploadEndsOnlyWithThePeersEnd)
{
    for (const bool peerSendsEnd : {true, false}) {
        SCOPED_TRACE(peerSendsEnd ? "END, then close" : "close without END");
        TransferClient alice(QStringLiteral("alice@parley.test"));
        TransferClient bob(QStringLiteral("bob@parley.test"));
        alice.linkTo(bob, nullptr);
        bob.linkTo(alice, nullptr);
        TransferEvents events;
        bool closed = false;
        const auto token = NotificationCenter::defaultCenter().addObserver(
            QLatin1String(nn::kP2PSessionClosed), alice.p2p.get(), [&](const Notification &) { closed = true; });
        const QString source = makeFile(alice.folder.path(), QStringLiteral("small.txt"), 100);
        ASSERT_TRUE(alice.files->uploadFiles({source}, bob.userID, QStringLiteral("room-1")));
        const QString cookie = alice.files->fileCookies().first();
        {
            RawPeer peer;
            ASSERT_TRUE(peer.connectTo(alice.p2p->p2pPortNo()));
            peer.send(QStringLiteral("ATHC 1 %1 %2 K1 6004 0\r\n").arg(bob.userID, alice.userID).toUtf8());
            ASSERT_FALSE(peer.waitForLine(QStringLiteral("ATHC 0 100")).isEmpty());
            peer.send(QStringLiteral("FILE 2 ACCEPT %1 0\r\nFILE 3 START 0 0\r\n").arg(cookie).toUtf8());
            ASSERT_FALSE(peer.waitForLine(QStringLiteral("FILE 1 DATA 100")).isEmpty());
            ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileUploadPartSent, cookie); }));
            if (peerSendsEnd) {
                peer.send("FILE 4 END 0\r\n");
                ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileUploadEnd, cookie); }));
            }
        }
        EXPECT_TRUE(waitUntil([&] { return closed; }));
        NotificationCenter::defaultCenter().removeObserver(token);
        EXPECT_EQ(events.has(nn::kFileUploadEnd, cookie), peerSendsEnd);
        EXPECT_EQ(events.has(nn::kFileUploadFailed, cookie), !peerSendsEnd);
    }
}

} // namespace
