// Two clients in one process exchange files over loopback, directly and
// through the local service's relay.
#include "FileRelayServer.h"
#include "NotificationNames.h"
#include "TestSupport.h"
#include "TransferClient.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>

using namespace parley;
using namespace parley::test;
namespace nn = parley::notifications;

namespace {

constexpr int kTransferTimeoutMs = 30000;

// Calls `cancel` once, from the first notice `name` posts for the cookie: at
// that moment the transfer is surely midway (a loop pass of the test can
// carry a whole file of a few MiB). Answers what it returned.
class CancelAtFirstNotice
{
public:
    CancelAtFirstNotice(const char *name, const QString &cookie, std::function<bool()> cancel)
    {
        mToken = NotificationCenter::defaultCenter().addObserver(
            QLatin1String(name), nullptr, [this, cookie, cancel](const Notification &n) {
                if (tried || n.userInfo.value(QStringLiteral("fileCookie")).toString() != cookie)
                    return;
                tried = true;
                cancelled = cancel();
            });
    }
    ~CancelAtFirstNotice() { NotificationCenter::defaultCenter().removeObserver(mToken); }

    bool tried = false;
    bool cancelled = false;

private:
    NotificationCenter::Token mToken = 0;
};

class TransferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(relay.listen(0, nullptr));
        alice.linkTo(bob, &relay);
        bob.linkTo(alice, &relay);
    }

    // Alice offers the files to Bob; answers the file cookies Bob received.
    QStringList offer(const QStringList &paths)
    {
        const int before = events.count(nn::kFileDownloadRequestReceived);
        EXPECT_TRUE(alice.files->uploadFiles(paths, bob.userID, QStringLiteral("room-1")));
        EXPECT_TRUE(waitUntil([&] { return events.count(nn::kFileDownloadRequestReceived) > before; }));
        QStringList cookies;
        for (const QVariant &cookie :
             events.userInfos.constLast().value(QLatin1String(nn::kKeyFileCookies)).toList())
            cookies.append(cookie.toString());
        return cookies;
    }

    void useRelay()
    {
        alice.advertiseRefusedPort();
        bob.advertiseRefusedPort();
        bob.files->setTickInterval(10);
        bob.files->setRelayDelayTicks(10);
    }

    QString downloaded(const QString &name) const
    {
        return QDir(bob.files->downloadPath()).filePath(name);
    }

    localservice::FileRelayServer relay;
    TransferClient alice{QStringLiteral("alice@parley.test")};
    TransferClient bob{QStringLiteral("bob@parley.test")};
    TransferEvents events;
};

struct SizeCase
{
    qint64 size;
    bool relayed;
};

class TransferSizeTest : public TransferTest, public ::testing::WithParamInterface<SizeCase>
{
};

TEST_P(TransferSizeTest, FileArrivesIdentical)
{
    const SizeCase c = GetParam();
    if (c.relayed)
        useRelay();
    const QString source = makeFile(alice.folder.path(), QStringLiteral("data.bin"), c.size);
    const QStringList cookies = offer({source});
    ASSERT_EQ(cookies.size(), 1);
    const QString cookie = cookies.first();
    ASSERT_TRUE(bob.files->acceptDownloadFor(cookie));
    ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadEndReceived, cookie) && events.has(nn::kFileUploadEnd, cookie); },
                          kTransferTimeoutMs));
    EXPECT_EQ(sha256OfFile(downloaded(QStringLiteral("data.bin"))), sha256OfFile(source));
    EXPECT_EQ(events.count(nn::kFileDownloadEndReceived, cookie), 1);
    EXPECT_FALSE(events.has(nn::kFileDownloadFailed, cookie));
    EXPECT_FALSE(events.has(nn::kFileUploadFailed, cookie));
    EXPECT_EQ(folderEntries(bob.files->downloadPath()), QStringList{QStringLiteral("data.bin")});
    EXPECT_EQ(bob.link->relayRequests, c.relayed ? 1 : 0);
    EXPECT_EQ(relay.joinedPairs(), c.relayed ? 1 : 0);
    EXPECT_TRUE(bob.files->connectingList().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, TransferSizeTest,
                         ::testing::Values(SizeCase{0, false}, SizeCase{1, false}, SizeCase{8190, false},
                                           SizeCase{8191, false}, SizeCase{8192, false}, SizeCase{3 * 8191, false},
                                           SizeCase{3 * 1024 * 1024 + 123, false}, SizeCase{0, true},
                                           SizeCase{1, true}, SizeCase{8190, true}, SizeCase{8191, true},
                                           SizeCase{8192, true}, SizeCase{3 * 8191, true},
                                           SizeCase{3 * 1024 * 1024 + 123, true}));

