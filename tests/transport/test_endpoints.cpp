// The endpoints configuration file.
#include "TestSupport.h"
#include "Utils/PLEndpoints.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace parley;

TEST(PLEndpoints, DefaultsAreTheServicePorts)
{
    const PLEndpoints defaults;
    EXPECT_EQ(defaults.dispatchPort, 5004);
    EXPECT_EQ(defaults.relayPort1, 80);
    EXPECT_EQ(defaults.relayPort2, 1863);
    EXPECT_EQ(defaults.tunnelPort, 80);
    EXPECT_EQ(defaults.connectTimeout, 20.0);
    EXPECT_TRUE(defaults.dispatchHost.isEmpty());
}

TEST(PLEndpoints, ParsesEveryKey)
{
    const auto parsed = PLEndpoints::fromText("# local service\n"
                                              "dispatch.host = 127.0.0.1\n"
                                              "dispatch.port=40001\n"
                                              "\n"
                                              "relay.host = relay.example\n"
                                              "relay.port1 = 40002\n"
                                              "relay.port2 = 40003\n"
                                              "tunnel.host = tunnel.example\n"
                                              "tunnel.port = 40004\n"
                                              "connect.timeout = 0.5\n"
                                              "connectivity.timeout = 2\n"
                                              "tunnel.attempts = 5\n"
                                              "tunnel.timeout = 7.5\n"
                                              "web.animicon = http://anico.example:8080/\n"
                                              "portal.maildomains = a.example,b.example , c.example\n"
                                              "login.maildomains = d.example, e.example, f.example, g.example, "
                                              "h.example, i.example, j.example\n"
                                              "signout.timeout = 1.5\n"
                                              "p2p.timeout = 2.5\n");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->dispatchHost, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(parsed->dispatchPort, 40001);
    EXPECT_EQ(parsed->relayHost, QStringLiteral("relay.example"));
    EXPECT_EQ(parsed->relayPort1, 40002);
    EXPECT_EQ(parsed->relayPort2, 40003);
    EXPECT_EQ(parsed->tunnelHost, QStringLiteral("tunnel.example"));
    EXPECT_EQ(parsed->tunnelPort, 40004);
    EXPECT_EQ(parsed->connectTimeout, 0.5);
    EXPECT_EQ(parsed->connectivityTimeout, 2.0);
    EXPECT_EQ(parsed->tunnelAttempts, 5);
    EXPECT_EQ(parsed->tunnelTimeout, 7.5);
    EXPECT_EQ(parsed->webAnimicon, QStringLiteral("http://anico.example:8080"));
    EXPECT_EQ(parsed->portalMailDomains, (QStringList{"a.example", "b.example", "c.example"}));
    EXPECT_EQ(parsed->loginMailDomains,
              (QStringList{"d.example", "e.example", "f.example", "g.example", "h.example", "i.example", "j.example"}));
    EXPECT_EQ(parsed->signoutTimeout, 1.5);
    EXPECT_EQ(parsed->p2pTimeout, 2.5);
}

TEST(PLEndpoints, ParsesTheWebServers)
{
    const auto parsed = PLEndpoints::fromText("web.mail = http://mail.example:8080\n"
                                              "web.memo = http://memo.example\n"
                                              "web.sister = http://sister.example\n"
                                              "web.sister.member = http://member.sister.example\n"
                                              "web.sister.help = http://help.sister.example:81\n");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->webMail, QStringLiteral("http://mail.example:8080"));
    EXPECT_EQ(parsed->webMemo, QStringLiteral("http://memo.example"));
    EXPECT_EQ(parsed->webSister, QStringLiteral("http://sister.example"));
    EXPECT_EQ(parsed->webSisterMember, QStringLiteral("http://member.sister.example"));
    EXPECT_EQ(parsed->webSisterHelp, QStringLiteral("http://help.sister.example:81"));
    EXPECT_FALSE(PLEndpoints::fromText("web.sister.help = help.sister.example\n").has_value());
}

TEST(PLEndpoints, RefusesBadLinesSayingWhere)
{
    struct Case
    {
        const char *text;
        const char *error;
    };
    const Case cases[] = {
        {"dispatch.port = 0\n", "line 1: bad value"},
        {"dispatch.port = 65536\n", "line 1: bad value"},
        {"\nrelay.port1 = eighty\n", "line 2: bad value"},
        {"dispatch.hots = x\n", "line 1: unknown key"},
        {"just words\n", "line 1: expected key = value"},
        {"connect.timeout = -1\n", "line 1: bad value"},
        {"connect.timeout = 0\n", "line 1: bad value"},
        {"tunnel.attempts = 0\n", "line 1: bad value"},
        {"tunnel.host = \n", "line 1: bad value"},
        {"tunnel.host = a b\n", "line 1: bad value"},
        {"portal.maildomains = a.example, b.example\n", "line 1: bad value"},
        {"portal.maildomains = a.example, b.example, a.example\n", "line 1: bad value"},
        {"portal.maildomains = a.example, me@b.example, c.example\n", "line 1: bad value"},
        {"portal.maildomains = a.example,, c.example\n", "line 1: bad value"},
        {"login.maildomains = d.example\n", "line 1: bad value"},
        {"signout.timeout = 0\n", "line 1: bad value"},
        {"p2p.timeout = -3\n", "line 1: bad value"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        EXPECT_FALSE(PLEndpoints::fromText(c.text, &error).has_value());
        EXPECT_TRUE(error.startsWith(QString::fromLatin1(c.error))) << error.toStdString();
    }
}

TEST(PLEndpoints, PathComesFromTheEnvironment)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("endpoints.conf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("dispatch.host = 127.0.0.1\ndispatch.port = 41000\n");
    file.close();
    qputenv("PARLEY_ENDPOINTS", path.toUtf8());
    EXPECT_EQ(PLEndpoints::configurationPath(), path);
    const auto loaded = PLEndpoints::fromFile(PLEndpoints::configurationPath());
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->dispatchPort, 41000);
    qunsetenv("PARLEY_ENDPOINTS");
    EXPECT_TRUE(PLEndpoints::configurationPath().endsWith(QStringLiteral("/endpoints.conf")));
    EXPECT_FALSE(PLEndpoints::fromFile(dir.filePath(QStringLiteral("missing.conf"))).has_value());
}
