// Every way the account session leaves a line it signed in on sends LOUT,
// lets it reach the server, and then closes the line itself: seen through a
// tap in front of the local service that never closes the client's side on
// the service's behalf, and in the service's own record.
#include "FacadeFixture.h"
#include "FakeLogind.h"
#include "NotificationServer.h"
#include "PrivateBus.h"
#include "ServiceTap.h"
#include "Sessions/PLDPSession.h"
#include "TestSupport.h"
#include "Utils/PLSystemPowerNotificationManager.h"

using namespace facade::test;
using parley::test::waitUntil;

namespace {

class SignOutTest : public FacadeTest {
protected:
    bool signInThroughTap()
    {
        if (!startService())
            return false;
        mTap = std::make_unique<ServiceTap>(mService->dispatchPort(), mService->notificationPort());
        return signIn(mTap->dispatchPort());
    }
    // The LOUT line the signed-in session will send next.
    QByteArray nextLOUT() const
    {
        return "LOUT " + QByteArray::number(qint32(mSession->mDPSession()->mTidValue())) + "\r\n";
    }
    // Checks that the client sent `lout` last on notification connection
    // `index` and then closed it, and that the service heard it last.
    void expectSignedOut(int index, const QByteArray &lout)
    {
        ASSERT_TRUE(waitUntil([&] { return mTap->closedByClient(index); }, 10000)) << "the client kept the line open";
        const QByteArray sent = mTap->sent(index);
        EXPECT_TRUE(sent.endsWith(lout)) << sent.right(80).toStdString();
        const auto records = mService->notificationServer()->received().of(QStringLiteral("alice@parley.test"));
        ASSERT_GT(records.size(), index);
        ASSERT_TRUE(waitUntil([&] { return records[index]->closed; }));
        EXPECT_EQ(records[index]->lines.last().toUtf8() + "\r\n", lout);
    }
    std::unique_ptr<ServiceTap> mTap;
};

struct SignOutCase {
    const char *name;
    std::function<void(std::unique_ptr<parley::PLParleySession> &)> signOut;
};

void PrintTo(const SignOutCase &c, std::ostream *os)
{
    *os << c.name;
}

class SignOutPathTest : public SignOutTest, public ::testing::WithParamInterface<SignOutCase> {
};

} // namespace

TEST_P(SignOutPathTest, LOUTIsTheLastLineAndTheClientClosesTheLine)
{
    ASSERT_TRUE(signInThroughTap());
    const QByteArray lout = nextLOUT();
    GetParam().signOut(mSession);
    expectSignedOut(0, lout);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SignOutPathTest,
    ::testing::Values(SignOutCase{"Logout", [](auto &session) { EXPECT_TRUE(session->logout(true)); }},
                      SignOutCase{"StoppedSignIn", [](auto &session) { EXPECT_TRUE(session->stopLogin()); }},
                      // Quitting: the program lets the account session go.
                      SignOutCase{"AccountSessionGoes", [](auto &session) { session.reset(); }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SignOutTest, ASignInOverAnOldOneSignsTheOldOneOut)
{
    ASSERT_TRUE(signInThroughTap());
    const QByteArray lout = nextLOUT();
    const qsizetype from = mark();
    mSession->loginWithUserID(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"), {});
    ASSERT_TRUE(waitFor(QStringLiteral("ParleyLoginCompleted"), from, 15000));
    expectSignedOut(0, lout);
    EXPECT_FALSE(mTap->closedByClient(1));
    EXPECT_TRUE(mSession->isLoggedIn());
}

TEST_F(SignOutTest, TheFacadeSaysWhenTheSignOutHasBeenWritten)
{
    ASSERT_TRUE(signInThroughTap());
    int finished = 0;
    QObject::connect(mSession.get(), &parley::PLParleySession::signOutFinished, [&] { ++finished; });
    EXPECT_FALSE(mSession->isSignOutInProgress());
    ASSERT_TRUE(mSession->logout(true));
    // Written by the next passes of the event loop, not at once.
    EXPECT_TRUE(mSession->isSignOutInProgress());
    ASSERT_TRUE(waitUntil([&] { return finished == 1; }));
    EXPECT_FALSE(mSession->isSignOutInProgress());
    EXPECT_TRUE(mTap->sent(0).endsWith("\r\n") && mTap->sent(0).contains("LOUT "));
}

TEST_F(SignOutTest, GoingToSleepWaitsUntilTheLOUTIsWritten)
{
    if (!parley::test::PrivateBus::available())
        GTEST_SKIP() << "dbus-daemon is not installed";
    parley::test::PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    parley::test::FakeLogind logind(bus.address());
    // This process's system bus is the private one (read on first use).
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toUtf8());
    parley::PLSystemPowerNotificationManager::start();
    ASSERT_TRUE(waitUntil([] { return parley::PLSystemPowerNotificationManager::sharedManager()->holdsDelayLock(); }));

    ASSERT_TRUE(signInThroughTap());
    const QByteArray lout = nextLOUT();
    // As the shell does: sign out before the machine sleeps.
    const auto token = parley::NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("ParleySystemWillSleepNotification"), nullptr, [this](const auto &) { mSession->logout(true); });
    logind.emitPrepareForSleep(true);
    bool signingOutWhenLetGo = true;
    ASSERT_TRUE(waitUntil([&] {
        if (logind.locksHeld() > 0)
            return false;
        signingOutWhenLetGo = mSession->isSignOutInProgress();
        return true;
    }, 10000));
    EXPECT_FALSE(signingOutWhenLetGo) << "the machine was let sleep before the LOUT was written";
    expectSignedOut(0, lout);
    parley::NotificationCenter::defaultCenter().removeObserver(token);
    logind.emitPrepareForSleep(false);
}
