// The account's web queries: URLs and bodies built from the model (values
// percent-encoded), replies parsed and applied, and the counts fetched over
// HTTP on a worker with their results handed back to the main thread.
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "RawHttpServer.h"
#include "Sessions/PLAccountWebQueries.h"
#include "Sessions/PLJobQueue.h"
#include "Sessions/PLParleySession.h"
#include "Sessions/PLRecordingShell.h"
#include "TestSupport.h"
#include "Utils/PLEndpoints.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <gtest/gtest.h>

using parley::PLAccountWebQueries;
using parley::PLBuddyManager;
using parley::PLMyInfoManager;

namespace {

class WebQueriesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PLBuddyManager::sharedManager().reset();
        PLMyInfoManager::sharedManager().resetForTesting();
    }
    void TearDown() override { PLBuddyManager::sharedManager().reset(); }

    parley::PLBuddyPtr buddyWithOrchard(const QString &cmn, const QString &orchardCMN)
    {
        auto buddy = PLBuddyManager::sharedManager().createBuddyForCMN(cmn);
        buddy->setVelaID(cmn + "@parley.test");
        buddy->setOrchardCMN(orchardCMN);
        return buddy;
    }
};

TEST(WebReplies, MailCount)
{
    const struct {
        QString reply;
        std::optional<int> count;
    } cases[] = {{"unseen:3", 3}, {"unseen:0", 0}, {"seen:5", std::nullopt}, {"unseen", std::nullopt},
                 {"", std::nullopt}, {"unseen:12:extra", 12}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        EXPECT_EQ(PLAccountWebQueries::mailCountFromReply(c.reply), c.count);
    }
}

TEST(WebReplies, MemoCount)
{
    const struct {
        QString reply;
        std::optional<int> count;
    } cases[] = {{"HEAD\n\nresult=cnt=4", 4}, {"HEAD\n\nresult=cnt=0", 0}, {"HEAD\n\nnothing here", std::nullopt},
                 {"result=cnt=4", std::nullopt}, {"HEAD\n\ncnt=4", std::nullopt}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        EXPECT_EQ(PLAccountWebQueries::memoCountFromReply(c.reply), c.count);
    }
}

TEST(WebRequests, ValuesArePercentEncoded)
{
    EXPECT_EQ(PLAccountWebQueries::mailCountURL("http://mail", "a b&c@parley.test"),
              "http://mail/ParleyStart.php?id=a%20b%26c");
    EXPECT_EQ(PLAccountWebQueries::mailCountURL("http://mail", "plain"), "http://mail/ParleyStart.php?id=plain");
    EXPECT_TRUE(PLAccountWebQueries::mailCountURL("http://mail", "").isNull());
    EXPECT_TRUE(PLAccountWebQueries::mailCountURL("", "a@b").isNull());
    EXPECT_EQ(PLAccountWebQueries::memoCountBody("1&2", "t=1 +"), "owner_cmn=1%262&ticket=t%3D1%20%2B");
}

TEST_F(WebQueriesTest, MainAccountBodyListsTheBuddiesSisterServiceNumbers)
{
    PLMyInfoManager::sharedManager().setOrchardCMN("");
    buddyWithOrchard("100", "o&1");
    buddyWithOrchard("200", "o2");
    buddyWithOrchard("300", "");
    EXPECT_EQ(PLAccountWebQueries::mainAccountBody(), "encoded_value=&buddy_list=o%261%3bo2");
}

TEST_F(WebQueriesTest, MainAccountReplySetsTheModes)
{
    auto q7 = buddyWithOrchard("100", "ob1");
    auto tarn = buddyWithOrchard("200", "ob2");
    auto last = buddyWithOrchard("300", "ob3");
    PLAccountWebQueries::applyMainAccountReply("own:q7own:2<BR>ob1:q7b:2<BR>ob2:x:3<BR>bad<BR>ob3:q7c:2");
    EXPECT_TRUE(PLMyInfoManager::sharedManager().isQ7Mode());
    EXPECT_EQ(PLMyInfoManager::sharedManager().q7CMN(), "q7own");
    EXPECT_TRUE(q7->isQ7Mode());
    EXPECT_EQ(q7->q7CMN(), "q7b");
    EXPECT_TRUE(tarn->isTarnMode());
    EXPECT_FALSE(last->isQ7Mode()); // the part after the last separator is not a record
}

TEST_F(WebQueriesTest, NewPostReplyMarksGuestBooks)
{
    auto withPost = buddyWithOrchard("100", "ob1");
    auto without = buddyWithOrchard("200", "ob2");
    PLAccountWebQueries::applyNewPostReply("ERROR<BR>ob1:x:1<BR>ob2:x:0<BR>");
    EXPECT_FALSE(PLMyInfoManager::sharedManager().isOrchardGuestBookHasNewPost());
    EXPECT_TRUE(withPost->isOrchardGuestBookHasNewPost());
    EXPECT_FALSE(without->isOrchardGuestBookHasNewPost());
    PLAccountWebQueries::applyNewPostReply("me:x:1");
    EXPECT_TRUE(PLMyInfoManager::sharedManager().isOrchardGuestBookHasNewPost());
}

TEST_F(WebQueriesTest, NewPostBodyCarriesEachBuddysMode)
{
    PLMyInfoManager::sharedManager().setOrchardCMN("own");
    auto q7 = buddyWithOrchard("100", "ob1");
    q7->setQ7Mode(true);
    q7->setQ7CMN("q7b");
    buddyWithOrchard("200", "ob2");
    const QString body = PLAccountWebQueries::newPostBody();
    EXPECT_TRUE(body.startsWith("encoded_value="));
    EXPECT_TRUE(body.endsWith("&buddy_list=ob1%3aq7b%3a2%3bob2%3aob2%3a1\r\n")) << body.toStdString();
    PLMyInfoManager::sharedManager().setOrchardCMN("");
    EXPECT_TRUE(PLAccountWebQueries::newPostBody().isEmpty());
}