TEST_F(TransferTest, RefusedOfferIsReportedToTheUploader)
{
    const QStringList cookies = offer({makeFile(alice.folder.path(), QStringLiteral("no.bin"), 100)});
    ASSERT_TRUE(bob.files->rejectDownloadFor(cookies.first()));
    ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileUploadRejected, cookies.first()); }));
    EXPECT_TRUE(events.has(nn::kFileDownloadRejected, cookies.first()));
    EXPECT_EQ(bob.link->connectRequests, 0);
    EXPECT_TRUE(folderEntries(bob.files->downloadPath()).isEmpty());
}

TEST_F(TransferTest, DownloadCancelledMidwayLeavesNoFile)
{
    const QStringList cookies = offer({makeFile(alice.folder.path(), QStringLiteral("big.bin"), 8 * 1024 * 1024)});
    const QString cookie = cookies.first();
    CancelAtFirstNotice cancel(nn::kFileDownloadPartReceived, cookie,
                               [&] { return bob.files->cancelDownloadFor(cookie); });
    ASSERT_TRUE(bob.files->acceptDownloadFor(cookie));
    ASSERT_TRUE(waitUntil([&] { return cancel.tried; }, kTransferTimeoutMs));
    ASSERT_TRUE(cancel.cancelled);
    EXPECT_TRUE(events.has(nn::kFileDownloadCancelled, cookie));
    ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileUploadFailed, cookie); }, kTransferTimeoutMs));
    EXPECT_FALSE(events.has(nn::kFileDownloadEndReceived, cookie));
    EXPECT_FALSE(events.has(nn::kFileUploadEnd, cookie));
    EXPECT_TRUE(folderEntries(bob.files->downloadPath()).isEmpty());
    EXPECT_TRUE(bob.files->fileInfoForCookie(cookie).value(QStringLiteral("isCancelled")).toBool());
}

TEST_F(TransferTest, UploadCancelledMidwayFailsTheDownload)
{
    const QStringList cookies = offer({makeFile(alice.folder.path(), QStringLiteral("big.bin"), 8 * 1024 * 1024)});
    const QString cookie = cookies.first();
    CancelAtFirstNotice cancel(nn::kFileUploadPartSent, cookie, [&] { return alice.files->cancelUploadFor(cookie); });
    ASSERT_TRUE(bob.files->acceptDownloadFor(cookie));
    ASSERT_TRUE(waitUntil([&] { return cancel.tried; }, kTransferTimeoutMs));
    ASSERT_TRUE(cancel.cancelled);
    EXPECT_TRUE(events.has(nn::kFileUploadCancelled, cookie));
    // Bob hears it twice over (the whisper and the closed connection); one report.
    ASSERT_TRUE(waitUntil([&] {
        return events.has(nn::kFileDownloadFailed, cookie) || events.has(nn::kFileDownloadCancelled, cookie);
    }, kTransferTimeoutMs));
    EXPECT_EQ(events.count(nn::kFileDownloadFailed, cookie) + events.count(nn::kFileDownloadCancelled, cookie), 1);
    EXPECT_FALSE(events.has(nn::kFileDownloadEndReceived, cookie));
    EXPECT_TRUE(folderEntries(bob.files->downloadPath()).isEmpty());
}

TEST_F(TransferTest, SixthDownloadWaitsForASlotAndAllArrive)
{
    QStringList paths;
    for (int i = 0; i < 6; ++i)
        paths.append(makeFile(alice.folder.path(), QStringLiteral("f%1.bin").arg(i), 20000 + i));
    const QStringList cookies = offer(paths);
    ASSERT_EQ(cookies.size(), 6);
    for (const QString &cookie : cookies)
        ASSERT_TRUE(bob.files->acceptDownloadFor(cookie));
    EXPECT_EQ(bob.files->connectingList().size(), 5);
    EXPECT_EQ(bob.files->waitingList(), QStringList{cookies.last()});
    ASSERT_TRUE(waitUntil([&] { return events.count(nn::kFileDownloadEndReceived) == 6; }, kTransferTimeoutMs));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(sha256OfFile(downloaded(QStringLiteral("f%1.bin").arg(i))), sha256OfFile(paths[i]));
}

