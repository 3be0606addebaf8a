// Memos filed by the service: each delivered memo gets its own cookie and
// the mark whether its thread holds related memos; an answer joins the
// thread of the memo whose cookie it carries; the related memos come back in
// batches over WGET MEMOREL1.
#include "ServiceFixture.h"

#include "MemoArchive.h"
#include "MemoWebCommands.h"

using namespace localservice;
using namespace localservice::test;

namespace {

QByteArray memoText(const QByteArray &cookie, const QByteArray &body)
{
    return "IMSG\r\ntitle:t\r\nfrom:x\r\nref:y\r\ndate:20240301094507\r\nfont-name:Gulim\r\nfont-size:9\r\n"
           "font-color:#050505\r\nfont-style:%00\r\ncookie:" + cookie + "\r\nevent:NW\r\n\r\n" + body;
}

TEST(MemoArchive, AnswersJoinTheThreadOfTheMemoTheyName)
{
    MemoArchive archive;
    const ArchivedMemo first = archive.file({}, "a@p.test", {"b@p.test"}, "20240301000000", "f", "one");
    const ArchivedMemo answer = archive.file(first.cookie, "b@p.test", {"a@p.test"}, "20240301000100", "f", "two");
    const ArchivedMemo unknown = archive.file("M-nowhere", "b@p.test", {"a@p.test"}, "20240301000200", "f", "three");
    EXPECT_NE(first.cookie, answer.cookie);
    EXPECT_EQ(answer.thread, first.thread);
    EXPECT_EQ(unknown.thread, unknown.cookie);
    EXPECT_TRUE(archive.hasRelated(first.cookie));
    EXPECT_FALSE(archive.hasRelated(unknown.cookie));
}

TEST(MemoArchive, RelatedMemosAreTheAskersOwnInBatches)
{
    MemoArchive archive;
    QString previous;
    for (int i = 0; i < 12; ++i) {
        const bool fromA = i % 2 == 0;
        previous = archive.file(previous, fromA ? "a@p.test" : "b@p.test", {fromA ? "b@p.test" : "a@p.test"},
                                "20240301000000", "f", QStringLiteral("memo %1").arg(i))
                       .cookie;
    }
    // A third party's memo in the same thread is not a's to see.
    archive.file(previous, "c@p.test", {"b@p.test"}, "20240301000000", "f", "private");

    const std::optional<MemoArchive::Batch> first = archive.related(previous, "a@p.test", -1, 5);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->memos.size(), 5);
    EXPECT_FALSE(first->last);
    EXPECT_EQ(first->memos.front().sequence, 1);
    const std::optional<MemoArchive::Batch> third = archive.related(previous, "a@p.test", 10, 5);
    ASSERT_TRUE(third);
    // Sequence 11 only: 12 is the memo asked about, 13 is c's.
    ASSERT_EQ(third->memos.size(), 1);
    EXPECT_EQ(third->memos.front().sequence, 11);
    EXPECT_TRUE(third->last);
    EXPECT_FALSE(archive.related("M-nowhere", "a@p.test", -1, 5));
}

TEST(MemoArchive, TheRelatedAnswerEscapesEveryField)
{
    MemoArchive archive;
    const ArchivedMemo first = archive.file({}, "a@p.test", {"b@p.test", "c@p.test"}, "20240301000000",
                                            "font-name:Apple Gothic", "two words\r\nand 100%");
    const ArchivedMemo answer = archive.file(first.cookie, "b@p.test", {"a@p.test"}, "", "f", "");
    bool known = false;
    const QByteArray text = memos::relatedAnswer(
        archive, "a@p.test", QStringLiteral("cookie=%1&seq=-1&count=5&read_yn=Y").arg(answer.cookie), &known);
    EXPECT_TRUE(known);
    EXPECT_EQ(text, QByteArray("N\r\n1 0 0 S a@p.test b@p.test;c@p.test 20240301000000 Y font-name:Apple%20Gothic "
                               "two%20words%0D%0Aand%20100%25"));
    // From b's side the same memo was received, and the empty fields stay fields.
    const QByteArray other = memos::relatedAnswer(
        archive, "b@p.test", QStringLiteral("cookie=%1&seq=-1&count=5&read_yn=Y").arg(first.cookie), &known);
    EXPECT_EQ(other, QByteArray("N\r\n2 0 0 S b@p.test a@p.test %00 Y f %00"));
    memos::relatedAnswer(archive, "a@p.test", QStringLiteral("cookie=%1&seq=x&count=5").arg(first.cookie), &known);
    EXPECT_FALSE(known);
}

