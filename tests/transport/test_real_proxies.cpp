// Smoke tests through real proxies from Debian's packages (microsocks,
// tinyproxy, dante-server; scripts/setup installs them). Each proxy is started
// on a port reserved and released just before, retried once if that port was
// taken meanwhile, and the test is skipped when the package is missing.
#include "FakePeer.h"
#include "SocketRecorder.h"
#include "TestSession.h"
#include "TestSupport.h"
#include "Utils/PLEndpoints.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <functional>

using namespace parley;
using namespace parley::test;

namespace {

class RealProxy
{
public:
    // `arguments` builds the command line for a port (writing any
    // configuration file into `dir`).
    using Arguments = std::function<QStringList(quint16 port, const QString &dir)>;

    RealProxy(const QString &program, const Arguments &arguments)
    {
        mProgram = QStandardPaths::findExecutable(program);
        if (mProgram.isEmpty())
            mProgram = QStandardPaths::findExecutable(program, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        if (mProgram.isEmpty())
            return;
        for (int attempt = 0; attempt < 2 && !mReady; ++attempt)
            mReady = start(arguments);
    }
    ~RealProxy() { stop(); }

    bool installed() const { return !mProgram.isEmpty(); }
    bool ready() const { return mReady; }
    quint16 port() const { return mPort; }
    QString output() const { return mOutput; }

private:
    bool start(const Arguments &arguments)
    {
        stop();
        {
            FakePeer reserve; // a port the kernel chose, released again
            mPort = reserve.port();
        }
        mProcess.setProcessChannelMode(QProcess::MergedChannels);
        mProcess.start(mProgram, arguments(mPort, mDir.path()));
        if (!mProcess.waitForStarted(5000))
            return false;
        // Ready once it accepts a connection; a bind failure ends the process.
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && mProcess.state() == QProcess::Running) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, mPort);
            if (probe.waitForConnected(200))
                return true;
            mProcess.waitForFinished(100);
        }
        mOutput = QString::fromUtf8(mProcess.readAll());
        return false;
    }
    void stop()
    {
        if (mProcess.state() == QProcess::NotRunning)
            return;
        mProcess.terminate();
        if (!mProcess.waitForFinished(5000)) {
            mProcess.kill();
            mProcess.waitForFinished(5000);
        }
    }

    QString mProgram;
    QTemporaryDir mDir;
    QProcess mProcess;
    quint16 mPort = 0;
    bool mReady = false;
    QString mOutput;
};

// A target that echoes every byte back.
FakePeer::Handler echo()
{
    return [](FakePeer::Connection &c) {
        c.socket->write(c.received);
        c.received.clear();
    };
}

// Connects through the proxy to the echo target and sends one line.
QByteArray roundTrip(const AsyncSocketProxy &proxy, quint16 targetPort)
{
    SocketRecorder recorder;
    AsyncSocket socket(&recorder);
    recorder.proxy = proxy;
    recorder.proxyTarget = &socket;
    if (!socket.connectToHost(QStringLiteral("127.0.0.1"), targetPort, 10))
        return {};
    if (!waitUntil([&] { return recorder.events.contains("didConnect") || recorder.events.contains("didDisconnect"); }, 10000)
        || !recorder.events.contains("didConnect"))
        return {};
    socket.writeData("HELLO\r\n", 10, 1);
    socket.readDataToData(AsyncSocket::CRLFData(), 10, 2);
    waitUntil([&] { return !recorder.reads.isEmpty() || recorder.events.contains("didDisconnect"); }, 10000);
    return recorder.received;
}

#define REQUIRE_PROXY(proxy, package)                                                                                  \
    if (!(proxy).installed())                                                                                          \
        GTEST_SKIP() << package " is not installed (scripts/setup installs it)";                                        \
    ASSERT_TRUE((proxy).ready()) << (proxy).output().toStdString()

} // namespace

TEST(RealProxies, MicrosocksSocks5WithUserAndPassword)
{
    FakePeer target(echo());
    RealProxy proxy(QStringLiteral("microsocks"), [](quint16 port, const QString &) {
        return QStringList{"-i", "127.0.0.1", "-p", QString::number(port), "-u", "alice", "-P", "secret"};
    });
    REQUIRE_PROXY(proxy, "microsocks");
    EXPECT_EQ(roundTrip({AsyncSocketProxy::Type::Socks5, QStringLiteral("127.0.0.1"), proxy.port(), "alice", "secret"}, target.port()),
              "HELLO\r\n");
    EXPECT_TRUE(roundTrip({AsyncSocketProxy::Type::Socks5, QStringLiteral("127.0.0.1"), proxy.port(), "alice", "wrong"}, target.port())
                    .isEmpty());
}

