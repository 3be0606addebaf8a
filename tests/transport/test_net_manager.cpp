// The connectivity test against loopback servers: which route is chosen, what
// each notification says, and that a stale relay choice does not survive.
#include "FakePeer.h"
#include "LogCapture.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "TestSupport.h"
#include "Utils/PLEndpoints.h"
#include "Utils/PLNetManager.h"

#include <gtest/gtest.h>
#include <memory>

using namespace parley;
using namespace parley::test;

namespace {

quint16 closedPort()
{
    FakePeer reserved;
    return reserved.port();
}

struct Status
{
    bool connectable;
    QString server;
    QString address;
};

// Runs one test with each route either answering (a live server) or refused.
struct RouteTest
{
    std::unique_ptr<FakePeer> dispatch, relay1, relay2;
    QList<Status> statuses;

    RouteTest(bool direct, bool port1, bool port2)
    {
        PLEndpoints endpoints;
        endpoints.dispatchHost = endpoints.relayHost = QStringLiteral("127.0.0.1");
        const auto portFor = [](bool live, std::unique_ptr<FakePeer> &peer) {
            if (!live)
                return closedPort();
            peer = std::make_unique<FakePeer>();
            return peer->port();
        };
        endpoints.dispatchPort = portFor(direct, dispatch);
        endpoints.relayPort1 = portFor(port1, relay1);
        endpoints.relayPort2 = portFor(port2, relay2);
        endpoints.connectivityTimeout = 30;
        PLEndpoints::setCurrent(endpoints);
    }
    ~RouteTest() { PLEndpoints::setCurrent(PLEndpoints()); }

    bool check()
    {
        const auto token = NotificationCenter::defaultCenter().addObserver(
            QString::fromLatin1(notifications::kNetworkStatus), &PLNetManager::sharedManager(), [this](const Notification &n) {
                statuses.append({n.userInfo.value("isConnectable").toBool(), n.userInfo.value("dplServer").toString(),
                                 n.userInfo.value("myIPAddress").toString()});
            });
        PLNetManager::sharedManager().checkNetworkStatus();
        const bool done = waitUntil([this] { return statuses.size() == 3; });
        NotificationCenter::defaultCenter().removeObserver(token);
        return done;
    }
};

} // namespace

TEST(PLNetManager, ChoosesTheRouteAndReportsEachAttempt)
{
    struct Case
    {
        const char *name;
        bool direct, port1, port2;
        bool dplMode, prsMode;
        QStringList possibleServers; // what the reporting notifications may name
    };
    const Case cases[] = {
        {"nothing answers", false, false, false, false, false, {}},
        {"direct only", true, false, false, true, false, {"DPL5004"}},
        {"direct and relays", true, true, true, true, false, {"DPL5004", "PRS80", "PRS1863"}},
        {"relay port 1 only", false, true, false, false, true, {"PRS80"}},
        {"relay port 2 only", false, false, true, false, true, {"PRS1863"}},
        {"both relay ports", false, true, true, false, true, {"PRS80", "PRS1863"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture quiet;
        RouteTest run(c.direct, c.port1, c.port2);
        ASSERT_TRUE(run.check());
        PLNetManager &manager = PLNetManager::sharedManager();
        EXPECT_EQ(manager.isDPLMode(), c.dplMode);
        EXPECT_EQ(manager.isPRSMode(), c.prsMode);

        bool reported = false;
        QString chosen;
        for (const Status &s : run.statuses) {
            if (!s.connectable) {
                // Once a route works, no later notification says otherwise.
                EXPECT_FALSE(reported) << "not connectable after a working route";
                EXPECT_TRUE(s.server.isEmpty());
                EXPECT_TRUE(s.address.isEmpty());
                continue;
            }
            reported = true;
            EXPECT_TRUE(c.possibleServers.contains(s.server)) << s.server.toStdString();
            EXPECT_EQ(s.address, QStringLiteral("127.0.0.1"));
            // A relay, once chosen, is kept until the direct route answers.
            if (s.server != QLatin1String("DPL5004")) {
                if (chosen.isEmpty())
                    chosen = s.server;
                EXPECT_EQ(s.server, chosen);
            }
        }
        EXPECT_EQ(reported, !c.possibleServers.isEmpty());
        EXPECT_EQ(run.statuses.last().server, c.dplMode ? QStringLiteral("DPL5004") : (chosen.isEmpty() ? "" : chosen));

        const QVariantMap info = manager.prsServerInfo();
        if (c.prsMode) {
            EXPECT_EQ(info.value("host").toString(), QStringLiteral("127.0.0.1"));
            const int expectedPort = chosen == QLatin1String("PRS80") ? PLEndpoints::current().relayPort1
                                                                       : PLEndpoints::current().relayPort2;
            EXPECT_EQ(info.value("portNo").toInt(), expectedPort);
        } else {
            EXPECT_TRUE(info.isEmpty());
        }
        if (!c.direct && !c.port1 && !c.port2) {
            EXPECT_FALSE(quiet.contains("break :")) << "no route: no log from prsServerInfo";
        }
        if (c.direct && c.port1) {
            EXPECT_TRUE(quiet.contains("break : flag is false"));
        }
    }
}

TEST(PLNetManager, NewTestForgetsAStaleRelay)
{
    {
        RouteTest first(false, true, false);
        ASSERT_TRUE(first.check());
        ASSERT_TRUE(PLNetManager::sharedManager().isPRSMode());
        ASSERT_FALSE(PLNetManager::sharedManager().prsServerAddress().isEmpty());
    }
    LogCapture quiet;
    RouteTest second(false, false, false);
    ASSERT_TRUE(second.check());
    EXPECT_TRUE(PLNetManager::sharedManager().prsServerAddress().isEmpty());
    EXPECT_TRUE(PLNetManager::sharedManager().prsServerInfo().isEmpty());
    for (const Status &s : second.statuses)
        EXPECT_FALSE(s.connectable);
}

TEST(PLNetManager, MissingHostFailsItsRouteWithoutConnecting)
{
    LogCapture log;
    PLEndpoints endpoints; // no hosts configured
    PLEndpoints::setCurrent(endpoints);
    QList<bool> connectable;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(notifications::kNetworkStatus), nullptr,
        [&](const Notification &n) { connectable.append(n.userInfo.value("isConnectable").toBool()); });
    PLNetManager::sharedManager().checkNetworkStatus();
    EXPECT_TRUE(connectable.isEmpty()) << "statuses come after the call returns";
    ASSERT_TRUE(waitUntil([&] { return connectable.size() == 3; }));
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_EQ(connectable, (QList<bool>{false, false, false}));
    EXPECT_EQ(log.count("invalid host"), 3);
}

TEST(PLNetManager, HostCacheRefusesNulls)
{
    LogCapture log;
    PLNetManager &manager = PLNetManager::sharedManager();
    manager.setHost(QStringLiteral("ns1.example"), QStringLiteral("NS"));
    EXPECT_EQ(manager.hasHost(QStringLiteral("NS")), QStringLiteral("ns1.example"));
    manager.setHost(QString(), QStringLiteral("NS"));
    EXPECT_EQ(manager.hasHost(QStringLiteral("NS")), QStringLiteral("ns1.example"));
    EXPECT_TRUE(log.contains("break : object is nil"));
    EXPECT_TRUE(manager.hasHost(QStringLiteral("other")).isNull());
}