TEST_F(TransferTest, CancelledDownloadLeavesTheQueueSoTheSixthStarts)
{
    // No connection ever comes up, so the five stay "connecting".
    alice.advertiseRefusedPort();
    bob.advertiseRefusedPort();
    QStringList paths;
    for (int i = 0; i < 6; ++i)
        paths.append(makeFile(alice.folder.path(), QStringLiteral("q%1.bin").arg(i), 10));
    const QStringList cookies = offer(paths);
    for (const QString &cookie : cookies)
        ASSERT_TRUE(bob.files->acceptDownloadFor(cookie));
    ASSERT_EQ(bob.files->waitingList().size(), 1);
    ASSERT_TRUE(bob.files->cancelDownloadFor(cookies[2]));
    EXPECT_FALSE(bob.files->connectingList().contains(cookies[2]));
    EXPECT_TRUE(bob.files->waitingList().isEmpty());
    EXPECT_TRUE(bob.files->connectingList().contains(cookies[5]));
    // And the cancelled one never asks for a relay.
    bob.files->setRelayDelayTicks(10);
    for (int tick = 0; tick < 11; ++tick)
        bob.files->timeTick();
    EXPECT_EQ(bob.link->relayRequests, 5);
}

TEST_F(TransferTest, RelayIsRequestedOnceAtTheEleventhTick)
{
    alice.advertiseRefusedPort();
    bob.advertiseRefusedPort();
    bob.files->setTickInterval(1000000);
    bob.files->setRelayDelayTicks(10);
    bob.link.get()->relayRequests = 0;
    const QStringList cookies = offer({makeFile(alice.folder.path(), QStringLiteral("r.bin"), 10)});
    ASSERT_TRUE(bob.files->acceptDownloadFor(cookies.first()));
    // Keep the relay from answering: only the request is counted here.
    for (int tick = 1; tick <= 10; ++tick)
        bob.files->timeTick();
    EXPECT_EQ(bob.link->relayRequests, 0);
    bob.files->timeTick();
    EXPECT_EQ(bob.link->relayRequests, 1);
    for (int tick = 0; tick < 20; ++tick)
        bob.files->timeTick();
    EXPECT_EQ(bob.link->relayRequests, 1);
}

struct ExistingCase
{
    const char *answer;
    bool arrives;
    const char *savedAs;
    bool oldKept;
};

class ExistingFileTest : public TransferTest, public ::testing::WithParamInterface<ExistingCase>
{
};

TEST_P(ExistingFileTest, NameTakenIsAnsweredFromTheSetting)
{
    const ExistingCase c = GetParam();
    bob.setExistingFileAnswer(QLatin1String(c.answer));
    QFile old(downloaded(QStringLiteral("same.txt")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    const QString source = makeFile(alice.folder.path(), QStringLiteral("same.txt"), 5000);
    const QString cookie = offer({source}).first();
    bob.files->acceptDownloadFor(cookie);
    if (!c.arrives) {
        ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileUploadRejected, cookie); }));
        EXPECT_EQ(bob.link->connectRequests, 0);
    } else {
        ASSERT_TRUE(waitUntil([&] { return events.has(nn::kFileDownloadEndReceived, cookie); }, kTransferTimeoutMs));
        EXPECT_EQ(sha256OfFile(downloaded(QLatin1String(c.savedAs))), sha256OfFile(source));
    }
    QFile check(downloaded(QStringLiteral("same.txt")));
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll() == "old contents", c.oldKept);
}

INSTANTIATE_TEST_SUITE_P(Answers, ExistingFileTest,
                         ::testing::Values(ExistingCase{"", true, "same (1).txt", true},
                                           ExistingCase{"overwrite", true, "same.txt", false},
                                           ExistingCase{"refuse", false, "", true}));

} // namespace
