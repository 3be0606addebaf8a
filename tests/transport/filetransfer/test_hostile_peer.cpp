// A peer that does not follow the protocol: names that leave the folder,
// lengths beyond any chunk or the announced size, extra bytes, and a FILE
// ACCEPT for a file offered to someone else.
#include "../LogCapture.h"
#include "NotificationNames.h"
#include "RawPeer.h"
#include "TestSupport.h"
#include "TransferClient.h"
#include "Utils/PLEndpoints.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QFile>
#include <QTcpSocket>
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
    bool requestP2PConnectToUser(const QString &userID, const QString &, const QString &fileCookie) override
    {
        p2pCookie = mClient.cookies.p2pCookie();
        mClient.p2p->connectOfferSent(p2pCookie, fileCookie, mClient.userID, userID);
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
    // The name the file is saved under once accepted (the offered one when null).
    QString saved = QString();
};

class OfferedNameTest : public HostileTest, public ::testing::WithParamInterface<NameCase>
{
};

TEST_P(OfferedNameTest, OnlyPlainNamesAreOfferedAndSavedAsWhatTheyAre)
{
    const NameCase c = GetParam();
    const QString cookie = QStringLiteral("m:1:123");
    bob.files->downloadRequestReceived(offerOf(cookie, c.name, 10));
    EXPECT_EQ(events.has(nn::kFileDownloadRequestReceived), c.accepted) << c.label;
    EXPECT_EQ(!bob.files->fileInfoForCookie(cookie).isEmpty(), c.accepted) << c.label;
    if (!c.accepted)
        return;
    ASSERT_TRUE(bob.files->acceptDownloadFor(cookie)) << c.label;
    const QString expected = c.saved.isNull() ? c.name : c.saved;
    EXPECT_EQ(folderEntries(bob.files->downloadPath()).filter(QRegularExpression(QStringLiteral("^(?!\\.parley-)"))),
              QStringList{expected})
        << c.label;
    EXPECT_EQ(QFileInfo(bob.files->fileInfoForCookie(cookie).value(QStringLiteral("filePath")).toString()).fileName(),
              expected)
        << c.label;
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
                      NameCase{"escape", QStringLiteral("a\x1b[2Jb"), false},
                      NameCase{"dot file", QStringLiteral(".bashrc"), true, QStringLiteral("_.bashrc")},
                      NameCase{"the downloads' temporary name", QStringLiteral(".parley-AAAAAA.part"), true,
                               QStringLiteral("_.parley-AAAAAA.part")},
                      NameCase{"right-to-left override", QStringLiteral("invoice\u202etxt.exe"), true,
                               QStringLiteral("invoice_txt.exe")},
                      NameCase{"isolates and marks",
                               QStringLiteral("a\u2066b\u2069c\u200ed\u200fe\u202af.txt"), true,
                               QStringLiteral("a_b_c_d_e_f.txt")},
                      NameCase{"zero-width space", QStringLiteral("pay\u200bpal.txt"), true,
                               QStringLiteral("pay_pal.txt")},
                      NameCase{"format character beyond the BMP",
                               QStringLiteral("a") + QString::fromUcs4(U"\U000E0001") + QStringLiteral("b"), true,
                               QStringLiteral("a_b")},
                      NameCase{"255-byte dot file", QStringLiteral(".") + QString(254, QLatin1Char('z')), true,
                               QStringLiteral("_.") + QString(253, QLatin1Char('z'))}));

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

// A peer that stops speaking fails the transfer after the read time-out
// (here a short one) instead of holding it open; the partial file goes.
struct StallCase
{
    const char *label;
    QByteArray afterAccept; // what the peer sends after Bob's FILE ACCEPT
};

class ShortWaitTest : public HostileTest
{
protected:
    void SetUp() override
    {
        PLEndpoints shortWait = saved;
        shortWait.p2pTimeout = 0.3;
        PLEndpoints::setCurrent(shortWait);
        HostileTest::SetUp();
    }
    void TearDown() override { PLEndpoints::setCurrent(saved); }

    const PLEndpoints saved = PLEndpoints::current();
};

class StallTest : public ShortWaitTest, public ::testing::WithParamInterface<StallCase>
{
};