class MemoThreadsTest : public ServiceTest {
protected:
    void SetUp() override { startService(); }

    std::unique_ptr<RawClient> online(const QByteArray &user, const QByteArray &password)
    {
        auto client = connectNotification();
        EXPECT_TRUE(signIn(*client, user, password));
        client->send("CPRM 23 0\r\n");
        return client;
    }
    static std::optional<QByteArray> lineStartingWith(RawClient &client, const QByteArray &prefix)
    {
        for (int i = 0; i < 50; ++i) {
            const auto line = client.readLine();
            if (!line || line->startsWith(prefix))
                return line;
        }
        return std::nullopt;
    }
    // The next delivered memo's text.
    static QByteArray receiveMemo(RawClient &client)
    {
        const std::optional<QByteArray> line = lineStartingWith(client, "CMSG ");
        if (!line)
            return {};
        const qsizetype length = line->mid(line->lastIndexOf(' ') + 1).toLongLong();
        return client.readBytes(length).value_or(QByteArray());
    }
    static QByteArray header(const QByteArray &memo, const QByteArray &key)
    {
        for (const QByteArray &l : memo.split('\n')) {
            if (l.startsWith(key + ':'))
                return l.mid(key.size() + 1).trimmed();
        }
        return "?";
    }
    static void sendMemo(RawClient &client, int tid, const QByteArray &to, const QByteArray &memo)
    {
        const QByteArray body = to + "\r\n" + memo;
        client.send("CMSG " + QByteArray::number(tid) + " N " + QByteArray::number(body.size()) + "\r\n" + body);
    }
};

TEST_F(MemoThreadsTest, DeliveredMemosCarryTheirCookieAndRelatedMark)
{
    auto alice = online("alice@parley.test", "alice-pw");
    auto bob = online("bob@parley.test", "bob-pw");
    sendMemo(*alice, 30, "bob@parley.test", memoText("", "hello"));
    const QByteArray first = receiveMemo(*bob);
    const QByteArray cookie = header(first, "cookie");
    EXPECT_TRUE(cookie.startsWith('M')) << first.toStdString();
    EXPECT_EQ(header(first, "related"), "N");
    EXPECT_TRUE(first.endsWith("\r\n\r\nhello"));

    sendMemo(*bob, 31, "alice@parley.test", memoText(cookie, "hi back"));
    const QByteArray answer = receiveMemo(*alice);
    EXPECT_EQ(header(answer, "related"), "Y");
    const QByteArray answerCookie = header(answer, "cookie");
    EXPECT_NE(answerCookie, cookie);

    const QByteArray request = "cookie=" + answerCookie + "&seq=-1&count=5&read_yn=Y";
    alice->send("WGET 32 MEMOREL1 N 8192 " + QByteArray::number(request.size()) + "\r\n" + request);
    const std::optional<QByteArray> line = lineStartingWith(*alice, "WGET ");
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->startsWith("WGET 32 MEMOREL1 1 1 100 ")) << line->toStdString();
    const QByteArray body = alice->readBytes(line->mid(line->lastIndexOf(' ') + 1).toLongLong()).value_or("");
    EXPECT_TRUE(body.startsWith("N\r\n1 0 0 S alice@parley.test bob@parley.test 20240301094507 Y ")) << body.toStdString();
    EXPECT_TRUE(body.endsWith(" hello"));

    alice->send("WGET 33 MEMOREL1 N 8192 8\r\ncookie=x");
    EXPECT_EQ(lineStartingWith(*alice, "501 "), QByteArray("501 33"));
    alice->send("WGET 34 MEMOCNT9 N 8192 0\r\n");
    EXPECT_EQ(lineStartingWith(*alice, "503 "), QByteArray("503 34"));
}

} // namespace
