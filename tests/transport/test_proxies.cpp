// Connecting through proxies: SOCKS4 (our own handshake), SOCKS5 with user
// and password, and HTTPS CONNECT, each against a small proxy written here,
// with refusals and replies cut short.
#include "FakePeer.h"
#include "Net/PLSocks4Handshake.h"
#include "SocketRecorder.h"
#include "TestSession.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;

namespace {

const QByteArray kWelcome = "WELCOME\r\n";

// How a fake proxy answers the handshake.
enum class Answer { Grant, Refuse, CutShort, Garbage };

struct Outcome
{
    bool connected = false;
    QByteArray received;
    std::optional<AsyncSocketError> error;
};

// Connects through the proxy to 127.0.0.1:4242 (the proxy itself plays the
// target) and reads what arrives after the handshake.
Outcome connectThrough(const AsyncSocketProxy &proxy, const QString &target = QStringLiteral("127.0.0.1"))
{
    SocketRecorder recorder;
    AsyncSocket socket(&recorder);
    recorder.proxy = proxy;
    recorder.proxyTarget = &socket;
    Outcome outcome;
    if (!socket.connectToHost(target, 4242, 5))
        return outcome;
    waitUntil([&] { return recorder.events.contains("didConnect") || recorder.events.contains("didDisconnect"); });
    outcome.connected = recorder.events.contains("didConnect");
    if (outcome.connected) {
        socket.readDataToData(AsyncSocket::CRLFData(), 5, 1);
        waitUntil([&] { return !recorder.reads.isEmpty() || recorder.events.contains("didDisconnect"); });
        outcome.received = recorder.received;
    }
    outcome.error = recorder.lastError;
    return outcome;
}

} // namespace

TEST(PLSocks4Handshake, RequestAndReply)
{
    EXPECT_EQ(PLSocks4Handshake::request(0x7F000001, 0x1092, "bob"),
              QByteArray("\x04\x01\x10\x92\x7f\x00\x00\x01" "bob\x00", 12));
    EXPECT_EQ(PLSocks4Handshake::request(0x0A000002, 80), QByteArray("\x04\x01\x00\x50\x0a\x00\x00\x02\x00", 9));

    struct Case
    {
        QByteArray bytes;
        PLSocks4Handshake::Reply::Status status;
        int code;
    };
    const Case cases[] = {
        {QByteArray("\x00\x5a\x00\x00\x00\x00\x00\x00", 8), PLSocks4Handshake::Reply::Granted, 90},
        {QByteArray("\x00\x5b\x00\x00\x00\x00\x00\x00", 8), PLSocks4Handshake::Reply::Refused, 91},
        {QByteArray("\x00\x5d\x00\x00\x00\x00\x00\x00", 8), PLSocks4Handshake::Reply::Refused, 93},
        {QByteArray("\x00\x5a\x00", 3), PLSocks4Handshake::Reply::NeedMore, 0},
        {QByteArray("\x04\x5a\x00\x00\x00\x00\x00\x00", 8), PLSocks4Handshake::Reply::Malformed, 0},
        {QByteArray("\x00\x07\x00\x00\x00\x00\x00\x00", 8), PLSocks4Handshake::Reply::Malformed, 7},
    };
    for (const Case &c : cases) {
        const auto reply = PLSocks4Handshake::parseReply(c.bytes);
        EXPECT_EQ(reply.status, c.status) << c.bytes.toHex().toStdString();
        EXPECT_EQ(reply.code, c.code);
    }
}