TEST_P(StallTest, AStalledPeerFailsTheDownload)
{
    const StallCase c = GetParam();
    const QString cookie = QStringLiteral("m:1:123");
    bob.files->downloadRequestReceived(offerOf(cookie, QStringLiteral("hundred.bin"), 100));
    ASSERT_TRUE(bob.files->acceptDownloadFor(cookie));
    RawPeer peer;
    ASSERT_TRUE(peer.connectTo(bob.p2p->p2pPortNo()));
    peer.send(QStringLiteral("ATHC 1 %1 %2 %3 6004 0\r\n").arg(kMallory, bob.userID, link.p2pCookie).toUtf8());
    ASSERT_TRUE(peer.waitForLine(QStringLiteral("FILE")).contains(QStringLiteral("ACCEPT")));
    peer.send(c.afterAccept);
    ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadFailed, cookie); }, 3000)) << c.label;
    EXPECT_TRUE(peer.waitForClose()) << c.label;
    EXPECT_FALSE(events.has(nn::kFileDownloadEndReceived, cookie));
    EXPECT_TRUE(folderEntries(bob.files->downloadPath()).isEmpty()) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Stalls, StallTest,
                         ::testing::Values(StallCase{"before INFO", QByteArray()},
                                           StallCase{"after START, 5 of 100 bytes",
                                                     "FILE 2 INFO FILENAME 100 CHAT 0\r\nFILE 1 DATA 5\r\n01234"}));

// The uploading side waits for the peer's END after its last byte; a peer
// that never sends it fails the upload.
TEST_F(ShortWaitTest, AnUploadWhoseEndNeverComesFails)
{
    const QString path = makeFile(bob.folder.path(), QStringLiteral("up.txt"), 100);
    ASSERT_TRUE(bob.files->uploadFiles({path}, kMallory, QStringLiteral("room-1")));
    const QString cookie = bob.files->fileCookies().last();
    ASSERT_TRUE(bob.p2p->createConnectSession({{QStringLiteral("p2pCookie"), QStringLiteral("9:1")},
                                               {QStringLiteral("myID"), bob.userID},
                                               {QStringLiteral("buddyID"), kMallory},
                                               {QStringLiteral("ip"), QStringLiteral("127.0.0.1")},
                                               {QStringLiteral("portNo"), refusedLoopbackPort()},
                                               {QStringLiteral("isSender"), true},
                                               {QStringLiteral("subCmd"), QStringLiteral("NEW")}}));
    RawPeer peer;
    ASSERT_TRUE(peer.connectTo(bob.p2p->p2pPortNo()));
    peer.send(QStringLiteral("ATHC 1 %1 %2 9:1 6004 0\r\nFILE 2 ACCEPT %3 0\r\nFILE 3 START 0 0\r\n")
                  .arg(kMallory, bob.userID, cookie)
                  .toUtf8());
    ASSERT_FALSE(peer.waitForLine(QStringLiteral("FILE 1 DATA 100")).isEmpty());
    ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileUploadFailed, cookie); }, 3000));
    EXPECT_TRUE(peer.waitForClose());
    EXPECT_FALSE(events.has(nn::kFileUploadEnd, cookie));
}

const QString kCarol = QStringLiteral("carol@parley.test");

// The peer's REQC NEW as the account session hands it on: answered only when
// a file offered to that peer waits for a connection. The connection itself
// goes to a port that refuses it.
bool answerConnectOffer(TransferClient &client, const QString &peer, const QString &p2pCookie,
                        const QString &subCmd = QStringLiteral("NEW"))
{
    return client.p2p->createConnectSession({{QStringLiteral("p2pCookie"), p2pCookie},
                                             {QStringLiteral("myID"), client.userID},
                                             {QStringLiteral("buddyID"), peer},
                                             {QStringLiteral("ip"), QStringLiteral("127.0.0.1")},
                                             {QStringLiteral("portNo"), refusedLoopbackPort()},
                                             {QStringLiteral("isSender"), subCmd != QLatin1String("RES")},
                                             {QStringLiteral("frCookie"), subCmd == QLatin1String("FR")
                                                                              ? QStringLiteral("fr-1")
                                                                              : QString()},
                                             {QStringLiteral("subCmd"), subCmd}});
}

