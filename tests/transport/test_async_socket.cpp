// AsyncSocket over loopback: connecting, listening, reads and writes with
// their time-outs and tags, and closing.
#include "FakePeer.h"
#include "Net/AsyncSocket.h"
#include "SocketRecorder.h"
#include "TestSupport.h"

#include <QTcpSocket>
#include <gtest/gtest.h>
#include <thread>

using namespace parley;
using namespace parley::test;

namespace {

// A listener on the loopback addresses and one client connected to it.
struct Pair
{
    SocketRecorder serverSide;
    SocketRecorder clientSide;
    AsyncSocket listener{&serverSide};
    AsyncSocket client{&clientSide};

    bool open()
    {
        if (!listener.acceptOnInterface(QStringLiteral("localhost"), 0))
            return false;
        if (!client.connectToHost(QStringLiteral("127.0.0.1"), listener.localPort4(), 5))
            return false;
        return waitUntil([&] {
            return clientSide.events.contains(QStringLiteral("didConnect"))
                && serverSide.events.contains(QStringLiteral("didConnect"));
        });
    }
    AsyncSocket &server() { return *serverSide.accepted.at(0); }
};

} // namespace

TEST(AsyncSocket, ListensOnOnePortForBothFamilies)
{
    SocketRecorder recorder;
    AsyncSocket listener(&recorder);
    ASSERT_TRUE(listener.acceptOnInterface(QStringLiteral("loopback"), 0));
    EXPECT_NE(listener.localPort4(), 0);
    EXPECT_EQ(listener.localPort4(), listener.localPort6());

    for (const char *address : {"127.0.0.1", "::1"}) {
        SCOPED_TRACE(address);
        QTcpSocket peer;
        peer.connectToHost(QString::fromLatin1(address), listener.localPort6());
        ASSERT_TRUE(peer.waitForConnected(5000));
    }
    ASSERT_TRUE(waitUntil([&] { return recorder.accepted.size() == 2; }));
    EXPECT_THROW(listener.acceptOnPort(0), AsyncSocketException);
    EXPECT_THROW(listener.connectToHost(QStringLiteral("127.0.0.1"), 1), AsyncSocketException);
}

TEST(AsyncSocket, AcceptedConnectionReportsInOrder)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    EXPECT_EQ(pair.serverSide.events, (QStringList{"didAccept", "willConnect", "didConnect"}));
    EXPECT_EQ(pair.clientSide.events, (QStringList{"willConnect", "didConnect"}));
    EXPECT_EQ(pair.clientSide.connectedHost, QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(pair.client.isConnected());
}

TEST(AsyncSocket, MisuseRaisesTheSocketException)
{
    AsyncSocket socket;
    EXPECT_THROW(socket.connectToHost(QStringLiteral("127.0.0.1"), 1), AsyncSocketException);
    EXPECT_THROW(socket.acceptOnPort(0), AsyncSocketException);
}

TEST(AsyncSocket, DelegateCanCancelTheConnect)
{
    SocketRecorder recorder;
    recorder.allowConnect = false;
    AsyncSocket socket(&recorder);
    AsyncSocketError error;
    EXPECT_FALSE(socket.connectToHost(QStringLiteral("127.0.0.1"), 1, 5, &error));
    EXPECT_EQ(error.code, AsyncSocketError::CanceledError);
    EXPECT_EQ(error.domain, QStringLiteral("AsyncSocketErrorDomain"));
    EXPECT_EQ(error.description, QStringLiteral("Connection canceled"));
    EXPECT_TRUE(socket.isDisconnected());
    EXPECT_EQ(recorder.events, QStringList{"willConnect"});
}

