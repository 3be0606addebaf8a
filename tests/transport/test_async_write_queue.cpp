// The write side of the socket, in memory.
#include "Net/AsyncWriteQueue.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace parley;

TEST(AsyncWriteQueue, LongWriteGoesOutIn4096ByteChunks)
{
    AsyncWriteQueue queue;
    QByteArray data(10000, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i % 251);
    ASSERT_TRUE(queue.enqueue({data, 0, 3, -1, false, {}}));
    ASSERT_TRUE(queue.startNext());
    QList<qsizetype> chunks;
    QByteArray sent;
    bool complete = false;
    while (!complete) {
        const QByteArray chunk = queue.nextChunk();
        ASSERT_FALSE(chunk.isEmpty());
        chunks << chunk.size();
        sent += chunk;
        complete = queue.chunkWritten(chunk.size());
    }
    EXPECT_EQ(chunks, (QList<qsizetype>{4096, 4096, 1808}));
    EXPECT_EQ(sent, data);
    const auto done = queue.takeCurrent();
    ASSERT_TRUE(done.has_value());
    EXPECT_EQ(done->tag, 3);
    EXPECT_TRUE(queue.isIdle());
}

TEST(AsyncWriteQueue, AChunkTakenOnlyInPartResumesWhereItStopped)
{
    AsyncWriteQueue queue;
    queue.enqueue({"abcdefgh", 0, 1, -1, false, {}});
    queue.startNext();
    EXPECT_FALSE(queue.chunkWritten(3));
    EXPECT_EQ(queue.nextChunk(), "defgh");
    EXPECT_TRUE(queue.chunkWritten(5));
}

TEST(AsyncWriteQueue, EmptyWritesAreRefusedAndOrderIsKept)
{
    AsyncWriteQueue queue;
    EXPECT_FALSE(queue.enqueue({{}, 0, 1, -1, false, {}}));
    EXPECT_TRUE(queue.isIdle());
    queue.enqueue({"one", 0, 1, -1, false, {}});
    queue.enqueue({"two", 0, 2, -1, false, {}});
    queue.startNext();
    EXPECT_EQ(queue.nextChunk(), "one");
    EXPECT_FALSE(queue.startNext() && queue.nextChunk() == "two") << "one request at a time";
    queue.chunkWritten(3);
    queue.takeCurrent();
    queue.startNext();
    EXPECT_EQ(queue.nextChunk(), "two");
}

TEST(AsyncWriteQueue, DroppingTellsEveryWaitingWriter)
{
    AsyncWriteQueue queue;
    QList<int> outcomes;
    for (int i = 0; i < 3; ++i)
        queue.enqueue({"x", 0, i, -1, false, [&outcomes, i](bool ok) { outcomes << (ok ? i : -i - 1); }});
    queue.startNext();
    queue.dropAll();
    EXPECT_EQ(outcomes, (QList<int>{-1, -2, -3}));
    EXPECT_TRUE(queue.isIdle());
}