// Bob's records: "secret.txt" offered to mallory (F), "old.txt" offered to
// mallory and cancelled (G), "other.txt" offered to carol (H); mallory's
// connection offer P answered; mallory's own file accepted, so Bob's offer S
// waits for her connection.
class StrangerTest : public HostileTest
{
protected:
    void SetUp() override
    {
        HostileTest::SetUp();
        const auto offer = [&](const QString &name, const QString &to) {
            const QString path = makeFile(bob.folder.path(), name, 100);
            EXPECT_TRUE(bob.files->uploadFiles({path}, to, QStringLiteral("room-1")));
            return bob.files->fileCookies().last();
        };
        fileF = offer(QStringLiteral("secret.txt"), kMallory);
        fileG = offer(QStringLiteral("old.txt"), kMallory);
        fileH = offer(QStringLiteral("other.txt"), kCarol);
        ASSERT_TRUE(bob.files->cancelUploadFor(fileG));
        ASSERT_TRUE(answerConnectOffer(bob, kMallory, cookieP));
        bob.files->downloadRequestReceived(offerOf(QStringLiteral("m:1:123"), QStringLiteral("in.bin"), 10));
        ASSERT_TRUE(bob.files->acceptDownloadFor(QStringLiteral("m:1:123")));
        cookieS = link.p2pCookie;
    }

    QByteArray expand(QByteArray lines) const
    {
        return lines.replace("$P", cookieP.toUtf8())
            .replace("$S", cookieS.toUtf8())
            .replace("$F", fileF.toUtf8())
            .replace("$G", fileG.toUtf8())
            .replace("$H", fileH.toUtf8())
            .replace("$M", kMallory.toUtf8())
            .replace("$B", bob.userID.toUtf8())
            .replace("$C", kCarol.toUtf8());
    }

    const QString cookieP = QStringLiteral("4242:17");
    QString cookieS;
    QString fileF;
    QString fileG;
    QString fileH;
};

// Each step but the last gets an answer; the last closes the connection
// with no answer.
struct StrangerCase
{
    const char *label;
    QList<QByteArray> steps;
};

class StrangerLineTest : public StrangerTest, public ::testing::WithParamInterface<StrangerCase>
{
};

TEST_P(StrangerLineTest, IsRefusedAndClosed)
{
    const StrangerCase c = GetParam();
    RawPeer peer;
    ASSERT_TRUE(peer.connectTo(bob.p2p->p2pPortNo()));
    for (qsizetype i = 0; i + 1 < c.steps.size(); ++i) {
        peer.send(expand(c.steps[i]));
        ASSERT_TRUE(peer.waitForLineCount(i + 1)) << c.label << " step " << i;
    }
    peer.send(expand(c.steps.last()));
    EXPECT_TRUE(peer.waitForClose()) << c.label;
    EXPECT_EQ(peer.lines().size(), c.steps.size() - 1) << c.label;
    EXPECT_FALSE(events.has(nn::kFileUploadStart)) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StrangerLineTest,
    ::testing::Values(
        StrangerCase{"wrong P2P cookie", {"ATHC 1 $M $B 4242:18 6004 0\r\nFILE 2 ACCEPT $F 0\r\n"}},
        StrangerCase{"right cookie from the wrong peer", {"ATHC 1 $C $B $P 6004 0\r\n"}},
        StrangerCase{"addressed to someone else", {"ATHC 1 $M $C $P 6004 0\r\n"}},
        StrangerCase{"a download's cookie from the wrong peer", {"ATHC 1 $C $B $S 6004 0\r\n"}},
        StrangerCase{"FILE before ATHC", {"FILE 2 ACCEPT $F 0\r\n"}},
        StrangerCase{"guessed file cookie", {"ATHC 1 $M $B $P 6004 0\r\n", "FILE 2 ACCEPT 0:1:100 0\r\n"}},
        StrangerCase{"file cookie of a finished transfer", {"ATHC 1 $M $B $P 6004 0\r\n", "FILE 2 ACCEPT $G 0\r\n"}},
        StrangerCase{"file offered to another buddy", {"ATHC 1 $M $B $P 6004 0\r\n", "FILE 2 ACCEPT $H 0\r\n"}},
        StrangerCase{"a second ACCEPT",
                     {"ATHC 1 $M $B $P 6004 0\r\n", "FILE 2 ACCEPT $F 0\r\n", "FILE 3 ACCEPT $F 0\r\n"}},
        StrangerCase{"a second ATHC", {"ATHC 1 $M $B $P 6004 0\r\n", "ATHC 2 $C $B $P 6004 0\r\n"}}));

