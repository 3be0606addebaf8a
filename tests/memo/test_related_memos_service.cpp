// A memo window's related-memo thread fed by the local service's answers:
// batches of five, each asked after the last sequence number read, until the
// service says "N"; the memos come back in thread order with their text.
#include "MemoArchive.h"
#include "MemoWebCommands.h"
#include "RelatedMemoThread.h"
#include "Utils/ParleyStringAdditions.h"

#include <gtest/gtest.h>

namespace {

QString requestBody(const RelatedMemoThread::Request &r)
{
    return QStringLiteral("cookie=%1&seq=%2&count=%3&read_yn=Y").arg(r.cookie).arg(r.lastSequence).arg(r.count);
}

struct ThreadCase {
    int memos;      // in the thread, the one asked about included
    int requests;   // the window's requests until "N"
};

class ThreadAgainstService : public ::testing::TestWithParam<ThreadCase> {};

TEST_P(ThreadAgainstService, FetchesTheWholeThreadInBatchesOfFive)
{
    localservice::MemoArchive archive;
    QString cookie;
    for (int i = 0; i < GetParam().memos; ++i) {
        const bool fromA = i % 2 == 0;
        cookie = archive.file(cookie, fromA ? "a@p.test" : "b@p.test", {fromA ? "b@p.test" : "a@p.test"},
                              "20240301000000", "font-name:Gulim", QStringLiteral("memo number %1").arg(i))
                     .cookie;
    }
    RelatedMemoThread thread(RelatedMemoThread::Side::Read);
    thread.setCookie(cookie);
    thread.setServerHasMemos(true);

    QList<int> asked;
    RelatedMemoThread::Step step = thread.firstUse();
    while (step.request) {
        EXPECT_EQ(step.request->count, 5);
        asked.append(step.request->lastSequence);
        bool known = false;
        const QByteArray answer =
            localservice::memos::relatedAnswer(archive, "b@p.test", requestBody(*step.request), &known);
        ASSERT_TRUE(known);
        step = thread.takeReply(QString::fromUtf8(answer));
        ASSERT_LE(asked.size(), 20);
    }
    EXPECT_TRUE(step.showNow);
    EXPECT_EQ(asked.size(), GetParam().requests);
    ASSERT_EQ(thread.entries().size(), GetParam().memos - 1);
    for (int i = 0; i < thread.entries().size(); ++i) {
        const RelatedMemoEntry &entry = thread.entries()[i];
        EXPECT_EQ(entry.sequence, i + 1);
        EXPECT_EQ(parley::stringByParleyDecoding(entry.text), QStringLiteral("memo number %1").arg(i));
        // b sent the odd ones.
        EXPECT_EQ(entry.isSent(), i % 2 == 1);
    }
    if (asked.size() > 1) {
        EXPECT_EQ(asked[1], 5);
    }
    EXPECT_EQ(asked.front(), -1);
}

INSTANTIATE_TEST_SUITE_P(Memo, ThreadAgainstService,
                         ::testing::Values(ThreadCase{2, 1}, ThreadCase{6, 1}, ThreadCase{7, 2}, ThreadCase{12, 3},
                                           ThreadCase{16, 3}));

} // namespace