namespace {
RealProxy::Arguments tinyproxyConfig(quint16 connectPort)
{
    return [connectPort](quint16 port, const QString &dir) {
        const QString path = dir + QStringLiteral("/tinyproxy.conf");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("Port %1\nListen 127.0.0.1\nTimeout 30\nAllow 127.0.0.1\nMaxClients 8\nConnectPort %2\n")
                       .arg(port)
                       .arg(connectPort)
                       .toUtf8());
        return QStringList{"-d", "-c", path};
    };
}
} // namespace

TEST(RealProxies, TinyproxyConnect)
{
    FakePeer target(echo());
    RealProxy proxy(QStringLiteral("tinyproxy"), tinyproxyConfig(target.port()));
    REQUIRE_PROXY(proxy, "tinyproxy");
    EXPECT_EQ(roundTrip({AsyncSocketProxy::Type::HttpsConnect, QStringLiteral("127.0.0.1"), proxy.port(), {}, {}}, target.port()),
              "HELLO\r\n");
}

TEST(RealProxies, TinyproxyCarriesTheTunnel)
{
    // The tunnel server: answers each POST with one command line.
    QByteArray seen;
    FakePeer tunnel([&](FakePeer::Connection &c) {
        if (c.stage != 0 || !c.received.contains("\r\n\r\nPING 1\r\n"))
            return;
        c.stage = 1;
        seen = c.received;
        c.socket->write("HTTP/1.1 200 OK\r\nTicket: TK\r\nContent-Length: 8\r\n\r\nPING 9\r\n");
    });
    RealProxy proxy(QStringLiteral("tinyproxy"), tinyproxyConfig(tunnel.port()));
    REQUIRE_PROXY(proxy, "tinyproxy");
    PLEndpoints endpoints;
    endpoints.tunnelHost = QStringLiteral("127.0.0.1");
    endpoints.tunnelPort = tunnel.port();
    PLEndpoints::setCurrent(endpoints);

    TestSession session;
    session.setHostAddress(QStringLiteral("ns.example"), 7001);
    session.setProxyMode(PLSession::HTTPTunnel, QStringLiteral("127.0.0.1"), proxy.port(), {}, {});
    ASSERT_TRUE(session.sendPacketString(QStringLiteral("PING 1\r\n")));
    EXPECT_TRUE(waitUntil([&] { return session.handled.contains("PING 9"); }, 10000));
    // tinyproxy rewrites the request; what must survive is the tunnel's own.
    EXPECT_TRUE(seen.contains("Target: ns.example:7001\r\n"));
    EXPECT_TRUE(seen.contains("Ticket: 0\r\n"));
    EXPECT_EQ(session.httpProxyTicket(), QStringLiteral("TK"));
    PLEndpoints::setCurrent(PLEndpoints());
}

TEST(RealProxies, DanteSocks4AndSocks5)
{
    FakePeer target(echo());
    RealProxy proxy(QStringLiteral("danted"), [](quint16 port, const QString &dir) {
        const QString path = dir + QStringLiteral("/danted.conf");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("logoutput: stderr\ninternal: 127.0.0.1 port = %1\nexternal: 127.0.0.1\n"
                                  "clientmethod: none\nsocksmethod: none\nuser.privileged: root\nuser.unprivileged: nobody\n"
                                  "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
                                  "socks pass { from: 127.0.0.0/8 to: 0.0.0.0/0 protocol: tcp }\n")
                       .arg(port)
                       .toUtf8());
        return QStringList{"-f", path, "-p", dir + QStringLiteral("/danted.pid")};
    });
    REQUIRE_PROXY(proxy, "dante-server");
    EXPECT_EQ(roundTrip({AsyncSocketProxy::Type::Socks4, QStringLiteral("127.0.0.1"), proxy.port(), {}, {}}, target.port()),
              "HELLO\r\n");
    EXPECT_EQ(roundTrip({AsyncSocketProxy::Type::Socks5, QStringLiteral("127.0.0.1"), proxy.port(), {}, {}}, target.port()),
              "HELLO\r\n");
}