// Refusals are counted per address: after five in a minute even the right
// cookie is refused, and the log gets one line for all of them.
TEST_F(StrangerTest, RefusalsFromOneAddressAreLimitedAndLoggedOnce)
{
    LogCapture log;
    for (int i = 0; i < PLP2PSessionManager::kMaxRefusals; ++i) {
        RawPeer guess;
        ASSERT_TRUE(guess.connectTo(bob.p2p->p2pPortNo()));
        guess.send(QStringLiteral("ATHC 1 %1 %2 4242:%3 6004 0\r\n").arg(kMallory, bob.userID).arg(100 + i).toUtf8());
        EXPECT_TRUE(guess.waitForClose()) << i;
    }
    // Closed at once: it may not even be seen open.
    RawPeer right;
    if (right.connectTo(bob.p2p->p2pPortNo())) {
        right.send(expand("ATHC 1 $M $B $P 6004 0\r\n"));
        EXPECT_TRUE(right.waitForClose());
    }
    EXPECT_TRUE(right.lines().isEmpty());
    EXPECT_EQ(log.count(QStringLiteral("peer connection from 127.0.0.1 refused")), 1);
}

// What a buddy's connection requests make this client do: REQC NEW only
// while more files offered to that buddy wait than its NEWs already served,
// RES once for an offer this client sent, FR once for a file offered to it.
struct RequestStep
{
    const char *subCmd;
    QString from;
    QString cookie; // "$S": the cookie of Bob's own offer to mallory
    bool connects;
};

struct RequestCase
{
    const char *label;
    int filesOffered; // to mallory
    QList<RequestStep> steps;
};

class ConnectRequestTest : public HostileTest, public ::testing::WithParamInterface<RequestCase>
{
};