TEST(AsyncSocket, ReadsDeliverWhatArrivesWithTheirTags)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    pair.client.readDataToData(AsyncSocket::CRLFData(), -1, 11);
    pair.client.readDataToLength(4, -1, 12);
    pair.client.readDataWithTimeout(-1, 13);
    pair.server().writeData("line\r\nabcdrest", -1, 1);
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.reads.size() == 3; }));
    EXPECT_EQ(pair.clientSide.reads, (QList<QByteArray>{"line\r\n", "abcd", "rest"}));
    EXPECT_TRUE(pair.clientSide.events.contains("read:11"));
    EXPECT_TRUE(pair.clientSide.events.contains("read:13"));
    EXPECT_EQ(pair.client.lastBytesDone(), 4);
}

TEST(AsyncSocket, LongWriteGoesOutInChunksWithProgress)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    QByteArray data(10000, 'x');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char('a' + i % 26);
    pair.server().readDataToLength(10000, -1, 0);
    pair.client.writeData(data, -1, 9);
    ASSERT_TRUE(waitUntil([&] { return pair.serverSide.reads.size() == 1; }));
    EXPECT_EQ(pair.serverSide.reads.at(0), data);
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.events.contains("wrote:9"); }));
    const QStringList writes = pair.clientSide.events.filter(QStringLiteral("wrote"));
    EXPECT_EQ(writes, (QStringList{"wrotePartial:9:4096", "wrotePartial:9:4096", "wrote:9"}));
}

namespace {
// Queues one more write when the first request is written.
struct ChainingRecorder : SocketRecorder
{
    QByteArray next;
    void onSocketDidWriteDataWithTag(AsyncSocket *socket, long tag) override
    {
        SocketRecorder::onSocketDidWriteDataWithTag(socket, tag);
        if (tag == 1)
            socket->writeData(next, -1, 3);
    }
};

QByteArray pattern(int size, char first)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char(first + i % 26);
    return data;
}
} // namespace

TEST(AsyncSocket, WritesQueuedMeanwhileOrFromTheCallbackGoOutInOrderWithProgress)
{
    SocketRecorder serverSide;
    ChainingRecorder clientSide;
    AsyncSocket listener(&serverSide);
    AsyncSocket client(&clientSide);
    ASSERT_TRUE(listener.acceptOnInterface(QStringLiteral("localhost"), 0));
    ASSERT_TRUE(client.connectToHost(QStringLiteral("127.0.0.1"), listener.localPort4(), 5));
    ASSERT_TRUE(waitUntil([&] { return serverSide.accepted.size() == 1 && client.isConnected(); }));
    const QByteArray first = pattern(10000, 'a');
    const QByteArray second = pattern(5000, 'A');
    clientSide.next = pattern(3000, '0');
    serverSide.accepted.at(0)->readDataToLength(18000, -1, 0);
    client.writeData(first, -1, 1);
    client.writeData(second, -1, 2);
    ASSERT_TRUE(waitUntil([&] { return serverSide.reads.size() == 1; }));
    EXPECT_EQ(serverSide.reads.at(0), first + second + clientSide.next);
    ASSERT_TRUE(waitUntil([&] { return clientSide.events.contains("wrote:3"); }));
    EXPECT_EQ(clientSide.events.filter(QStringLiteral("wrote")),
              (QStringList{"wrotePartial:1:4096", "wrotePartial:1:4096", "wrote:1", "wrotePartial:2:4096", "wrote:2",
                           "wrote:3"}));
}

TEST(AsyncSocket, EmptyWriteDoesNothing)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    pair.client.writeData({}, -1, 3);
    pair.client.writeData("x", -1, 4);
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.events.contains("wrote:4"); }));
    EXPECT_FALSE(pair.clientSide.events.contains("wrote:3"));
}

TEST(AsyncSocket, ReadPastItsMaximumClosesWithCode3)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    pair.client.readDataToData(AsyncSocket::CRLFData(), -1, 1, 4);
    pair.server().writeData("ABCDEF", -1, 0);
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.events.contains("didDisconnect"); }));
    ASSERT_TRUE(pair.clientSide.lastError.has_value());
    EXPECT_EQ(pair.clientSide.lastError->code, AsyncSocketError::ReadMaxedOutError);
    // Nothing received is lost: the unread bytes are handed over in order.
    EXPECT_EQ(pair.clientSide.unread, "ABCDEF");
}

