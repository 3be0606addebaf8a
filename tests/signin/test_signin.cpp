// The whole sign-in over loopback against the local service: the exact lines
// the client sends, the order of the delegate calls, direct and relay mode.
#include "SignInFixture.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "TestSupport.h"
#include "Utils/PLClientVersion.h"

#include <QCoreApplication>

using namespace parley;
using namespace parley::test;

namespace {

const QStringList kSignInKinds = {
    "dp:publicKeyReceived", "dp:sendSessionKeyResultReceived", "dp:myInfoReceived", "dp:loptReceived",
    "dp:confReceived",      "dp:groupInfoReceived",            "dp:buddyInfoReceived", "dp:loginCompleted",
};

QStringList notificationLines(const QString &user)
{
    return {QStringLiteral("NCPT 1 %1 PRM 0").arg(user),
            QStringLiteral("PRVK 2 BASE64 #"),
            QStringLiteral("LIN4 3 %1 NE3 #").arg(user),
            QStringLiteral("LOPT 0 TXT 19"),
            QStringLiteral("CONF 4 0 0"),
            QStringLiteral("GLST 5 0"),
            QStringLiteral("LIST 6"),
            QStringLiteral("CPRM 23 0")};
}

} // namespace

TEST_F(SignInTest, DirectSignInSendsTheExactLinesAndReportsInOrder)
{
    startService();
    auto driver = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return driver->signedIn(); }, 15000)) << driver->events().join(u',').toStdString();

    EXPECT_EQ(mDispatchLines->lines(0),
              QStringList({"PVER 1 " + PLClientVersion() + " 3.0 ko.macm", "AUTH 2 DES", "REQS 3 DES alice@parley.test"}));
    EXPECT_EQ(driver->events().first(), QStringLiteral("dpl:dpServerInfoReceived"));
    QStringList kinds = driver->eventKinds();
    kinds.removeFirst();
    EXPECT_EQ(kinds, kSignInKinds);
    // The cache line, two groups and two memberships; then the two buddies.
    EXPECT_EQ(driver->count("dp:groupInfoReceived"), 5);
    EXPECT_EQ(driver->count("dp:buddyInfoReceived"), 2);
    ASSERT_TRUE(waitUntil([&] { return mNotificationLines->lines(0).size() >= 8; }));
    EXPECT_EQ(mNotificationLines->lines(0), notificationLines(QStringLiteral("alice@parley.test")));

    // The deciphered sign-in reply reached the delegate and the own account.
    EXPECT_EQ(driver->myInfo().value("cmn").toString(), QStringLiteral("100001"));
    EXPECT_EQ(driver->myInfo().value("name").toString(), QStringLiteral("Alice Kim"));
    EXPECT_EQ(driver->myInfo().value("tid").toString(), QStringLiteral("3"));
    EXPECT_EQ(driver->myInfo().value("ticket").toString(), QStringLiteral("ticket-alice"));
    EXPECT_EQ(driver->dpSession()->dpState(), PLDPSession::LoggedIn);
    EXPECT_TRUE(driver->dpSession()->isKeepaliveRunning());
    EXPECT_EQ(PLMyInfoManager::sharedManager().dpIP(), QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(mAlert.requests().isEmpty());

    // Logout: LOUT goes out, the keepalive stops and the line closes quietly.
    int closed = 0;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(notifications::kSessionClosed), nullptr, [&](const auto &) { ++closed; });
    EXPECT_TRUE(driver->dpSession()->logout());
    EXPECT_FALSE(driver->dpSession()->isKeepaliveRunning());
    EXPECT_EQ(driver->dpSession()->dpState(), PLDPSession::Idle);
    ASSERT_TRUE(waitUntil([&] { return mNotificationLines->lines(0).size() == 9; }));
    EXPECT_EQ(mNotificationLines->lines(0).last(), QStringLiteral("LOUT 7"));
    QCoreApplication::processEvents();
    EXPECT_EQ(closed, 0);
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(SignInTest, AnAccountWithoutBuddiesCompletesOnTheEmptyList)
{
    startService();
    auto driver = makeDriver(QStringLiteral("carol@parley.test"), QStringLiteral("carol-pw"));
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return driver->signedIn(); }, 15000)) << driver->events().join(u',').toStdString();
    EXPECT_EQ(driver->count("dp:noBuddyInfoReceived"), 1);
    EXPECT_EQ(driver->count("dp:buddyInfoReceived"), 0);
    EXPECT_EQ(driver->events().last(), QStringLiteral("dp:loginCompleted"));
}

TEST_F(SignInTest, AWrongPasswordIsReportedAndTheSignInStops)
{
    startService();
    auto driver = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("not-her-password"));
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return driver->has("dp:errorCodeReceived 301"); }, 15000))
        << driver->events().join(u',').toStdString();
    EXPECT_FALSE(driver->has("dp:myInfoReceived"));
    EXPECT_NE(driver->dpSession()->dpState(), PLDPSession::LoggedIn);
}

TEST_F(SignInTest, RelaySignInSendsRCONFirstOnBothConnections)
{
    startService();
    auto driver = makeDriver(QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"), true);
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return driver->signedIn(); }, 15000)) << driver->events().join(u',').toStdString();

    ASSERT_EQ(mDispatchLines->connectionCount(), 2);
    const QString dispatch = QString::number(mService->dispatchPort());
    const QString notification = QString::number(mService->notificationPort());
    EXPECT_EQ(mDispatchLines->lines(0), QStringList({"RCON 1 127.0.0.1 " + dispatch, "PVER 2 " + PLClientVersion() + " 3.0 ko.macm",
                                                     "AUTH 3 DES", "REQS 4 DES bob@parley.test"}));
    ASSERT_TRUE(waitUntil([&] { return mDispatchLines->lines(1).size() >= 9; }));
    QStringList expected = {"RCON 1 127.0.0.1 " + notification};
    // Every later tid is one higher than in direct mode.
    for (const QString &line : notificationLines(QStringLiteral("bob@parley.test"))) {
        QStringList fields = line.split(u' ');
        if (fields[0] != QLatin1String("LOPT") && fields[0] != QLatin1String("CPRM"))
            fields[1] = QString::number(fields[1].toInt() + 1);
        expected.append(fields.join(u' '));
    }
    EXPECT_EQ(mDispatchLines->lines(1), expected);
    QStringList kinds = driver->eventKinds();
    EXPECT_EQ(kinds.mid(0, 3), QStringList({"dpl:remoteConnected", "dpl:dpServerInfoReceived", "dp:remoteConnected"}));
    EXPECT_EQ(kinds.mid(3), kSignInKinds);
}
