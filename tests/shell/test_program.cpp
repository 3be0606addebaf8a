// The program as main() assembles it (ParleyProgram) against the local
// service: every service of the shell's registry is a real one, and the ones
// nothing else installs do their work.
#include "EndToEndSupport.h"

#include "BuddyList/BuddyListView.h"
#include "BuddyList/BuddyListWindow.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Conversation/AnimiconManager.h"
#include "FakeNotifications.h"
#include "KCMenuButton.h"
#include "KCStatusViewWidget.h"
#include "Preferences/GeneralPane.h"
#include "Preferences/PrefsEmoticonTextEdit.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLConfManager.h"

#include "../facade/HeadlessPeer.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

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
    // The catalogue's address comes with this service's configuration, not an earlier test's.
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

TEST_F(ShellEndToEnd, ASecondLaunchShowsTheRunningMessengerAndEnds)
{
    program();
    QWidget *window = current().window();
    ASSERT_TRUE(window->isVisible());
    window->hide();

    // The real program, started again on the same session bus.
    QTemporaryDir home;
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), privateBusAddress());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char *folder : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        environment.insert(QLatin1String(folder), home.path());
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(QStringLiteral(PARLEY_PROGRAM), QStringList());
    ASSERT_TRUE(second.waitForStarted(5000));
    // The running copy answers while the second one waits: keep this event loop turning.
    const bool ended = parley::test::waitUntil([&] { return second.state() == QProcess::NotRunning; }, 15000);
    if (!ended) {
        second.kill();
        second.waitForFinished(2000);
    }
    ASSERT_TRUE(ended) << "a second copy kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QDir(home.path() + QStringLiteral("/Parley")).isEmpty()) << "the second launch set nothing up";
}

TEST_F(ShellEndToEnd, AChangedDisplayNameIsWhatTheNextSignInShows)
{
    startService();
    program();
    typeAndSignIn();
    ASSERT_TRUE(waitForBuddyView());
    QLabel *header = current().window()->buddyView()->nickNameView;
    ASSERT_EQ(header->text(), QStringLiteral("Ally"));
    ASSERT_TRUE(mSession.facade()->setMyNickName(QStringLiteral("Ally K")));
    ASSERT_TRUE(parley::test::waitUntil([&] { return header->text() == QLatin1String("Ally K"); }, 10000));

    current().logoutAction();
    ASSERT_TRUE(parley::test::waitUntil([&] { return login().selectedTab() == LoginView::SignedOutTab; }, 10000));
    login().loginAgainButton->click();
    typeAndSignIn();
    ASSERT_TRUE(waitForBuddyView());
    EXPECT_EQ(PLMyInfoManager::sharedManager().nickName(), QStringLiteral("Ally K"));
    EXPECT_EQ(header->text(), QStringLiteral("Ally K"));

    // The own-status menu's display-name command opens Preferences on the name as it is now.
    QAction *setName = nullptr;
    for (QAction *item : current().statusView()->menu()->actions())
        if (item->data().toString() == QLatin1String("SetMyNickName"))
            setName = item;
    ASSERT_NE(setName, nullptr);
    setName->trigger();
    GeneralPane *general = nullptr;
    ASSERT_TRUE(parley::test::waitUntil([&] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->isVisible() && (general = window->findChild<GeneralPane *>()))
                return true;
        return false;
    }));
    EXPECT_EQ(general->displayNameView()->emoticonString(), QStringLiteral("Ally K"));
    general->window()->close();
}

TEST_F(ShellEndToEnd, TheBuddyListHasTheFocusAfterSignInAndTabReachesItFromTheOwnStatus)
{
    startService();
    program();
    QWidget *window = current().window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    typeAndSignIn();
    ASSERT_TRUE(waitForBuddyView());
    QWidget *list = mProgram->buddyList().view();
    ASSERT_NE(list, nullptr);
    const auto inList = [&] {
        QWidget *focus = QApplication::focusWidget();
        return focus && (focus == list || list->isAncestorOf(focus));
    };
    EXPECT_TRUE(inList()) << "the list is where the signed-in view opens; the focus is on "
                          << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");

    // From the own-status button: the status view, then the list.
    BuddyView *view = current().window()->buddyView();
    view->myStatusButton->setFocus();
    int presses = 0;
    while (!inList() && presses < 20) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ++presses;
    }
    EXPECT_EQ(presses, 2);
    // The tool buttons come after it and stay reachable.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(inList());
    EXPECT_TRUE(qobject_cast<QToolButton *>(QApplication::focusWidget()));
}

TEST_F(ShellEndToEnd, BringingTheMainWindowBackUndoesAMinimize)
{
    program();
    MainWindow *window = current().window();
    window->show();
    window->showMinimized();
    ASSERT_TRUE(parley::test::waitUntil([&] { return window->isMinimized(); }));
    // The tray icon, a second launch and Window > main window all reopen this way.
    window->mainWindowAction->trigger();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
}