TEST(AsyncSocket, ReadTimeOutAsksTheDelegateThenCloses)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    pair.client.readDataWithTimeout(0, 5);
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.events.contains("didDisconnect"); }));
    EXPECT_EQ(pair.clientSide.events.filter("Timeout"), QStringList{"shouldTimeoutRead:5"});
    ASSERT_TRUE(pair.clientSide.lastError.has_value());
    EXPECT_EQ(pair.clientSide.lastError->code, AsyncSocketError::ReadTimeoutError);
    EXPECT_EQ(pair.clientSide.events.indexOf("willDisconnect") + 1, pair.clientSide.events.indexOf("didDisconnect"));
}

TEST(AsyncSocket, ReadAfterDataGetsOneGracePeriodOnItsOwnSocketOnly)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    // A read on the server's side completes with data...
    pair.server().readDataWithTimeout(-1, 1);
    pair.client.writeData("hello", -1, 0);
    ASSERT_TRUE(waitUntil([&] { return pair.serverSide.reads.size() == 1; }));
    ASSERT_EQ(pair.server().lastBytesDone(), 5);
    EXPECT_EQ(pair.client.lastBytesDone(), 0);

    // ...which must not excuse a time-out on the other socket.
    pair.client.readDataWithTimeout(0, 2);
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.events.contains("didDisconnect"); }));
    EXPECT_EQ(pair.clientSide.lastError->code, AsyncSocketError::ReadTimeoutError);

    // On the server's own socket the first expiry only clears the mark.
    Pair other;
    ASSERT_TRUE(other.open());
    other.server().readDataWithTimeout(-1, 1);
    other.client.writeData("abc", -1, 0);
    ASSERT_TRUE(waitUntil([&] { return other.serverSide.reads.size() == 1; }));
    other.server().readDataWithTimeout(0, 2);
    ASSERT_TRUE(waitUntil([&] { return other.server().lastBytesDone() == 0; }));
    EXPECT_FALSE(other.serverSide.events.contains("shouldTimeoutRead:2"));
    EXPECT_TRUE(other.server().isConnected());
}

TEST(AsyncSocket, DelegateCanExtendAReadTimeOut)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    int asked = 0;
    pair.clientSide.extendRead = 0.01;
    pair.client.readDataWithTimeout(0, 5);
    ASSERT_TRUE(waitUntil([&] {
        asked = int(pair.clientSide.events.filter("shouldTimeoutRead").size());
        return asked >= 2;
    }));
    EXPECT_TRUE(pair.client.isConnected());
    pair.clientSide.extendRead = 0;
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.events.contains("didDisconnect"); }));
}

TEST(AsyncSocket, PeerClosingCleanlyIsNoError)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    pair.client.readDataWithTimeout(-1, 1);
    pair.server().disconnect();
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.events.contains("didDisconnect"); }));
    EXPECT_TRUE(pair.clientSide.hadError);
    EXPECT_FALSE(pair.clientSide.lastError.has_value());
}

TEST(AsyncSocket, DisconnectAfterWritingFinishesQueuedWrites)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    pair.server().readDataToLength(6, -1, 0);
    pair.client.writeData("abc", -1, 1);
    pair.client.writeData("def", -1, 2);
    pair.client.disconnectAfterWriting();
    pair.client.writeData("ignored", -1, 3);
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.events.contains("didDisconnect"); }));
    EXPECT_EQ(pair.clientSide.events.filter("wrote"), (QStringList{"wrote:1", "wrote:2"}));
    EXPECT_FALSE(pair.clientSide.hadError);
    ASSERT_TRUE(waitUntil([&] { return pair.serverSide.reads.size() == 1; }));
    EXPECT_EQ(pair.serverSide.reads.at(0), "abcdef");
}

