// The program as main() assembles it (ParleyProgram) against the local
// service: every service of the shell's registry is a real one, and the ones
// nothing else installs do their work.
#include "EndToEndSupport.h"

#include "Conversation/AnimiconManager.h"
#include "FakeNotifications.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLConfManager.h"

#include "../facade/HeadlessPeer.h"

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

TEST_F(ShellEndToEnd, TheAssembledProgramLeavesNoServiceToAStandIn)
{
    EXPECT_FALSE(ShellWindows::standIns().isEmpty()) << "nothing is assembled yet";
    {
        program();
        EXPECT_EQ(ShellWindows::standIns(), QStringList());
        mProgram.reset();
    }
    // Undone with the program: nothing dangles in the registry.
    EXPECT_TRUE(ShellWindows::standIns().contains(QStringLiteral("animiconManager")));
    EXPECT_TRUE(ShellWindows::standIns().contains(QStringLiteral("desktopNotices")));
}

TEST_F(ShellEndToEnd, SigningInLoadsTheAnimiconCatalogue)
{
    ::AnimiconManager::sharedManager().resetForTesting();
    // An earlier test's server configuration names a service that is gone.
    PLConfManager::sharedManager().resetForTesting();
    startService();
    program();
    typeAndSignIn();
    ASSERT_TRUE(waitForBuddyView());
    EXPECT_TRUE(parley::test::waitUntil([] { return ::AnimiconManager::sharedManager().categoryCount() > 0; }, 10000));
}

TEST_F(ShellEndToEnd, ASecondLoginIsADesktopNotice)
{
    parley::test::FakeNotifications desktop;
    ASSERT_TRUE(desktop.registerOn(privateConnection(QStringLiteral("program-notification-service"))));
    startService();
    program();
    typeAndSignIn();
    ASSERT_TRUE(waitForBuddyView());
    facade::test::HeadlessPeer other(mService->dispatchPort(), QStringLiteral("alice@parley.test"),
                                     QStringLiteral("alice-pw"), {QStringLiteral("--p2p-port"), QStringLiteral("0")});
    ASSERT_TRUE(other.waitFor("ParleyLoginCompleted").has_value());
    const parley::test::RecordedNotification *notice = nullptr;
    ASSERT_TRUE(parley::test::waitUntil(
        [&] {
            for (const parley::test::RecordedNotification &n : desktop.notifications())
                if (n.hints.value(QStringLiteral("category")).toString() == QLatin1String("Parley Multi-Login"))
                    notice = &n;
            return notice != nullptr;
        },
        10000));
    EXPECT_EQ(notice->summary, KCLocalizedString(QStringLiteral("MultiLogin")));
    EXPECT_EQ(notice->body, KCLocalizedString(QStringLiteral("MultiLoginMessage")).arg(2));
}
