// Operations of the account session that decide without a server, and the
// idle-away status that is sent as it is but recorded as away.
#include "FacadeFixture.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Sessions/PLParleySession.h"
#include "TestSupport.h"

using namespace facade::test;

TEST(FacadeOperations, ProxySettingsAreCheckedBeforeTheyAreKept)
{
    parley::PLParleySession session;
    struct Case {
        int mode;
        const char *server;
        const char *user;
        const char *password;
        bool taken;
        int modeAfter;
    };
    const Case cases[] = {
        {2, "10.0.0.1", "", "", true, 2},     // SOCKS4 needs no user
        {4, "10.0.0.1", "u", "p", false, 2},  // no such mode
        {3, "10.0.0.1", "", "p", false, 2},   // SOCKS5 without a user
        {1, "", "", "", false, 2},            // a proxy without an address
        {3, "10.0.0.1", "u", "p", true, 3},
        {0, "", "", "", true, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(session.setProxyMode(c.mode, c.server, 1080, c.user, c.password), c.taken);
        EXPECT_EQ(session.mProxyMode(), c.modeAfter);
    }
}

TEST(FacadeOperations, WithoutASessionNothingIsSentOrRecorded)
{
    parley::PLParleySession session;
    EXPECT_FALSE(session.logout(true));
    EXPECT_FALSE(session.setMyStatus(1));
    EXPECT_FALSE(session.addGroup("G"));
    EXPECT_FALSE(session.requestAddBuddy("bob@parley.test", "0", ""));
    EXPECT_EQ(session.setVelaInterlock("me", "pw"), -1);
    EXPECT_EQ(session.mJobQueue().count(), 0);
    // An unknown relay offer is logged and answered yes.
    EXPECT_TRUE(session.requestFRConnectForFRCookie("no-such-cookie"));
}

TEST_F(FacadeTest, IdleAwayGoesOutAsItIsAndIsRecordedAsAway)
{
    ASSERT_TRUE(startAndSignIn());
    // The sign-in sets the status online; its answer comes first.
    ASSERT_TRUE(waitFor("ParleyMyStatusChanged"));
    const qsizetype from = mark();
    ASSERT_TRUE(mSession->setMyStatus(6));
    EXPECT_EQ(parley::PLMyInfoManager::sharedManager().status(), 3);
    // The sign-in's own status change may still be on its way: the one of
    // this call is the one with the new status.
    EXPECT_TRUE(parley::test::waitUntil(
        [&] {
            for (qsizetype i = from; i < mPosted.size(); ++i)
                if (mPosted[i].name == QLatin1String("ParleyMyStatusChanged")
                    && mPosted[i].userInfo.value("status").toInt() == 6)
                    return true;
            return false;
        },
        5000));
}
