// The read side of the socket, fed in memory.
#include "Net/AsyncReadQueue.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace parley;
using Step = AsyncReadQueue::Step;

namespace {

struct Expected
{
    Step::Kind kind;
    QByteArray data; // for Completed
    qsizetype count; // for Partial
};

struct ReadCase
{
    const char *name;
    std::function<bool(AsyncReadQueue &)> enqueue;
    QList<QByteArray> arrivals;
    QList<Expected> steps; // the step after each arrival
    QByteArray leftOver;
};

} // namespace

TEST(AsyncReadQueue, ServesRequestsAsBytesArrive)
{
    const QByteArray crlf("\r\n");
    const ReadCase cases[] = {
        {"read-any takes one burst however small",
         [](AsyncReadQueue &q) { return q.enqueueReadAny(-1, 7); },
         {"ab"},
         {{Step::Completed, "ab", 0}},
         ""},
        {"read-any with maxLength 10 on 25 bytes",
         [](AsyncReadQueue &q) { return q.enqueueReadAny(-1, 7, 10); },
         {"0123456789abcdefghijklmno"},
         {{Step::Completed, "0123456789", 0}},
         "abcdefghijklmno"},
        {"CR LF terminator with surplus kept",
         [&](AsyncReadQueue &q) { return q.enqueueToData(crlf, -1, 7); },
         {"AB\r\nXY"},
         {{Step::Completed, "AB\r\n", 0}},
         "XY"},
        {"CR LF terminator split across arrivals",
         [&](AsyncReadQueue &q) { return q.enqueueToData(crlf, -1, 7); },
         {"AB\r", "\nXY"},
         {{Step::Partial, {}, 3}, {Step::Completed, "AB\r\n", 0}},
         "XY"},
        {"terminator within maxLength exactly",
         [&](AsyncReadQueue &q) { return q.enqueueToData(crlf, -1, 7, 4); },
         {"AB\r\nXY"},
         {{Step::Completed, "AB\r\n", 0}},
         "XY"},
        {"terminator beyond maxLength maxes out",
         [&](AsyncReadQueue &q) { return q.enqueueToData(crlf, -1, 7, 4); },
         {"ABCDEF"},
         {{Step::MaxedOut, {}, 4}},
         "EF"},
        {"fixed length delivered as 2 + 3",
         [](AsyncReadQueue &q) { return q.enqueueToLength(5, -1, 7); },
         {"12", "345"},
         {{Step::Partial, {}, 2}, {Step::Completed, "12345", 0}},
         ""},
        {"fixed length leaves the next bytes",
         [](AsyncReadQueue &q) { return q.enqueueToLength(3, -1, 7); },
         {"12345"},
         {{Step::Completed, "123", 0}},
         "45"},
    };
    for (const ReadCase &c : cases) {
        SCOPED_TRACE(c.name);
        AsyncReadQueue queue;
        ASSERT_TRUE(c.enqueue(queue));
        ASSERT_TRUE(queue.startNext());
        ASSERT_EQ(c.arrivals.size(), c.steps.size());
        for (qsizetype i = 0; i < c.arrivals.size(); ++i) {
            queue.append(c.arrivals[i]);
            const Step step = queue.serve();
            EXPECT_EQ(step.kind, c.steps[i].kind) << "arrival " << i;
            if (c.steps[i].kind == Step::Completed) {
                EXPECT_EQ(step.data, c.steps[i].data);
                EXPECT_EQ(step.tag, 7);
                EXPECT_FALSE(queue.hasCurrent());
            } else {
                EXPECT_EQ(step.count, c.steps[i].count);
            }
        }
        EXPECT_EQ(queue.preBuffer(), c.leftOver);
    }
}

TEST(AsyncReadQueue, RefusesRequestsThatFailTheirChecks)
{
    AsyncReadQueue queue;
    EXPECT_FALSE(queue.enqueueToLength(0, -1, 1));
    EXPECT_FALSE(queue.enqueueToData({}, -1, 1));
    EXPECT_FALSE(queue.enqueueToData("\r\n", -1, 1, 1));
    EXPECT_FALSE(queue.enqueueReadAny(-1, 1, -5));
    EXPECT_TRUE(queue.isIdle());
}

TEST(AsyncReadQueue, SurplusServesTheNextRequestWithoutNewBytes)
{
    AsyncReadQueue queue;
    queue.enqueueToData("\r\n", -1, 1);
    queue.enqueueToData("\r\n", -1, 2);
    queue.append("one\r\ntwo\r\n");
    queue.startNext();
    EXPECT_EQ(queue.serve().data, "one\r\n");
    queue.startNext();
    const Step second = queue.serve();
    EXPECT_EQ(second.data, "two\r\n");
    EXPECT_EQ(second.tag, 2);
}

TEST(AsyncReadQueue, UnreadDataKeepsTheCurrentReadsBytesFirst)
{
    AsyncReadQueue queue;
    queue.enqueueToLength(10, -1, 1);
    queue.startNext();
    queue.append("abc");
    EXPECT_EQ(queue.serve().kind, Step::Partial);
    queue.append("def");
    EXPECT_EQ(queue.takeUnread(), "abcdef");
    EXPECT_TRUE(queue.preBuffer().isEmpty());
}
