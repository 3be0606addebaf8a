// The related-memo replies and the batches of five they are fetched in.
#include "RelatedMemoReply.h"
#include "RelatedMemoThread.h"

#include <gtest/gtest.h>

namespace {

QString line(int seq, const char *direction = "R", const char *flag = "Y")
{
    return QString::number(seq) + QStringLiteral(" 0 0 ") + QLatin1String(direction)
         + QStringLiteral(" b@parley.test a@parley.test;c@parley.test 20240102030405 ") + QLatin1String(flag)
         + QStringLiteral(" font-name:Gulim;font-style:%00;font-size:9;font-color:#050505 hello%20")
         + QString::number(seq);
}

TEST(RelatedMemoReply, ReadsTheEndMarkerAndEveryTenFieldLine)
{
    const RelatedMemoReply reply =
        RelatedMemoReply::parse(QStringLiteral("N\r\n") + line(3, "S") + QStringLiteral("\r\n") + line(4, "R", "N"));
    EXPECT_TRUE(reply.isLast);
    EXPECT_FALSE(reply.malformed);
    ASSERT_EQ(reply.entries.size(), 2);
    const RelatedMemoEntry &first = reply.entries[0];
    EXPECT_EQ(first.sequence, 3);
    EXPECT_TRUE(first.isSent());
    EXPECT_EQ(first.senderID, QStringLiteral("b@parley.test"));
    EXPECT_EQ(first.receiverIDs, QStringLiteral("a@parley.test;c@parley.test"));
    EXPECT_EQ(first.date, QStringLiteral("20240102030405"));
    EXPECT_TRUE(first.flag);
    EXPECT_EQ(first.fontAttributes, QStringLiteral("font-name:Gulim;font-style:%00;font-size:9;font-color:#050505"));
    EXPECT_EQ(first.text, QStringLiteral("hello%203"));
    EXPECT_FALSE(reply.entries[1].isSent());
    EXPECT_FALSE(reply.entries[1].flag);
}

struct ReplyCase {
    const char *name;
    QString text;
    bool isLast;
    int entries;
    bool malformed;
};

class ReplyShapes : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyShapes, Parse)
{
    const ReplyCase &c = GetParam();
    const RelatedMemoReply reply = RelatedMemoReply::parse(c.text);
    EXPECT_EQ(reply.isLast, c.isLast) << c.name;
    EXPECT_EQ(reply.entries.size(), c.entries) << c.name;
    EXPECT_EQ(reply.malformed, c.malformed) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Related, ReplyShapes,
    ::testing::Values(
        ReplyCase{"only the marker", QStringLiteral("N"), true, 0, false},
        ReplyCase{"more follow", QStringLiteral("Y\r\n") + line(1), false, 1, false},
        ReplyCase{"marker is exactly N", QStringLiteral("n\r\n") + line(1), false, 1, false},
        ReplyCase{"trailing line break", QStringLiteral("N\r\n") + line(1) + QStringLiteral("\r\n"), true, 1, false},
        ReplyCase{"a short line ends the reading", QStringLiteral("N\r\n") + line(1) + QStringLiteral("\r\n1 2 3\r\n") + line(2),
                  true, 1, true},
        ReplyCase{"two blanks make an eleventh field", QStringLiteral("Y\r\n") + line(1).replace(QStringLiteral(" 0 0 "), QStringLiteral(" 0  0 ")),
                  false, 0, true},
        ReplyCase{"empty text", QString(), false, 0, false},
        ReplyCase{"bare line feeds are one line", QStringLiteral("N\n") + line(1), false, 0, false}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

QString batch(bool last, int from, int count)
{
    QString text = last ? QStringLiteral("N") : QStringLiteral("Y");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("\r\n") + line(from + i);
    return text;
}

TEST(RelatedMemoThread, ReadWindowAsksInBatchesOfFiveUntilTheEndMarker)
{
    RelatedMemoThread thread(RelatedMemoThread::Side::Read);
    thread.setCookie(QStringLiteral("c1"));
    thread.setServerHasMemos(true);

    RelatedMemoThread::Step step = thread.firstUse();
    ASSERT_TRUE(step.request);
    EXPECT_EQ(*step.request, (RelatedMemoThread::Request{QStringLiteral("c1"), -1, 5, false}));
    EXPECT_FALSE(step.showNow);
    // A second click asks nothing more.
    EXPECT_FALSE(thread.firstUse().request);

    step = thread.takeReply(batch(false, 1, 5));
    ASSERT_TRUE(step.request);
    EXPECT_EQ(step.request->lastSequence, 5);
    EXPECT_FALSE(step.showNow);
    step = thread.takeReply(batch(true, 6, 2));
    EXPECT_FALSE(step.request);
    EXPECT_TRUE(step.showNow);
    ASSERT_EQ(thread.entries().size(), 7);
    EXPECT_EQ(thread.entries().front().sequence, 1);
    EXPECT_EQ(thread.entries().back().sequence, 7);
    // A late copy of a reply changes nothing.
    EXPECT_FALSE(thread.takeReply(batch(true, 6, 2)).showNow);
    EXPECT_EQ(thread.entries().size(), 7);
}

TEST(RelatedMemoThread, ReadWindowAsksOnlyWhenTheServerMarkedRelatedMemos)
{
    RelatedMemoThread thread(RelatedMemoThread::Side::Read);
    thread.setCookie(QStringLiteral("c1"));
    const RelatedMemoThread::Step step = thread.firstUse();
    EXPECT_FALSE(step.request);
    EXPECT_FALSE(step.showNow);
    EXPECT_TRUE(thread.isAsked());
    // A reply nobody asked for is not taken.
    EXPECT_FALSE(thread.takeReply(batch(true, 1, 1)).showNow);
    EXPECT_TRUE(thread.entries().isEmpty());
}

TEST(RelatedMemoThread, ComposeWindowShowsTheAnsweredMemoAloneWithoutServerMemos)
{
    RelatedMemoThread thread(RelatedMemoThread::Side::Compose);
    // No cookie: a new memo; the button does nothing.
    EXPECT_FALSE(thread.firstUse().showNow);
    EXPECT_FALSE(thread.isAsked());

    thread.setCookie(QStringLiteral("c9"));
    RelatedMemoEntry answered;
    answered.senderID = QStringLiteral("b@parley.test");
    thread.addLocalEntry(answered);
    const RelatedMemoThread::Step step = thread.firstUse();
    EXPECT_FALSE(step.request);
    EXPECT_TRUE(step.showNow);
    EXPECT_EQ(thread.entries().size(), 1);
}

TEST(RelatedMemoThread, ComposeWindowAppendsTheServersMemosAfterTheAnsweredOne)
{
    RelatedMemoThread thread(RelatedMemoThread::Side::Compose);
    thread.setCookie(QStringLiteral("c9"));
    thread.setServerHasMemos(true);
    thread.addLocalEntry(RelatedMemoEntry{});
    RelatedMemoThread::Step step = thread.firstUse();
    ASSERT_TRUE(step.request);
    EXPECT_EQ(*step.request, (RelatedMemoThread::Request{QStringLiteral("c9"), -1, 5, true}));
    step = thread.takeReply(batch(true, 10, 3));
    EXPECT_TRUE(step.showNow);
    ASSERT_EQ(thread.entries().size(), 4);
    EXPECT_EQ(thread.entries()[1].sequence, 10);
}

TEST(RelatedMemoThread, AServerThatNeverEndsTheListIsNotAskedForever)
{
    RelatedMemoThread thread(RelatedMemoThread::Side::Read);
    thread.setCookie(QStringLiteral("c1"));
    thread.setServerHasMemos(true);
    ASSERT_TRUE(thread.firstUse().request);
    ASSERT_TRUE(thread.takeReply(batch(false, 1, 5)).request);
    // The same batch again: the cursor stays, so the list ends here.
    const RelatedMemoThread::Step repeat = thread.takeReply(batch(false, 1, 5));
    EXPECT_FALSE(repeat.request);
    EXPECT_TRUE(repeat.showNow);

    RelatedMemoThread empty(RelatedMemoThread::Side::Read);
    empty.setCookie(QStringLiteral("c2"));
    empty.setServerHasMemos(true);
    ASSERT_TRUE(empty.firstUse().request);
    const RelatedMemoThread::Step nothing = empty.takeReply(QStringLiteral("Y"));
    EXPECT_FALSE(nothing.request);
    EXPECT_TRUE(nothing.showNow);

    RelatedMemoThread endless(RelatedMemoThread::Side::Read);
    endless.setCookie(QStringLiteral("c3"));
    endless.setServerHasMemos(true);
    RelatedMemoThread::Step step = endless.firstUse();
    int replies = 0;
    for (int seq = 1; step.request && replies < 1000; seq += 5, ++replies)
        step = endless.takeReply(batch(false, seq, 5));
    EXPECT_TRUE(step.showNow);
    EXPECT_EQ(endless.entries().size(), RelatedMemoThread::kMaxEntries);
}

TEST(RelatedMemoEntry, TravelsAsTheTenValuesOfItsList)
{
    RelatedMemoEntry entry = RelatedMemoReply::parse(QStringLiteral("N\r\n") + line(4, "S")).entries.value(0);
    const QVariantList list = entry.toList();
    ASSERT_EQ(list.size(), 10);
    EXPECT_EQ(list[0].toInt(), 4);
    EXPECT_EQ(list[7].toBool(), true);
    EXPECT_EQ(RelatedMemoEntry::fromList(list), entry);
    EXPECT_FALSE(RelatedMemoEntry::fromList(list.mid(1)));
    QVariantList badSequence = list;
    badSequence[0] = QStringLiteral("four");
    EXPECT_FALSE(RelatedMemoEntry::fromList(badSequence));
}

} // namespace
