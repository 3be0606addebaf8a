// PLSession: transaction ids, framing and dispatch, sending, relay mode,
// proxy settings, and what happens on loss and on disconnect.
#include "FakePeer.h"
#include "LogCapture.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Packet/PLSendPacket.h"
#include "TestSession.h"
#include "TestSupport.h"
#include "Utils/PLEndpoints.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;

namespace {

// A session connected over loopback to a peer that records what it gets.
struct Connected
{
    explicit Connected(bool withDefault = true) : session(withDefault) {}

    FakePeer peer;
    TestSession session;

    bool open()
    {
        session.setHostAddress(QStringLiteral("127.0.0.1"), peer.port());
        return session.connect() && waitUntil([&] { return session.handled.contains("connected"); })
            && waitUntil([&] { return !peer.connections().isEmpty(); });
    }
    void send(const QByteArray &bytes)
    {
        peer.connections().first()->socket->write(bytes);
    }
};

} // namespace

TEST(PLSession, TidsStartAtOneAndSkipTheLastValue)
{
    TestSession session;
    EXPECT_EQ(session.tid(), 1u);
    EXPECT_EQ(session.tid(), 2u);
    EXPECT_EQ(session.recentTid(), 2u);
    EXPECT_EQ(session.recentTidKey(), QStringLiteral("2"));

    session.setMTid(0xFFFFFFFDu);
    EXPECT_EQ(session.tid(), 0xFFFFFFFDu);
    EXPECT_EQ(session.tid(), 0xFFFFFFFEu);
    EXPECT_EQ(session.tid(), 5u);
    EXPECT_EQ(session.tid(), 6u);
    EXPECT_EQ(session.recentTid(), 6u);
}

TEST(PLSession, FirstTidAfterAReconnectIsOne)
{
    Connected c;
    ASSERT_TRUE(c.open());
    c.session.tid();
    c.session.tid();
    c.session.disconnect();
    c.session.setHostAddress(QStringLiteral("127.0.0.1"), c.peer.port());
    ASSERT_TRUE(c.session.connect());
    // 0 would read as a command the server started on its own.
    EXPECT_EQ(c.session.tid(), 1u);
}

