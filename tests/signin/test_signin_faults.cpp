// The local service's fault modes: the client reports a dropped line once,
// survives garbage and trickled bytes, refuses an oversized body, and gives
// up on a silent server through its keepalive.
#include "SignInFixture.h"

#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include "Utils/PLEndpoints.h"

using namespace parley;
using namespace parley::test;

namespace {

struct ClosedRecorder {
    ClosedRecorder()
    {
        token = NotificationCenter::defaultCenter().addObserver(
            QString::fromLatin1(notifications::kSessionClosed), nullptr, [this](const Notification &n) {
                reasons.append(n.userInfo.value(QString::fromLatin1(notifications::kSessionClosedKey)).toString());
            });
    }
    ~ClosedRecorder() { NotificationCenter::defaultCenter().removeObserver(token); }
    NotificationCenter::Token token = 0;
    QStringList reasons;
};

struct DropCase {
    const char *command;
    const char *reason;
    // The last delegate call before the line went.
    const char *lastEvent;
};

class DropTest : public SignInTest, public ::testing::WithParamInterface<DropCase>
{
};

} // namespace

TEST_P(DropTest, ADroppedLineIsReportedOnceAndTheSignInStops)
{
    const DropCase &c = GetParam();
    startService(QString(), {QStringLiteral("drop:%1").arg(QLatin1String(c.command))});
    ClosedRecorder closed;
    auto driver = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return !closed.reasons.isEmpty(); }, 15000)) << driver->events().join(u',').toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(closed.reasons, QStringList({QLatin1String(c.reason)}));
    EXPECT_FALSE(driver->signedIn());
    if (*c.lastEvent)
        EXPECT_EQ(driver->events().last(), QLatin1String(c.lastEvent));
    else
        EXPECT_TRUE(driver->events().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(EachStep, DropTest,
                         ::testing::Values(DropCase{"PVER", "DPLSessionRetry", ""},
                                           DropCase{"AUTH", "DPLSessionRetry", ""},
                                           DropCase{"REQS", "DPLSessionRetry", ""},
                                           DropCase{"NCPT", "DPSessionRetry", "dpl:dpServerInfoReceived"},
                                           DropCase{"PRVK", "DPSessionRetry", "dp:publicKeyReceived"},
                                           DropCase{"LIN4", "DPSessionRetry", "dp:sendSessionKeyResultReceived"},
                                           DropCase{"LOPT", "DPSessionRetry", "dp:myInfoReceived"},
                                           DropCase{"CONF", "DPSessionRetry", "dp:loptReceived"},
                                           DropCase{"GLST", "DPSessionRetry", "dp:confReceived"},
                                           DropCase{"LIST", "DPSessionRetry", "dp:groupInfoReceived"}),
                         [](const auto &info) { return std::string(info.param.command); });

class PassingFaultTest : public SignInTest, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(PassingFaultTest, TheSignInCompletesDespiteTheFault)
{
    startService(QString(), {QLatin1String(GetParam())});
    auto driver = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    driver->start();
    // A bound for a sign-in that hangs, not a measure: a trickled sign-in is
    // some thousand one-byte writes, which a sanitized build on a loaded
    // machine took over half a minute to get through.
    ASSERT_TRUE(waitUntil([&] { return driver->signedIn(); }, 120000)) << driver->events().join(u',').toStdString();
    EXPECT_EQ(driver->count("dp:myInfoReceived"), 1);
    EXPECT_EQ(driver->count("dp:buddyInfoReceived"), 2);
}

// Garbage lines are dropped one by one; trickled bytes are framed whole.
INSTANTIATE_TEST_SUITE_P(Faults, PassingFaultTest,
                         ::testing::Values("trickle", "garbage:PVER", "garbage:NCPT", "garbage:LIN4", "garbage:CONF",
                                           "garbage:LIST"),
                         [](const auto &info) {
                             std::string name = info.param;
                             for (char &ch : name)
                                 if (ch == ':')
                                     ch = '_';
                             return name;
                         });

class OversizeTest : public SignInTest, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(OversizeTest, AnOversizedBodyClosesTheLineWithoutAReport)
{
    startService(QString(), {QStringLiteral("oversize:%1").arg(QLatin1String(GetParam()))});
    ClosedRecorder closed;
    auto driver = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return !closed.reasons.isEmpty(); }, 15000)) << driver->events().join(u',').toStdString();
    EXPECT_EQ(closed.reasons, QStringList({QStringLiteral("DPSessionRetry")}));
    EXPECT_FALSE(driver->signedIn());
}

INSTANTIATE_TEST_SUITE_P(Bodies, OversizeTest, ::testing::Values("NCPT", "LIN4", "CONF"));

TEST_F(SignInTest, ASilentServerTimesOutAtTheSixthUnansweredPONG)
{
    // Silent from the client's last sign-in line on: PONGs go unanswered.
    startService(QString(), {QStringLiteral("silent:CPRM")});
    PLEndpoints endpoints = PLEndpoints::current();
    endpoints.keepaliveInterval = 0.01;
    PLEndpoints::setCurrent(endpoints);
    auto driver = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return driver->has("dp:serverTimeout"); }, 15000))
        << driver->events().join(u',').toStdString();
    driver->dpSession()->setIsAvailablePONG(false);
    ASSERT_TRUE(waitUntil([&] { return !driver->dpSession()->isKeepaliveRunning(); }));
    const QStringList lines = mNotificationLines->lines(0);
    const qsizetype cprm = lines.indexOf(QStringLiteral("CPRM 23 0"));
    ASSERT_GE(cprm, 0);
    QStringList pongs = lines.mid(cprm + 1);
    ASSERT_GE(pongs.size(), 6);
    // Consecutive tids after LIST's 6.
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pongs[i], QStringLiteral("PONG %1").arg(7 + i));
}
