// The HTTP tunnel: the reply reader in memory, the exact request bytes at a
// raw socket posing as the proxy, tickets, the poll and the bounded retries.
#include "FakePeer.h"
#include "HTTPInterface/PLHTTPProxySession.h"
#include "HTTPInterface/PLHTTPTunnelReply.h"
#include "LogCapture.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Sessions/PLDPSession.h"
#include "TestSession.h"
#include "TestSupport.h"
#include "Utils/PLEndpoints.h"

#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;
using Status = PLHTTPTunnelReply::Status;

TEST(PLHTTPTunnelReply, ReadsRepliesHoweverTheyArrive)
{
    struct Case
    {
        const char *name;
        QList<QByteArray> chunks;
        bool endOfStream;
        Status status;
        QByteArray body;
    };
    const Case cases[] = {
        {"header and body together", {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc"}, false, Status::Complete, "abc"},
        {"body in several reads",
         {"HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nab", "cd", "ef"},
         false,
         Status::Complete,
         "abcdef"},
        {"header split across reads", {"HTTP/1.1 200 OK\r\nConte", "nt-Length: 2\r\n\r", "\nxy"}, false, Status::Complete, "xy"},
        {"empty body", {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"}, false, Status::Complete, ""},
        {"bytes past the length are not ours", {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nxyz"}, false, Status::Complete, "xy"},
        {"no length: read to the end", {"HTTP/1.0 200 OK\r\nX: y\r\n\r\nabc", "def"}, true, Status::Complete, "abcdef"},
        {"cut short", {"HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc"}, true, Status::Error, ""},
        {"ended before the header", {"HTTP/1.1 200 OK\r\n"}, true, Status::Error, ""},
        {"proxy refusal is not data", {"HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 2\r\n\r\nno"}, false, Status::Error, ""},
        {"negative length", {"HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n"}, false, Status::Error, ""},
        {"length not a number", {"HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n\r\n"}, false, Status::Error, ""},
        {"length over 16 MiB", {"HTTP/1.1 200 OK\r\nContent-Length: 16777217\r\n\r\n"}, false, Status::Error, ""},
        {"header of one line only", {"HTTP/1.1 200 OK\r\n\r\n"}, false, Status::Error, ""},
        {"header over 64 KiB", {"HTTP/1.1 200 OK\r\nX: " + QByteArray(64 * 1024, 'a')}, false, Status::Error, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PLHTTPTunnelReply reply;
        Status status = Status::NeedMore;
        for (const QByteArray &chunk : c.chunks)
            status = reply.feed(chunk);
        if (c.endOfStream)
            status = reply.finish();
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(reply.body(), c.body);
    }
}

TEST(PLHTTPTunnelReply, ParsesHeaderFields)
{
    int code = 0;
    const auto fields = PLHTTPTunnelReply::parseHeader(
        "HTTP/1.1 200 OK\r\nTicket: \t T-1 \r\nDate: 12:00:00\r\nno colon here\r\nContent-Length:5\r\n\r\n", &code);
    ASSERT_TRUE(fields.has_value());
    EXPECT_EQ(code, 200);
    EXPECT_EQ(fields->value("Ticket"), QStringLiteral("T-1"));
    EXPECT_EQ(fields->value("Content-Length"), QStringLiteral("5"));
    // Two colons: not a field.
    EXPECT_FALSE(fields->contains("Date"));
    EXPECT_EQ(fields->size(), 2);
    EXPECT_FALSE(PLHTTPTunnelReply::parseHeader("HTTP/1.1 200 OK\r\n").has_value());
    EXPECT_FALSE(PLHTTPTunnelReply::parseHeader("HTTP/1.1 200 OK\r\nX: \xff\r\n").has_value());
}

TEST(PLHTTPProxySession, RequestBytesAreExact)
{
    struct Case
    {
        QString packet;
        QByteArray expected;
    };
    const Case cases[] = {
        {QStringLiteral("PING 3\r\n"),
         "POST http://tunnel.example:8080/ HTTP/1.1\r\nTarget: ns.example:7001\r\nProxy-Connection: Keep-Alive\r\n"
         "Connection: Keep-Alive\r\nPragma: no-cache\r\nTicket: T9\r\nHost: tunnel.example\r\nContent-Length: 8\r\n\r\nPING 3\r\n"},
        // The poll: nothing after the empty line.
        {QString(QLatin1String("")),
         "POST http://tunnel.example:8080/ HTTP/1.1\r\nTarget: ns.example:7001\r\nProxy-Connection: Keep-Alive\r\n"
         "Connection: Keep-Alive\r\nPragma: no-cache\r\nTicket: T9\r\nHost: tunnel.example\r\nContent-Length: 0\r\n\r\n"},
        // Bytes, not characters.
        {QString::fromUtf8("MESG 1 \xc3\xa9\xe2\x82\xac\r\n"),
         "POST http://tunnel.example:8080/ HTTP/1.1\r\nTarget: ns.example:7001\r\nProxy-Connection: Keep-Alive\r\n"
         "Connection: Keep-Alive\r\nPragma: no-cache\r\nTicket: T9\r\nHost: tunnel.example\r\nContent-Length: 14\r\n\r\n"
         "MESG 1 \xc3\xa9\xe2\x82\xac\r\n"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(PLHTTPProxySession::requestBytes(QStringLiteral("tunnel.example"), 8080, QStringLiteral("ns.example:7001"),
                                                   QStringLiteral("T9"), c.packet),
                  c.expected);
    }
}

namespace {

// A raw socket posing as the user's HTTP proxy: it records each request and
// answers with the next canned reply, one connection per exchange.
struct TunnelProxy
{
    QList<QByteArray> replies;
    FakePeer peer{[this](FakePeer::Connection &c) {
        const qsizetype headerEnd = c.received.indexOf("\r\n\r\n");
        if (headerEnd < 0 || c.stage != 0)
            return;
        const qsizetype lengthAt = c.received.indexOf("Content-Length: ");
        const qsizetype lengthEnd = c.received.indexOf("\r\n", lengthAt);
        const int length = c.received.mid(lengthAt + 16, lengthEnd - lengthAt - 16).toInt();
        if (c.received.size() < headerEnd + 4 + length)
            return;
        c.stage = 1;
        if (!replies.isEmpty() && !holdReplies)
            c.socket->write(replies.takeFirst());
    }};
    bool holdReplies = false;
};

struct TunnelSession
{
    TunnelProxy proxy;
    TestSession session;
    TunnelSession()
    {
        PLEndpoints endpoints;
        endpoints.tunnelHost = QStringLiteral("tunnel.example");
        endpoints.tunnelPort = 80;
        PLEndpoints::setCurrent(endpoints);
        session.setHostAddress(QStringLiteral("ns.example"), 7001);
        session.setProxyMode(PLSession::HTTPTunnel, QStringLiteral("127.0.0.1"), proxy.peer.port(), {}, {});
    }
    ~TunnelSession() { PLEndpoints::setCurrent(PLEndpoints()); }
};

QByteArray reply(const QByteArray &body, const QByteArray &ticket = {})
{
    QByteArray r = "HTTP/1.1 200 OK\r\n";
    if (!ticket.isEmpty())
        r += "Ticket: " + ticket + "\r\n";
    return r + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace

TEST(PLHTTPProxySession, CommandsTravelAsPostsAndRepliesAreDispatched)
{
    TunnelSession t;
    t.proxy.replies = {reply("PING 9\r\n", "TK-1"), reply("PONG 10\r\n", "TK-2"), reply("")};
    ASSERT_TRUE(t.session.sendPacketString(QStringLiteral("PING 1\r\n")));
    EXPECT_TRUE(t.session.isHTTPProxyPacketProcess());
    // Nothing went through a socket of the session's own.
    EXPECT_FALSE(t.session.mySocket()->isConnected());
    ASSERT_TRUE(waitUntil([&] { return t.session.handled.contains("PING 9"); }));
    EXPECT_EQ(t.proxy.peer.receivedOn(0),
              "POST http://tunnel.example:80/ HTTP/1.1\r\nTarget: ns.example:7001\r\nProxy-Connection: Keep-Alive\r\n"
              "Connection: Keep-Alive\r\nPragma: no-cache\r\nTicket: 0\r\nHost: tunnel.example\r\nContent-Length: 8\r\n\r\n"
              "PING 1\r\n");
    EXPECT_EQ(t.session.httpProxyTicket(), QStringLiteral("TK-1"));
    ASSERT_TRUE(waitUntil([&] { return !t.session.isHTTPProxyPacketProcess(); }));

    // The adopted ticket travels from now on; a later, different one is ignored.
    ASSERT_TRUE(t.session.sendPacketString(QStringLiteral("PING 2\r\n")));
    ASSERT_TRUE(waitUntil([&] { return t.session.handled.contains("PONG-quick 10"); }));
    EXPECT_TRUE(t.proxy.peer.receivedOn(1).contains("\r\nTicket: TK-1\r\n"));
    EXPECT_EQ(t.session.httpProxyTicket(), QStringLiteral("TK-1"));
}

TEST(PLHTTPProxySession, PollSendsAnEmptyPostOnlyWhenNoneIsInFlight)
{
    TunnelSession t;
    t.proxy.holdReplies = true;
    t.proxy.replies = {reply("")};
    ASSERT_TRUE(t.session.sendPacketString(QStringLiteral("PING 1\r\n")));
    ASSERT_TRUE(waitUntil([&] { return t.proxy.peer.connections().size() == 1 && t.proxy.peer.connections()[0]->stage == 1; }));
    t.session.pollHTTPProxy();
    QCoreApplication::processEvents();
    EXPECT_EQ(t.proxy.peer.connections().size(), 1);

    t.proxy.peer.connections()[0]->socket->write(t.proxy.replies.takeFirst());
    ASSERT_TRUE(waitUntil([&] { return !t.session.isHTTPProxyPacketProcess(); }));
    t.session.pollHTTPProxy();
    ASSERT_TRUE(waitUntil([&] { return t.proxy.peer.connections().size() == 2 && t.proxy.peer.connections()[1]->stage == 1; }));
    EXPECT_TRUE(t.proxy.peer.receivedOn(1).endsWith("Content-Length: 0\r\n\r\n"));
}

// Through the tunnel LOUT is an exchange like any other: logging out stops
// the polls but lets the exchange run, and a session dropped then goes once
// the exchange has ended, not before.
TEST(PLHTTPProxySession, LogoutLetsTheLOUTExchangeEnd)
{
    TunnelProxy proxy;
    proxy.holdReplies = true;
    proxy.replies = {reply("")};
    PLEndpoints endpoints;
    endpoints.tunnelHost = QStringLiteral("tunnel.example");
    endpoints.tunnelPort = 80;
    PLEndpoints::setCurrent(endpoints);
    QPointer<PLDPSession> session = new PLDPSession(QStringLiteral("ns.example"), 7001);
    session->setProxyMode(PLSession::HTTPTunnel, QStringLiteral("127.0.0.1"), proxy.peer.port(), {}, {});
    ASSERT_TRUE(session->canSignOut());
    ASSERT_TRUE(session->logout());
    session->disposeAfterWriting(10000);
    ASSERT_TRUE(session->isDraining());
    bool drained = false;
    QObject::connect(session, &PLSession::drained, [&] { drained = true; });
    ASSERT_TRUE(waitUntil([&] { return proxy.peer.connections().size() == 1 && proxy.peer.connections()[0]->stage == 1; }));
    EXPECT_TRUE(proxy.peer.receivedOn(0).endsWith("\r\n\r\nLOUT 1\r\n"));
    // The exchange is still on: the session waits for it, and polls nothing.
    session->pollHTTPProxy();
    QCoreApplication::processEvents();
    EXPECT_EQ(proxy.peer.connections().size(), 1);
    EXPECT_FALSE(drained);
    ASSERT_TRUE(session);
    proxy.peer.connections()[0]->socket->write(proxy.replies.takeFirst());
    ASSERT_TRUE(waitUntil([&] { return !session; }));
    EXPECT_TRUE(drained);
    EXPECT_EQ(proxy.peer.connections().size(), 1);
    PLEndpoints::setCurrent(PLEndpoints());
}

TEST(PLHTTPProxySession, UnreachableProxyIsRetriedABoundedNumberOfTimes)
{
    LogCapture log;
    quint16 closedPort = 0;
    {
        FakePeer reserved;
        closedPort = reserved.port();
    }
    PLEndpoints endpoints;
    endpoints.tunnelHost = QStringLiteral("tunnel.example");
    endpoints.tunnelAttempts = 3;
    PLEndpoints::setCurrent(endpoints);
    TestSession session;
    session.setHostAddress(QStringLiteral("ns.example"), 7001);
    session.setProxyMode(PLSession::HTTPTunnel, QStringLiteral("127.0.0.1"), closedPort, {}, {});
    bool failed = false;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(notifications::kSessionConnectionFailed), &session, [&](const Notification &) { failed = true; });
    ASSERT_TRUE(session.sendPacketString(QStringLiteral("PING 1\r\n")));
    ASSERT_TRUE(waitUntil([&] { return failed; }));
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_EQ(log.count(QStringLiteral("mHost = 127.0.0.1")), 3);
    EXPECT_EQ(log.count(QStringLiteral("portNo = %1").arg(closedPort)), 3);
    EXPECT_FALSE(session.isHTTPProxyPacketProcess());
    PLEndpoints::setCurrent(PLEndpoints());
}