TEST(PLSession, FramesLinesAndBodiesHoweverTheyArrive)
{
    struct Case
    {
        const char *name;
        QList<QByteArray> chunks;
        QHash<int, qint64> bodies;
        QStringList expected;
    };
    QList<QByteArray> byteByByte;
    for (char c : QByteArray("PING 3\r\nabcdePONG 4\r\n"))
        byteByByte.append(QByteArray(1, c));
    const Case cases[] = {
        {"several lines in one chunk", {"PING 1\r\nPING 2\r\nPONG 3\r\n"}, {}, {"PING 1", "PING 2", "PONG-quick 3"}},
        {"a line split across reads", {"PIN", "G 1\r", "\nPING 2\r\n"}, {}, {"PING 1", "PING 2"}},
        {"body byte by byte, then the next line", byteByByte, {{3, 5}}, {"PING 3", "body:abcde", "PONG-quick 4"}},
        {"body and next line in one chunk", {"PING 3\r\nab\r\nePING 5\r\n"}, {{3, 5}}, {"PING 3", "body:ab\r\ne", "PING 5"}},
        {"zero-length body is handed over empty", {"PING 3\r\nPING 4\r\n"}, {{3, 0}}, {"PING 3", "body:", "PING 4"}},
        {"unknown word is dropped, the loop goes on", {"ZZZZ 1\r\nPING 2\r\n"}, {}, {"PING 2"}},
        {"line that is not UTF-8 is dropped", {"PING \xff\r\nPING 2\r\n"}, {}, {"PING 2"}},
        {"command without an entry goes to default", {"911 7\r\n"}, {}, {"default 0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture quiet;
        TestSession session;
        session.bodyLengths = c.bodies;
        for (const QByteArray &chunk : c.chunks)
            session.dataReceived(chunk);
        EXPECT_EQ(session.handled, c.expected);
    }
}

TEST(PLSession, WordInBothTablesIsQuick)
{
    TestSession session;
    session.dataReceived("PONG 8\r\n");
    EXPECT_EQ(session.handled, QStringList{"PONG-quick 8"});
}

TEST(PLSession, MissingHandlerAndUndecodableLineAreLogged)
{
    LogCapture log;
    TestSession session(false);
    session.dataReceived("911 7\r\n");
    EXPECT_TRUE(log.contains("selector not found"));
    EXPECT_TRUE(session.handled.isEmpty());
    session.dataReceived("QQQQ 1\r\n");
    EXPECT_TRUE(log.contains("last sending packet = "));
}

TEST(PLSession, ProtocolErrorsCloseTheConnectionAsALoss)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        qint64 bodyLength;
    };
    const Case cases[] = {
        {"header line over 64 KiB", QByteArray(64 * 1024 + 10, 'A'), 0},
        {"negative body length", "PING 3\r\n", -5},
        {"absent body length", "PING 3\r\n", -1},
        {"body over 16 MiB", "PING 3\r\n", 16 * 1024 * 1024 + 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        Connected conn;
        ASSERT_TRUE(conn.open());
        conn.session.bodyLengths = {{3, c.bodyLength}};
        conn.session.sendPacketString(QStringLiteral("PING 1\r\n"));
        conn.send(c.bytes);
        ASSERT_TRUE(waitUntil([&] { return conn.session.handled.contains("disconnected"); }));
        ASSERT_TRUE(conn.session.lossError.has_value());
        EXPECT_EQ(conn.session.lossError->domain, QStringLiteral("PLSessionErrorDomain"));
        EXPECT_TRUE(log.contains("protocol error"));
        EXPECT_FALSE(conn.session.isConnected());
        // The receive state went with the connection.
        conn.session.dataReceived("PING 9\r\n");
        EXPECT_TRUE(conn.session.handled.contains("PING 9"));
    }
}

// A peer that sends nothing but lines no handler takes is cut off after a
// thousand in a row; a known line in between starts the count again.
TEST(PLSession, AFloodOfUnknownLinesClosesTheConnection)
{
    struct Case
    {
        const char *name;
        QByteArray line;
    };
    const Case cases[] = {
        {"unknown word", "XXXX 0 junk\r\n"},
        {"no handler for an error code", "911 7\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        Connected conn(false);
        ASSERT_TRUE(conn.open());
        conn.session.sendPacketString(QStringLiteral("PING 1\r\n"));
        conn.send(c.line.repeated(999) + "PING 2\r\n" + c.line.repeated(999) + "PING 3\r\n");
        ASSERT_TRUE(waitUntil([&] { return conn.session.handled.contains("PING 3"); }));
        EXPECT_TRUE(conn.session.isConnected());
        EXPECT_FALSE(log.contains("in a row"));
        conn.send(c.line.repeated(1000) + "PING 4\r\n");
        ASSERT_TRUE(waitUntil([&] { return conn.session.handled.contains("disconnected"); }));
        EXPECT_FALSE(conn.session.handled.contains("PING 4"));
        EXPECT_TRUE(log.contains("1000 unknown or invalid lines in a row"));
    }
}

TEST(PLSession, DisconnectClearsTheBufferAndTheAwaitedBody)
{
    TestSession session;
    session.dataReceived("PI");
    session.disconnect();
    session.dataReceived("NG 3\r\n");
    EXPECT_TRUE(session.handled.isEmpty());

    session.bodyLengths = {{4, 10}};
    session.dataReceived("PING 4\r\n");
    ASSERT_TRUE(session.mIsBodyWait());
    session.disconnect();
    EXPECT_FALSE(session.mIsBodyWait());
    session.dataReceived("PING 5\r\n");
    EXPECT_EQ(session.handled, (QStringList{"PING 4", "PING 5"}));
}

TEST(PLSession, OwnerDroppingTheSessionInAHandlerIsSafe)
{
    PLSessionPtr owner(new TestSession);
    auto *session = static_cast<TestSession *>(owner.get());
    QPointer<PLSession> watch(session);
    session->onHandle = [&](PLRecvPacket &) { owner.reset(); };
    session->dataReceived("PING 1\r\nPING 2\r\n");
    // Still alive after the handler, and the rest of the chunk was not run.
    ASSERT_TRUE(watch);
    EXPECT_EQ(session->handled, QStringList{"PING 1"});
    // The deletion waits for the event loop (deferred deletes outside a
    // running loop are delivered explicitly here).
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
}

TEST(PLSession, SendingReportsTheTruth)
{
    LogCapture log;
    TestSession session;
    PLSendPacket packet(1);
    packet.setCommand(QStringLiteral("PING"));
    EXPECT_FALSE(session.sendPacket(packet));
    EXPECT_FALSE(session.sendPacketString(QStringLiteral("PING 1\r\n")));
    EXPECT_TRUE(log.contains("break : flag is false"));

    Connected c;
    ASSERT_TRUE(c.open());
    EXPECT_TRUE(c.session.sendPacket(packet));
    EXPECT_TRUE(c.session.sendPacketString(QStringLiteral("PONG 2\r\n")));
    EXPECT_EQ(c.session.lastSentPacket(), QStringLiteral("PONG 2\r\n"));
    ASSERT_TRUE(waitUntil([&] { return c.peer.receivedOn(0) == "PING 1\r\nPONG 2\r\n"; }));
}

TEST(PLSession, OneReadIsPendingHoweverManyCommandsAreSent)
{
    Connected c;
    ASSERT_TRUE(c.open());
    for (int i = 1; i <= 5; ++i)
        ASSERT_TRUE(c.session.sendPacketString(QStringLiteral("PING %1\r\n").arg(i)));
    EXPECT_EQ(c.session.mySocket()->pendingReadCount(), 1);
    c.send("PING 7\r\nPONG 8\r\n");
    ASSERT_TRUE(waitUntil([&] { return c.session.handled.contains("PONG-quick 8"); }));
    ASSERT_TRUE(waitUntil([&] { return c.session.mySocket()->pendingReadCount() == 1; }));
    c.send("PING 9\r\n");
    ASSERT_TRUE(waitUntil([&] { return c.session.handled.contains("PING 9"); }));
}

TEST(PLSession, RelayModeConnectsToTheRelayAndSendsRCON)
{
    FakePeer relay;
    TestSession session;
    session.setHostAddress(QStringLiteral("dp.example"), 7001);
    session.setPRSModeWithInfo({{"host", "127.0.0.1"}, {"portNo", QString::number(relay.port())}});
    ASSERT_TRUE(session.isPRSMode());
    ASSERT_TRUE(session.connect());
    ASSERT_TRUE(waitUntil([&] { return session.handled.contains("connected"); }));
    ASSERT_TRUE(session.remoteConnect());
    ASSERT_TRUE(waitUntil([&] { return relay.receivedOn(0) == "RCON 1 dp.example 7001\r\n"; }));
}

TEST(PLSession, RelayInfoNeedsHostAndPort)
{
    LogCapture log;
    const QVariantMap incomplete[] = {{{"host", "relay"}}, {{"portNo", 80}}, {}};
    for (const QVariantMap &info : incomplete) {
        TestSession session;
        session.setPRSModeWithInfo(info);
        EXPECT_FALSE(session.isPRSMode());
    }
    TestSession session;
    EXPECT_FALSE(session.remoteConnect());
}

TEST(PLSession, ProxySettingsRefuseBadInput)
{
    LogCapture log;
    struct Case
    {
        int mode;
        const char *user;
        const char *password;
        bool stored;
    };
    const Case cases[] = {
        {4, "u", "p", false}, {-1, "u", "p", false}, {3, "u", nullptr, false}, {3, nullptr, "p", false},
        {3, "u", "p", true},  {2, nullptr, nullptr, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        TestSession session;
        session.setProxyMode(c.mode, QStringLiteral("127.0.0.1"), 1080, c.user ? QString::fromLatin1(c.user) : QString(),
                             c.password ? QString::fromLatin1(c.password) : QString());
        EXPECT_EQ(session.mProxyMode(), c.stored ? c.mode : 0);
        EXPECT_EQ(session.mProxyServerIP(), c.stored ? QStringLiteral("127.0.0.1") : QString());
    }
}

TEST(PLSession, ConnectThatCannotStartPostsTheFailure)
{
    TestSession session;
    QVariantMap info;
    const void *sender = nullptr;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(notifications::kSessionConnectionFailed), nullptr, [&](const Notification &n) {
            info = n.userInfo;
            sender = n.sender;
        });
    EXPECT_FALSE(session.connect());
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_EQ(sender, &session);
    ASSERT_TRUE(info.contains("errorClass"));
    EXPECT_TRUE(info.value("errorClass").canConvert<AsyncSocketError>());
}

TEST(PLSession, EveryConnectHasATimeOut)
{
    PLEndpoints endpoints;
    endpoints.connectTimeout = 0.05;
    PLEndpoints::setCurrent(endpoints);
    FakePeer silentProxy;
    TestSession session;
    session.setProxyMode(PLSession::Socks4, QStringLiteral("127.0.0.1"), silentProxy.port(), {}, {});
    session.setHostAddress(QStringLiteral("127.0.0.1"), 9);
    ASSERT_TRUE(session.connect());
    ASSERT_TRUE(waitUntil([&] { return session.handled.contains("disconnected"); }));
    ASSERT_TRUE(session.lossError.has_value());
    EXPECT_EQ(session.lossError->code, AsyncSocketError::ConnectTimeoutError);
    PLEndpoints::setCurrent(PLEndpoints());
}

TEST(PLSession, PeerLossIsReportedAndClearsTheBuffer)
{
    Connected c;
    ASSERT_TRUE(c.open());
    c.session.sendPacketString(QStringLiteral("PING 1\r\n"));
    c.send("PING 2\r\nPI");
    ASSERT_TRUE(waitUntil([&] { return c.session.handled.contains("PING 2"); }));
    c.peer.connections().first()->socket->disconnectFromHost();
    ASSERT_TRUE(waitUntil([&] { return c.session.handled.contains("disconnected"); }));
    c.session.dataReceived("NG 3\r\n");
    EXPECT_FALSE(c.session.handled.contains("PING 3"));
}