TEST(AsyncSocket, ReadsAreIgnoredAfterDisconnectAfterReading)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    pair.client.disconnectAfterReading();
    pair.client.readDataWithTimeout(-1, 1);
    EXPECT_FALSE(pair.client.hasPendingRead());
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.events.contains("didDisconnect"); }));
}

TEST(AsyncSocket, CloseKeepsNothingAndCanConnectAgain)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    pair.client.readDataWithTimeout(-1, 1);
    pair.client.disconnect();
    EXPECT_TRUE(pair.client.isDisconnected());
    EXPECT_FALSE(pair.client.hasPendingRead());
    EXPECT_EQ(pair.clientSide.events.back(), QStringLiteral("didDisconnect"));
    pair.clientSide.events.clear();
    ASSERT_TRUE(pair.client.connectToHost(QStringLiteral("127.0.0.1"), pair.listener.localPort4(), 5));
    ASSERT_TRUE(waitUntil([&] { return pair.clientSide.events.contains("didConnect"); }));
}

TEST(AsyncSocket, ConnectTimeOutClosesWithCode2)
{
    // A proxy that takes the connection and never answers keeps the connect open.
    FakePeer silent;
    SocketRecorder recorder;
    AsyncSocket socket(&recorder);
    recorder.proxy = {AsyncSocketProxy::Type::Socks4, QStringLiteral("127.0.0.1"), silent.port(), {}, {}};
    recorder.proxyTarget = &socket;
    ASSERT_TRUE(socket.connectToHost(QStringLiteral("127.0.0.1"), 9, 0.05));
    ASSERT_TRUE(waitUntil([&] { return recorder.events.contains("didDisconnect"); }));
    EXPECT_EQ(recorder.events, (QStringList{"willConnect", "willDisconnect", "didDisconnect"}));
    ASSERT_TRUE(recorder.lastError.has_value());
    EXPECT_EQ(recorder.lastError->code, AsyncSocketError::ConnectTimeoutError);
}

TEST(AsyncSocket, RefusedConnectReportsAnError)
{
    quint16 closedPort = 0;
    {
        FakePeer reserved;
        closedPort = reserved.port();
    }
    SocketRecorder recorder;
    AsyncSocket socket(&recorder);
    ASSERT_TRUE(socket.connectToHost(QStringLiteral("127.0.0.1"), closedPort, 5));
    ASSERT_TRUE(waitUntil([&] { return recorder.events.contains("didDisconnect"); }));
    ASSERT_TRUE(recorder.lastError.has_value());
    EXPECT_FALSE(recorder.events.contains("didConnect"));
}

TEST(AsyncSocket, WriteFileFromAWorkerThreadWaitsUntilWritten)
{
    Pair pair;
    ASSERT_TRUE(pair.open());
    QByteArray data;
    for (int i = 0; i < 20000; ++i)
        data.append(char('0' + i % 10));
    pair.server().readDataToLength(data.size(), -1, 0);

    std::atomic<int> result{-1};
    std::thread worker([&] { result = pair.client.writeFile(data, 10, 4) ? 1 : 0; });
    ASSERT_TRUE(waitUntil([&] { return result.load() != -1; }));
    worker.join();
    EXPECT_EQ(result.load(), 1);
    ASSERT_TRUE(waitUntil([&] { return pair.serverSide.reads.size() == 1; }));
    EXPECT_EQ(pair.serverSide.reads.at(0), data);
    // One write as far as the delegate is concerned.
    EXPECT_EQ(pair.clientSide.events.filter("wrote:4").size(), 1);

    pair.client.disconnect();
    std::thread late([&] { result = pair.client.writeFile(data, 10, 5) ? 1 : 0; });
    ASSERT_TRUE(waitUntil([&] { return result.load() == 0; }));
    late.join();
}