TEST_P(ConnectRequestTest, ConnectsOutOnlyOnItsOwnRecords)
{
    const RequestCase c = GetParam();
    for (int i = 0; i < c.filesOffered; ++i) {
        const QString path = makeFile(bob.folder.path(), QStringLiteral("f%1.txt").arg(i), 10);
        ASSERT_TRUE(bob.files->uploadFiles({path}, kMallory, QStringLiteral("room-1")));
    }
    bob.files->downloadRequestReceived(offerOf(QStringLiteral("m:1:123"), QStringLiteral("in.bin"), 10));
    ASSERT_TRUE(bob.files->acceptDownloadFor(QStringLiteral("m:1:123")));
    for (const RequestStep &step : c.steps) {
        const QString cookie = step.cookie == QLatin1String("$S") ? link.p2pCookie : step.cookie;
        const int before = bob.p2p->liveSessionCount();
        EXPECT_EQ(answerConnectOffer(bob, step.from, cookie, QString::fromLatin1(step.subCmd)), step.connects)
            << c.label << ": " << step.subCmd << " " << cookie.toStdString();
        EXPECT_EQ(bob.p2p->liveSessionCount() - before, step.connects ? 1 : 0) << c.label;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ConnectRequestTest,
    ::testing::Values(
        RequestCase{"NEW with nothing offered", 0, {{"NEW", kMallory, QStringLiteral("9:1"), false}}},
        RequestCase{"one NEW per file offered",
                    2,
                    {{"NEW", kMallory, QStringLiteral("9:1"), true},
                     {"NEW", kMallory, QStringLiteral("9:2"), true},
                     {"NEW", kMallory, QStringLiteral("9:3"), false}}},
        RequestCase{"the same NEW twice",
                    2,
                    {{"NEW", kMallory, QStringLiteral("9:1"), true}, {"NEW", kMallory, QStringLiteral("9:1"), false}}},
        RequestCase{"NEW from a buddy offered nothing",
                    1,
                    {{"NEW", kCarol, QStringLiteral("9:1"), false}, {"NEW", kMallory, QStringLiteral("9:1"), true}}},
        RequestCase{"RES for an offer never sent", 0, {{"RES", kMallory, QStringLiteral("9:1"), false}}},
        RequestCase{"RES once for the offer sent",
                    0,
                    {{"RES", kMallory, QStringLiteral("$S"), true}, {"RES", kMallory, QStringLiteral("$S"), false}}},
        RequestCase{"RES from another buddy", 0, {{"RES", kCarol, QStringLiteral("$S"), false}}},
        RequestCase{"FR once for a file offered",
                    1,
                    {{"FR", kMallory, QStringLiteral("9:1"), true},
                     {"FR", kMallory, QStringLiteral("9:1"), false},
                     {"FR", kCarol, QStringLiteral("9:2"), false}}},
        RequestCase{"FR with nothing offered", 0, {{"FR", kMallory, QStringLiteral("9:1"), false}}},
        RequestCase{"an unknown request", 1, {{"XYZ", kMallory, QStringLiteral("9:1"), false}}}));

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
        // Bob's connection offer, answered; the connection to him fails.
        ASSERT_TRUE(answerConnectOffer(alice, bob.userID, QStringLiteral("K1")));
        ASSERT_TRUE(waitUntil([&] { return closed; }));
        closed = false;
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

// What the uploading side puts on the wire: DATA commands numbered from 1,
// each of 8191 bytes but the last, which is shorter (empty when the size is a
// multiple of 8191), the bodies together the file. Sizes around the chunk and
// around the batch of chunks the sender reads at once.
TEST(UploadWireTest, DataComesInNumberedChunksThatMakeTheFile)
{
    constexpr qint64 kChunk = 8191;
    for (const qint64 size : {qint64(0), qint64(1), 2 * kChunk, 32 * kChunk, 33 * kChunk + 5, 70 * kChunk - 1}) {
        SCOPED_TRACE(size);
        TransferClient alice(QStringLiteral("alice@parley.test"));
        TransferClient bob(QStringLiteral("bob@parley.test"));
        alice.linkTo(bob, nullptr);
        bob.linkTo(alice, nullptr);
        const QString source = makeFile(alice.folder.path(), QStringLiteral("wire.bin"), size);
        ASSERT_TRUE(alice.files->uploadFiles({source}, bob.userID, QStringLiteral("room-1")));
        const QString cookie = alice.files->fileCookies().first();
        ASSERT_TRUE(answerConnectOffer(alice, bob.userID, QStringLiteral("K1")));
        QTcpSocket peer;
        peer.connectToHost(QStringLiteral("127.0.0.1"), quint16(alice.p2p->p2pPortNo()));
        ASSERT_TRUE(waitUntil([&] { return peer.state() == QAbstractSocket::ConnectedState; }));
        peer.write(QStringLiteral("ATHC 1 %1 %2 K1 6004 0\r\nFILE 2 ACCEPT %3 0\r\nFILE 3 START 0 0\r\n")
                       .arg(bob.userID, alice.userID, cookie)
                       .toUtf8());
        // Frames what comes until the last DATA: lines, and each DATA body.
        QByteArray received;
        QStringList dataLines;
        QByteArray bodies;
        bool last = false;
        const bool done = waitUntil([&] {
            received += peer.readAll();
            for (;;) {
                const qsizetype end = received.indexOf("\r\n");
                if (end < 0)
                    return last;
                const QByteArray line = received.left(end);
                const QList<QByteArray> fields = line.split(' ');
                qint64 length = 0;
                if (fields.size() == 4 && fields[2] == "DATA") {
                    length = fields[3].toLongLong();
                    if (received.size() < end + 2 + length)
                        return false;
                    dataLines << QString::fromLatin1(line);
                    bodies += received.mid(end + 2, length);
                    last = length < kChunk;
                }
                received.remove(0, end + 2 + length);
            }
        }, 10000);
        ASSERT_TRUE(done);
        const qint64 chunks = size / kChunk + 1;
        ASSERT_EQ(dataLines.size(), chunks);
        for (qint64 i = 0; i < chunks; ++i) {
            const qint64 length = i + 1 < chunks ? kChunk : size % kChunk;
            EXPECT_EQ(dataLines[i], QStringLiteral("FILE %1 DATA %2").arg(i + 1).arg(length));
        }
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(bodies, file.readAll());
    }
}

} // namespace