TEST(AsyncSocketProxies, Socks4)
{
    struct Case
    {
        const char *name;
        Answer answer;
        QString target;
        bool connects;
    };
    const Case cases[] = {
        {"granted, data follows in the same packet", Answer::Grant, QStringLiteral("127.0.0.1"), true},
        {"granted for a name we resolve ourselves", Answer::Grant, QStringLiteral("localhost"), true},
        {"refused", Answer::Refuse, QStringLiteral("127.0.0.1"), false},
        {"reply cut short", Answer::CutShort, QStringLiteral("127.0.0.1"), false},
        {"not a SOCKS4 reply", Answer::Garbage, QStringLiteral("127.0.0.1"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray request;
        FakePeer proxy([&](FakePeer::Connection &conn) {
            if (conn.stage != 0 || conn.received.size() < 9 || conn.received.indexOf('\0', 8) < 0)
                return;
            conn.stage = 1;
            request = conn.received;
            switch (c.answer) {
            case Answer::Grant: conn.socket->write(QByteArray("\x00\x5a\x00\x00\x00\x00\x00\x00", 8) + kWelcome); break;
            case Answer::Refuse: conn.socket->write(QByteArray("\x00\x5b\x00\x00\x00\x00\x00\x00", 8)); break;
            case Answer::CutShort:
                conn.socket->write(QByteArray("\x00\x5a\x00", 3));
                conn.socket->disconnectFromHost();
                break;
            case Answer::Garbage: conn.socket->write("HTTP/1.1 400 Bad\r\n\r\n"); break;
            }
        });
        const Outcome outcome =
            connectThrough({AsyncSocketProxy::Type::Socks4, QStringLiteral("127.0.0.1"), proxy.port(), QStringLiteral("me"), {}}, c.target);
        EXPECT_EQ(request, QByteArray("\x04\x01\x10\x92\x7f\x00\x00\x01me\x00", 11));
        EXPECT_EQ(outcome.connected, c.connects);
        if (c.connects) {
            EXPECT_EQ(outcome.received, kWelcome);
        } else {
            ASSERT_TRUE(outcome.error.has_value());
            EXPECT_EQ(outcome.error->domain, QStringLiteral("SOCKSErrorDomain"));
        }
    }
}

TEST(AsyncSocketProxies, Socks5WithUserAndPassword)
{
    struct Case
    {
        const char *name;
        Answer answer;
        bool connects;
    };
    const Case cases[] = {
        {"accepted", Answer::Grant, true},
        {"wrong password refused", Answer::Refuse, false},
        {"reply cut short", Answer::CutShort, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray credentials;
        QByteArray connectRequest;
        FakePeer proxy([&](FakePeer::Connection &conn) {
            QByteArray &in = conn.received;
            if (conn.stage == 0 && in.size() >= 2 && in.size() >= 2 + quint8(in[1])) {
                const QByteArray methods = in.mid(2, quint8(in[1]));
                in.remove(0, 2 + methods.size());
                conn.stage = 1;
                conn.socket->write(methods.contains('\x02') ? QByteArray("\x05\x02", 2) : QByteArray("\x05\xff", 2));
            }
            if (conn.stage == 1 && in.size() >= 2) {
                const int userLength = quint8(in[1]);
                if (in.size() < 3 + userLength || in.size() < 3 + userLength + quint8(in[2 + userLength]))
                    return;
                const int passLength = quint8(in[2 + userLength]);
                credentials = in.left(3 + userLength + passLength);
                in.remove(0, credentials.size());
                conn.stage = 2;
                if (c.answer == Answer::Refuse) {
                    conn.socket->write(QByteArray("\x01\x01", 2));
                    conn.socket->disconnectFromHost();
                    return;
                }
                if (c.answer == Answer::CutShort) {
                    conn.socket->write(QByteArray("\x01", 1));
                    conn.socket->disconnectFromHost();
                    return;
                }
                conn.socket->write(QByteArray("\x01\x00", 2));
            }
            if (conn.stage == 2 && in.size() >= 10) {
                connectRequest = in.left(10);
                in.remove(0, 10);
                conn.stage = 3;
                conn.socket->write(QByteArray("\x05\x00\x00\x01\x00\x00\x00\x00\x00\x00", 10) + kWelcome);
            }
        });
        const QString password = c.answer == Answer::Refuse ? QStringLiteral("wrong") : QStringLiteral("secret");
        const Outcome outcome = connectThrough(
            {AsyncSocketProxy::Type::Socks5, QStringLiteral("127.0.0.1"), proxy.port(), QStringLiteral("alice"), password});
        EXPECT_EQ(credentials, QByteArray("\x01\x05" "alice") + char(password.size()) + password.toLatin1());
        EXPECT_EQ(outcome.connected, c.connects);
        if (c.connects) {
            // CONNECT to the IPv4 address 127.0.0.1, port 4242.
            EXPECT_EQ(connectRequest, QByteArray("\x05\x01\x00\x01\x7f\x00\x00\x01\x10\x92", 10));
            EXPECT_EQ(outcome.received, kWelcome);
        } else {
            EXPECT_TRUE(outcome.error.has_value());
        }
    }
}

TEST(AsyncSocketProxies, HttpsConnect)
{
    struct Case
    {
        const char *name;
        Answer answer;
        bool connects;
    };
    const Case cases[] = {
        {"established", Answer::Grant, true},
        {"forbidden", Answer::Refuse, false},
        {"reply cut short", Answer::CutShort, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray request;
        FakePeer proxy([&](FakePeer::Connection &conn) {
            if (conn.stage != 0 || !conn.received.contains("\r\n\r\n"))
                return;
            conn.stage = 1;
            request = conn.received;
            switch (c.answer) {
            case Answer::Grant: conn.socket->write("HTTP/1.1 200 Connection established\r\n\r\n" + kWelcome); break;
            case Answer::Refuse: conn.socket->write("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n"); break;
            default:
                conn.socket->write("HTTP/1.1 2");
                conn.socket->disconnectFromHost();
                break;
            }
        });
        const Outcome outcome = connectThrough({AsyncSocketProxy::Type::HttpsConnect, QStringLiteral("127.0.0.1"), proxy.port(), {}, {}});
        EXPECT_TRUE(request.startsWith("CONNECT 127.0.0.1:4242 HTTP/1.")) << request.toStdString();
        EXPECT_EQ(outcome.connected, c.connects);
        if (c.connects)
            EXPECT_EQ(outcome.received, kWelcome);
        else
            EXPECT_TRUE(outcome.error.has_value());
    }
}

TEST(AsyncSocketProxies, SessionProxyModesChooseTheHandshake)
{
    struct Case
    {
        int mode;
        QByteArray firstBytes; // what the proxy sees first
    };
    const Case cases[] = {
        {PLSession::Socks4, QByteArray("\x04\x01", 2)},
        {PLSession::Socks5, QByteArray("\x05", 1)},
        {PLSession::HTTPTunnel, QByteArray("CONNECT ")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        FakePeer proxy;
        TestSession session;
        session.setProxyMode(c.mode, QStringLiteral("127.0.0.1"), proxy.port(), QStringLiteral("u"), QStringLiteral("p"));
        session.setHostAddress(QStringLiteral("127.0.0.1"), 4242);
        ASSERT_TRUE(session.connect());
        ASSERT_TRUE(waitUntil([&] { return proxy.receivedOn(0).size() >= c.firstBytes.size(); }));
        EXPECT_TRUE(proxy.receivedOn(0).startsWith(c.firstBytes)) << proxy.receivedOn(0).toHex().toStdString();
        session.disconnect();
    }
}
