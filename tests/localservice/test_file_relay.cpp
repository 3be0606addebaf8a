// The file relay once it has joined a pair: bytes both ways, in order and
// whole, those sent with the first line included, and the end of one side
// ending both after what it sent has arrived.

#include "FileRelayServer.h"
#include "RawClient.h"
#include "TestSupport.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <memory>

using localservice::FileRelayServer;
using localservice::test::RawClient;

namespace {

QByteArray pattern(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (char &byte : bytes)
        byte = char(generator.generate());
    return bytes;
}

struct JoinedPair
{
    FileRelayServer relay;
    std::unique_ptr<RawClient> down; // sent FRIN
    std::unique_ptr<RawClient> up;   // sent ATHC

    // Joins the pair, each side sending bytes behind its first line; answers
    // whether each side got the other's.
    bool join()
    {
        if (!relay.listen(0, nullptr))
            return false;
        const QByteArray cookie = relay.issueCookie().toUtf8();
        down = std::make_unique<RawClient>(relay.port());
        down->send("FRIN 1 up@parley.test " + cookie + "\r\nfrom down first");
        up = std::make_unique<RawClient>(relay.port());
        up->send("ATHC 1 up@parley.test down@parley.test K1 " + cookie + " 6004 0\r\nfrom up first");
        return down->readLine() == "ATHC 1 up@parley.test down@parley.test K1 " + cookie + " 6004 0"
               && down->readBytes(13) == "from up first" && up->readBytes(15) == "from down first";
    }
};

} // namespace

TEST(FileRelay, PassesBytesBothWaysWholeAndInOrder)
{
    JoinedPair pair;
    ASSERT_TRUE(pair.join());
    EXPECT_EQ(pair.relay.joinedPairs(), 1);
    // More than the kernel's buffers hold at once, both ways at the same time.
    const QByteArray upward = pattern(3 * 1024 * 1024 + 7, 1);
    const QByteArray downward = pattern(5 * 1024 * 1024 + 3, 2);
    pair.up->send(downward);
    pair.down->send(upward);
    EXPECT_EQ(pair.down->readBytes(downward.size()), downward);
    EXPECT_EQ(pair.up->readBytes(upward.size()), upward);
}

TEST(FileRelay, OneSideEndingEndsBothAfterItsBytesArrive)
{
    for (const bool upLeaves : {true, false}) {
        SCOPED_TRACE(upLeaves ? "the uploader leaves" : "the downloader leaves");
        JoinedPair pair;
        ASSERT_TRUE(pair.join());
        RawClient &leaving = upLeaves ? *pair.up : *pair.down;
        RawClient &staying = upLeaves ? *pair.down : *pair.up;
        const QByteArray last = pattern(2 * 1024 * 1024, 3);
        leaving.send(last);
        leaving.close();
        EXPECT_EQ(staying.readBytes(last.size()), last);
        EXPECT_TRUE(staying.waitClosed());
    }
}