TEST(WebWorker, TheRequestRunsOffTheMainThreadAndTheResultOnIt)
{
    QObject context;
    QThread *requestThread = nullptr;
    QThread *resultThread = nullptr;
    QString result;
    PLAccountWebQueries::runDetached(
        &context, [&requestThread] { requestThread = QThread::currentThread(); return QStringLiteral("done"); },
        [&](const QString &reply) { resultThread = QThread::currentThread(); result = reply; });
    ASSERT_TRUE(parley::test::waitUntil([&] { return !result.isEmpty(); }));
    EXPECT_NE(requestThread, QThread::currentThread());
    EXPECT_EQ(resultThread, QThread::currentThread());
    EXPECT_EQ(result, "done");
}

// Tells when a query's job has been released: a token captured by the
// request goes with the job. Waiting for it processes no events.
class ReleaseLatch
{
public:
    std::shared_ptr<void> token()
    {
        return std::shared_ptr<void>(nullptr, [this](void *) {
            std::lock_guard guard(mLock);
            mReleased = true;
            mChanged.notify_all();
        });
    }
    // The bound only keeps a broken build from hanging.
    bool waitReleased()
    {
        std::unique_lock guard(mLock);
        return mChanged.wait_for(guard, std::chrono::seconds(30), [this] { return mReleased; });
    }

private:
    std::mutex mLock;
    std::condition_variable mChanged;
    bool mReleased = false;
};

// A query whose result arrives after the event loop has stopped (a test's or
// the program's) must still be released: nothing may wait for the loop.
TEST(WebWorker, AFinishedQueryIsReleasedWithoutTheEventLoop)
{
    ReleaseLatch latch;
    // Queries of earlier tests may still be on their way out; none may stay.
    const int before = PLAccountWebQueries::liveQueries();
    QObject context;
    PLAccountWebQueries::runDetached(
        &context, [token = latch.token()] { return QStringLiteral("done"); }, [](const QString &) {});
    ASSERT_TRUE(latch.waitReleased());
    EXPECT_LE(PLAccountWebQueries::liveQueries(), before);
    QCoreApplication::processEvents();
}

// The context goes while its query runs: the result is dropped, not handed on.
TEST(WebWorker, AResultForAContextThatWentIsDropped)
{
    ReleaseLatch latch;
    const int before = PLAccountWebQueries::liveQueries();
    std::promise<void> finish;
    bool delivered = false;
    {
        QObject context;
        PLAccountWebQueries::runDetached(
            &context,
            [token = latch.token(), finished = finish.get_future().share()] {
                finished.wait();
                return QStringLiteral("late");
            },
            [&delivered](const QString &) { delivered = true; });
    }
    finish.set_value();
    ASSERT_TRUE(latch.waitReleased());
    EXPECT_LE(PLAccountWebQueries::liveQueries(), before);
    QCoreApplication::processEvents();
    EXPECT_FALSE(delivered);
}

TEST_F(WebQueriesTest, CountsAreFetchedAndGivenToTheShell)
{
    parley::test::RawHttpServer server;
    server.answer("/ParleyStart.php?id=alice", "unseen:7");
    server.answer("/client/CountMessage.do", "HEAD\n\nresult=cnt=2");
    parley::PLEndpoints endpoints;
    endpoints.webMail = server.url("/").chopped(1);
    endpoints.webMemo = server.url("/").chopped(1);
    parley::PLEndpoints::setCurrent(endpoints);
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    me.setVelaID("alice@parley.test");
    me.setCMN("100 1");
    me.setTicket("t&k");
    auto &shell = static_cast<parley::PLRecordingShell &>(parley::PLShellServices::shared());
    shell.clear();

    parley::PLParleySession session;
    session.getMailCount();
    session.getMemoCount();
    ASSERT_TRUE(parley::test::waitUntil([&] {
        return shell.calls().contains("setMailCount 7") && shell.calls().contains("setMemoCount 2");
    }));
    EXPECT_TRUE(shell.calls().contains("showToasterWindow MEMOCNT 2"));
    const auto requests = server.received();
    const auto memo = std::find_if(requests.cbegin(), requests.cend(),
                                   [](const auto &r) { return r.path == "/client/CountMessage.do"; });
    ASSERT_NE(memo, requests.cend());
    EXPECT_EQ(memo->body, "owner_cmn=100%201&ticket=t%26k");
    parley::PLEndpoints::setCurrent({});
}

TEST(JobQueue, ACommandThatWasNotSentLeavesTheQueueAsItWas)
{
    parley::PLJobQueue jobs;
    EXPECT_TRUE(jobs.record("5", {{"desc", "AddGroup"}}, true));
    // A refused send reports the previous tid: its job must stay.
    EXPECT_FALSE(jobs.record("5", {{"desc", "ChangeStatus"}}, false));
    ASSERT_TRUE(jobs.job("5"));
    EXPECT_EQ(jobs.job("5")->value("desc"), "AddGroup");
    EXPECT_EQ(jobs.take("5")->value("desc"), "AddGroup");
    EXPECT_FALSE(jobs.job("5"));
    EXPECT_FALSE(jobs.record("", {{"desc", "x"}}, true));
    EXPECT_EQ(jobs.count(), 0);
}

} // namespace
