// The messenger's shell end to end: the real account session against the
// local service (in this process), offscreen windows, parley-headless as a
// second login, and child processes for the ways the application ends.
#include "AppController.h"
#include "EndToEndSupport.h"
#include "BuddyList/BuddyListModel.h"
#include "BuddyList/BuddyListView.h"
#include "BuddyList/BuddyListWindow.h"
#include "BuddyList/KCOutlineView.h"
#include "ApplicationFolders.h"
#include "BuddyView.h"
#include "FacadeAccountSession.h"
#include "LoginView.h"
#include "LocalService.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "NotificationServer.h"
#include "ParleyProgram.h"
#include "PropertyList.h"
#include "ScriptedAlerts.h"
#include "Sessions/PLCertAlert.h"
#include "Sessions/PLParleySession.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestPki.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"

#include "../facade/HeadlessPeer.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

#include <unistd.h>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

namespace {

TEST_F(ShellEndToEnd, TypingTheAccountAndPressingReturnShowsTheBuddyView)
{
    startService();
    signedIn();
    EXPECT_EQ(mController->window()->buddyView()->nickNameView->text(), QStringLiteral("Ally"));
    EXPECT_EQ(mController->window()->buddyView()->buddyStatusField->text(), KCLocalizedString(QStringLiteral("Online")));
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("accountname")), QStringLiteral("alice"));
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("accountDomain")), QStringLiteral("parley.test"));
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("accountToken")), QStringLiteral("token-alice"));
    EXPECT_TRUE(mAlerts.keys().isEmpty()) << mAlerts.keys().join(QLatin1Char(' ')).toStdString();
    // Start-up and the buddy view never load the web engine.
    QFile maps(QStringLiteral("/proc/self/maps"));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    EXPECT_FALSE(maps.readAll().contains("WebEngine"));

    // Quitting with a child window open asks first.
    QWidget chat;
    chat.show();
    mAlerts.answer(1);
    mController->closeAction();
    EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("AlertQuitMessage")});
    EXPECT_EQ(mQuits, 0);
    chat.hide();
    mController->closeAction();
    EXPECT_EQ(mQuits, 1);
}

TEST_F(ShellEndToEnd, QuittingWritesTheLOUTBeforeTheProgramEnds)
{
    startService();
    signedIn();
    mController->closeAction();
    ASSERT_EQ(mQuits, 1);
    // Once the program's loop ends nothing writes any more: the LOUT must be out by then.
    EXPECT_FALSE(mSignOutPendingAtQuit);
    const auto records = mService->notificationServer()->received().of(QStringLiteral("alice@parley.test"));
    ASSERT_EQ(records.size(), 1);
    ASSERT_TRUE(parley::test::waitUntil([&] { return records[0]->closed; }));
    EXPECT_TRUE(records[0]->lines.last().startsWith(QLatin1String("LOUT "))) << records[0]->lines.last().toStdString();
}

TEST_F(ShellEndToEnd, TheBuddyViewShowsTheAccountsBuddyListAndTellsTheMessageBox)
{
    startService();
    controller();
    std::vector<QVariantMap> statusLists;
    privateCenter()->addObserver(mController.get(), QLatin1String(notifications::kBuddyStatusList),
                                 [&](const DistributedNotification &n) { statusLists.push_back(n.userInfo); });
    BuddyListWindow buddyList(*mController, privateCenter());
    ASSERT_NE(buddyList.view(), nullptr);
    EXPECT_TRUE(mController->window()->buddyView()->buddyListSlot()->isAncestorOf(buddyList.view()));
    typeAndSignIn();
    ASSERT_TRUE(waitForBuddyView());
    // Friends with bob, Work with carol, both listed (offline: nobody else is signed in).
    BuddyListModel &model = *buddyList.dataSource().model();
    ASSERT_TRUE(parley::test::waitUntil([&] { return model.rowCount() == 2; }, 20000));
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("Friends (0/1)"));
    EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("Work (0/1)"));
    EXPECT_TRUE(model.indexForBuddy(QStringLiteral("1"), QStringLiteral("bob@parley.test")).isValid());
    EXPECT_TRUE(buddyList.view()->isVisible());
    // The shell reaches the list through its interfaces.
    EXPECT_EQ(ShellWindows::buddyListManager().allBuddyList(),
              (QVariantMap{{"bob@parley.test", 0}, {"carol@parley.test", 0}}));
    EXPECT_EQ(ShellWindows::buddyListManager().buddyForBuddyDict({{"velaID", "carol@parley.test"}})->name(),
              QStringLiteral("Carol Park"));
    // The message box heard every buddy's status.
    ASSERT_TRUE(parley::test::waitUntil([&] { return !statusLists.empty(); }));
    EXPECT_EQ(statusLists.back().value("bob@parley.test").toInt(), 0);
}

TEST_F(ShellEndToEnd, AutoLoginWaitsOneMoreSecondWhileTheConnectivityTestIsUndecided)
{
    startService();
    UserDefaults::standardUserDefaults().setObjects({{QStringLiteral("accountname"), QStringLiteral("alice")},
                                                     {QStringLiteral("accountDomain"), QStringLiteral("parley.test")},
                                                     {QStringLiteral("accountToken"), QStringLiteral("token-alice")},
                                                     {QStringLiteral("autoLogin"), 1}});
    mSession.refuse = 1;
    mNet.dplMode = false;
    controller();
    ASSERT_TRUE(waitForBuddyView());
    EXPECT_EQ(mSession.callsStartingWith(QStringLiteral("login")).size(), 2);
    ASSERT_GE(mScheduler.delays.size(), 2);
    EXPECT_EQ(mScheduler.delays.mid(0, 2), (QList<double>{1.0, 1.0}));
    EXPECT_TRUE(login().autoLoginButton->isChecked());
}

TEST_F(ShellEndToEnd, ADroppedLineIsSignedInAgainAfterTheDelay)
{
    startService();
    signedIn();
    mSession.calls.clear();
    const int delaysBefore = int(mScheduler.delays.size());
    ASSERT_EQ(mService->notificationServer()->dropSignedIn(QStringLiteral("alice@parley.test")), 1);
    ASSERT_TRUE(parley::test::waitUntil([&] { return login().selectedTab() == LoginView::SigningInTab && !showsBuddyView(); }));
    EXPECT_TRUE(login().isSpinning());
    ASSERT_TRUE(waitForBuddyView());
    EXPECT_TRUE(mController->mIsRestored());
    // The attempt waited the first step of the schedule (2 s with this random source).
    ASSERT_GT(mScheduler.delays.size(), delaysBefore);
    EXPECT_EQ(mScheduler.delays.at(delaysBefore), 2.0);
    EXPECT_EQ(mSession.callsStartingWith(QStringLiteral("login")).size(), 1);
}

TEST_F(ShellEndToEnd, ASilentServerIsSignedInAgainAtOnce)
{
    startService();
    signedIn();
    mSession.calls.clear();
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kServerDidNotResponse));
    EXPECT_EQ(mSession.calls, (QStringList{"logout 1", "login alice@parley.test"}));
    ASSERT_TRUE(waitForBuddyView());
}

TEST_F(ShellEndToEnd, SleepSignsOutAndWakingSignsInAgainOnlyWithAutoLogin)
{
    startService();
    for (const bool autoLogin : {false, true}) {
        SCOPED_TRACE(autoLogin ? "auto-login on" : "auto-login off");
        signedIn();
        UserDefaults::standardUserDefaults().setInteger(autoLogin ? 1 : 0, QStringLiteral("autoLogin"));
        NotificationCenter &center = NotificationCenter::defaultCenter();
        center.post(QLatin1String(notifications::kSystemWillSleep));
        EXPECT_FALSE(showsBuddyView());
        EXPECT_FALSE(mController->loginStatus());
        center.post(QLatin1String(notifications::kSystemWillPowerOn));
        center.post(QLatin1String(notifications::kSystemHasPoweredOn));
        if (autoLogin) {
            EXPECT_TRUE(waitForBuddyView());
            continue;
        }
        // Every delay has fired and nobody signed in.
        ASSERT_TRUE(parley::test::waitUntil([&] { return mScheduler.pending == 0; }));
        parley::test::waitUntil([] { return false; }, 100);
        EXPECT_FALSE(showsBuddyView());
        EXPECT_FALSE(mController->loginStatus());
        EXPECT_EQ(login().selectedTab(), LoginView::SignedOutTab);
    }
}

TEST_F(ShellEndToEnd, WithASecondLoginSignOutOffersTheLoginManager)
{
    startService();
    facade::test::HeadlessPeer other(mService->dispatchPort(), QStringLiteral("alice@parley.test"),
                                     QStringLiteral("alice-pw"), {QStringLiteral("--p2p-port"), QStringLiteral("0")});
    ASSERT_TRUE(other.waitFor("ParleyLoginCompleted").has_value());
    signedIn();
    ASSERT_TRUE(parley::test::waitUntil([&] { return mController->sessionCount() == 2; }));
    mAlerts.answer(1); // the login manager: stay signed in
    mController->logoutAction();
    EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("MultiLogoutType2AlertMessage")});
    EXPECT_EQ(mAlerts.shown[0].buttons,
              (QStringList{KCLocalizedString(QStringLiteral("OK")), KCLocalizedString(QStringLiteral("GotoLoginManager")),
                           KCLocalizedString(QStringLiteral("Cancel"))}));
    EXPECT_TRUE(mController->loginStatus());
    mAlerts.answer(0);
    mController->logoutAction();
    EXPECT_FALSE(mController->loginStatus());
    EXPECT_EQ(login().selectedTab(), LoginView::SignedOutTab);
}

// Clicks a button of the certificate alert whenever one is open.
class CertAlertClicker
{
public:
    explicit CertAlertClicker(const char *button)
    {
        QObject::connect(&mTimer, &QTimer::timeout, [this, button] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (window->objectName() != QLatin1String("KCCertAlertWindow") || !window->isVisible())
                    continue;
                ++shown;
                if (auto *b = window->findChild<QPushButton *>(QLatin1String(button)))
                    b->click();
            }
        });
        mTimer.start(10);
    }
    int shown = 0;

private:
    QTimer mTimer;
};

TEST_F(ShellEndToEnd, TheCertificateAlertDecidesWhetherTheSignInGoesOn)
{
    startService(parley::test::TestPki::shared().selfSignedChain);
    {
        SCOPED_TRACE("Stop");
        CertAlertClicker stop("mStopButton");
        controller();
        typeAndSignIn();
        ASSERT_TRUE(parley::test::waitUntil([&] { return stop.shown > 0 && login().selectedTab() == LoginView::FormTab; },
                                            20000));
        EXPECT_FALSE(mController->loginStatus());
        EXPECT_TRUE(login().passwordField->text().isEmpty());
        EXPECT_TRUE(mAlerts.keys().isEmpty());
    }
    {
        SCOPED_TRACE("no answer");
        controller(0.2);
        typeAndSignIn();
        ASSERT_TRUE(parley::test::waitUntil([&] { return !mAlerts.keys().isEmpty(); }, 20000));
        EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("AlertCertInit")});
        EXPECT_EQ(login().selectedTab(), LoginView::FormTab);
        EXPECT_FALSE(mController->loginStatus());
    }
    {
        SCOPED_TRACE("Continue");
        CertAlertClicker proceed("mContButton");
        controller();
        typeAndSignIn();
        ASSERT_TRUE(waitForBuddyView());
        EXPECT_GT(proceed.shown, 0);
    }
}

TEST_F(ShellEndToEnd, StartUpTellsARunningPlugInToQuit)
{
    QProcess plugIn;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), privateBusAddress());
    plugIn.setProcessEnvironment(environment);
    plugIn.start(fakePlugInProgram(), {});
    ASSERT_TRUE(plugIn.waitForStarted());
    ASSERT_TRUE(parley::test::waitUntil([&] { return plugIn.canReadLine(); }, 10000));
    ASSERT_EQ(plugIn.readLine().trimmed(), QByteArray("ready"));
    controller();
    ASSERT_TRUE(parley::test::waitUntil([&] { return plugIn.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(plugIn.exitCode(), 0);
    EXPECT_TRUE(plugIn.readAll().contains("quit"));
}

TEST_F(ShellEndToEnd, StartUpInstallsTheBuiltMessageBox)
{
    AppController::Options o;
    o.session = &mSession;
    o.connectivity = &mNet;
    o.scheduler = &mScheduler;
    o.plugInCenter = privateCenter();
    o.startPowerNotifications = false;
    o.quitApplication = [this] { ++mQuits; }; // the resource folder: the build's own
    mController = std::make_unique<AppController>(o);
    mController->awakeFromNib();
    EXPECT_EQ(mAlerts.keys(), QStringList());
    const QString plist = mSettings->supportFolder() + QStringLiteral("/PlugIn/plugin.plist");
    QVariantList plugins;
    ASSERT_TRUE(parley::test::waitUntil([&] {
        plugins = PropertyList::readFile(plist).value.toMap().value(QStringLiteral("plugins")).toList();
        return !plugins.isEmpty();
    }, 20000));
    ASSERT_EQ(plugins.size(), 1);
    const QVariantMap record = plugins.first().toMap();
    EXPECT_EQ(record.value(QStringLiteral("id")).toString(), QLatin1String(notifications::kMessageBoxPlugInID));
    EXPECT_EQ(record.value(QStringLiteral("name")).toString(), QStringLiteral("Pigeonhole"));
    const QString installed = record.value(QStringLiteral("path")).toString();
    EXPECT_EQ(installed, mSettings->supportFolder() + QStringLiteral("/PlugIn/Pigeonhole.app"));
    EXPECT_TRUE(QFileInfo(installed + QStringLiteral("/Contents/MacOS/Pigeonhole")).isExecutable());
    EXPECT_EQ(ApplicationFolders::bundleVersion(installed),
              ApplicationFolders::bundleVersion(QStringLiteral(PARLEY_RESOURCE_BUILD_DIR "/Pigeonhole.app")));
}

// The ways the application ends, each in a child process: this binary again,
// running only ShellChild.Run with the scenario in its environment.
const char kScenarioVariable[] = "PARLEY_SHELL_CHILD";
const char kChildDone[] = "shell child: done";

struct ChildResult {
    int exitCode = -1;
    QString output;
};

ChildResult runChild(const char *scenario)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(kScenarioVariable), QLatin1String(scenario));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), privateBusAddress());
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=ShellChild.Run")});
    ChildResult result;
    if (!child.waitForFinished(90000)) {
        child.kill();
        child.waitForFinished();
        result.output = QString::fromUtf8(child.readAll());
        return result;
    }
    result.exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    result.output = QString::fromUtf8(child.readAll());
    return result;
}

TEST(ShellExits, AMissingMessageBoxAlertsAndQuits)
{
    const ChildResult child = runChild("missing-bundle");
    EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
    EXPECT_TRUE(child.output.contains(QLatin1String(kChildDone))) << child.output.toStdString();
}

TEST(ShellExits, AnEnglishInterfaceIsSwitchedToKoreanAtSignInAndQuits)
{
    const ChildResult child = runChild("english");
    EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
    EXPECT_TRUE(child.output.contains(QLatin1String(kChildDone))) << child.output.toStdString();
}

// The program as main() builds it, signed in with a chat open, then ended by
// the Quit command (OK to the question) or by SIGTERM: the process leaves
// its event loop within the sign-out's bound, the server saw the LOUT, the
// window's place is saved and the message box was told to quit.
TEST(ShellExits, QuitWithAChatOpenEndsTheProgramSignedOut)
{
    const ChildResult child = runChild("quit");
    EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
    EXPECT_TRUE(child.output.contains(QLatin1String(kChildDone))) << child.output.toStdString();
}

TEST(ShellExits, SIGTERMEndsTheProgramSignedOutWithoutAsking)
{
    const ChildResult child = runChild("sigterm");
    EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
    EXPECT_TRUE(child.output.contains(QLatin1String(kChildDone))) << child.output.toStdString();
}

void runProgramUntilItEnds(const QString &scenario)
{
    parley::test::ScriptedAlerts alerts;
    trustTestAuthority();
    localservice::LocalService service;
    localservice::ServiceOptions serviceOptions;
    serviceOptions.certChainFile = parley::test::TestPki::shared().goodChain;
    serviceOptions.keyFile = parley::test::TestPki::shared().key;
    QString error;
    ASSERT_TRUE(service.start(serviceOptions, &error)) << error.toStdString();
    PLEndpoints endpoints;
    endpoints.dispatchHost = QStringLiteral("127.0.0.1");
    endpoints.dispatchPort = service.dispatchPort();
    PLEndpoints::setCurrent(endpoints);
    FreshSettings settings;
    makeMessageBoxBundle(settings.resourceFolder(), QStringLiteral("1.0"));
    facade::test::HeadlessPeer bob(service.dispatchPort(), QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"),
                                   {QStringLiteral("--p2p-port"), QStringLiteral("0")});
    ASSERT_TRUE(bob.waitFor("ParleyLoginCompleted").has_value());

    // The message box hears the quit on the session bus (the parent's private one).
    DistributedNotificationCenter box(
        QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("box")));
    int quitsToldAfterSignIn = 0;
    bool signedIn = false;
    box.addObserver(QLatin1String(notifications::kQuitPlugInProcess),
                    [&](const DistributedNotification &) { quitsToldAfterSignIn += signedIn ? 1 : 0; });

    AppController::Options o;
    o.startPowerNotifications = false;
    o.resourceDirectory = settings.resourceFolder();
    ParleyProgram program(o); // the real quit: the event loop ends
    program.start();
    AppController &controller = program.controller();
    LoginView *login = controller.loginView();
    login->idField->setText(QStringLiteral("alice"));
    login->domainComboButton->setCurrentIndex(login->domainComboButton->findText(QStringLiteral("parley.test")));
    login->passwordField->setText(QStringLiteral("alice-pw"));
    login->loginButton->click();
    ASSERT_TRUE(parley::test::waitUntil([&] { return controller.window()->isShowingBuddyView(); }, 20000));
    ASSERT_TRUE(parley::test::waitUntil(
        [] { return ShellWindows::chatManager().openChatRoom({QStringLiteral("bob@parley.test")}) != nullptr; },
        10000));
    ASSERT_TRUE(controller.isExistVisibleChildWindows());
    controller.window()->move(123, 145);
    const QByteArray frame = controller.window()->saveGeometry();
    signedIn = true;

    QElapsedTimer ending;
    if (scenario == QLatin1String("quit")) {
        alerts.answer(0);
        QTimer::singleShot(0, [&] {
            ending.start();
            controller.window()->quitAction->trigger();
        });
    } else {
        QTimer::singleShot(0, [&] {
            ending.start();
            ::kill(::getpid(), SIGTERM);
        });
    }
    // A safety net: a child that never quits fails instead of hanging.
    QTimer::singleShot(30000, [] { QCoreApplication::exit(3); });
    const int code = QApplication::exec();
    const qint64 took = ending.elapsed();
    ASSERT_EQ(code, 0) << "the program did not end";
    EXPECT_LT(took, PLParleySession::kSignOutWaitMs + 1000);
    EXPECT_EQ(alerts.keys(), scenario == QLatin1String("quit") ? QStringList{QStringLiteral("AlertQuitMessage")}
                                                              : QStringList());
    const auto records = service.notificationServer()->received().of(QStringLiteral("alice@parley.test"));
    ASSERT_FALSE(records.isEmpty());
    EXPECT_TRUE(records.last()->lines.last().startsWith(QLatin1String("LOUT ")))
        << records.last()->lines.last().toStdString();
    EXPECT_EQ(UserDefaults(settings.settingsFile()).dataForKey(QStringLiteral("NSWindow Frame Parley")), frame);
    ASSERT_TRUE(parley::test::waitUntil([&] { return quitsToldAfterSignIn > 0; }, 2000));
}

// Run by the tests above in a child process; skipped otherwise.
TEST(ShellChild, Run)
{
    const QString scenario = qEnvironmentVariable(kScenarioVariable);
    if (scenario.isEmpty())
        GTEST_SKIP() << "runs only as the child of ShellExits";
    if (scenario == QLatin1String("quit") || scenario == QLatin1String("sigterm")) {
        runProgramUntilItEnds(scenario);
        if (!HasFailure())
            std::printf("%s\n", kChildDone);
        std::fflush(stdout);
        return;
    }
    parley::test::ScriptedAlerts alerts;
    std::unique_ptr<localservice::LocalService> service;
    if (scenario == QLatin1String("english")) {
        trustTestAuthority();
        service = std::make_unique<localservice::LocalService>();
        localservice::ServiceOptions options;
        options.certChainFile = parley::test::TestPki::shared().goodChain;
        options.keyFile = parley::test::TestPki::shared().key;
        QString error;
        ASSERT_TRUE(service->start(options, &error)) << error.toStdString();
        PLEndpoints endpoints;
        endpoints.dispatchHost = QStringLiteral("127.0.0.1");
        endpoints.dispatchPort = service->dispatchPort();
        PLEndpoints::setCurrent(endpoints);
    }
    FreshSettings settings(scenario == QLatin1String("english") ? QStringLiteral("en") : QStringLiteral("ko"));
    if (scenario != QLatin1String("missing-bundle"))
        makeMessageBoxBundle(settings.resourceFolder(), QStringLiteral("1.0"));

    AppController::Options o;
    o.startPowerNotifications = false;
    o.resourceDirectory = settings.resourceFolder();
    AppController controller(o); // the real quit: the event loop ends
    controller.awakeFromNib();
    if (scenario == QLatin1String("english")) {
        LoginView *login = controller.loginView();
        EXPECT_FALSE(login->usesDomainMenu()) << "other languages type the domain";
        login->idField->setText(QStringLiteral("alice"));
        login->domainNameField->setText(QStringLiteral("parley.test"));
        login->passwordField->setText(QStringLiteral("alice-pw"));
        QTimer::singleShot(0, login->loginButton, &QPushButton::click);
    }
    // A safety net: a child that never quits fails instead of hanging.
    QTimer::singleShot(60000, [] { QCoreApplication::exit(3); });
    const int code = QApplication::exec();
    ASSERT_EQ(code, 0) << "the application did not quit by itself";

    if (scenario == QLatin1String("missing-bundle")) {
        EXPECT_EQ(alerts.keys(), QStringList{QStringLiteral("ComponentsIsNotExist")});
        EXPECT_FALSE(controller.window()->isVisible());
    } else {
        EXPECT_EQ(alerts.keys(), QStringList{QStringLiteral("NoGlobalAlertMessage")});
        // Read back from the file: the next start is Korean.
        UserDefaults reread(settings.settingsFile());
        EXPECT_EQ(reread.objectForKey(QLatin1String(kAppleLanguagesKey)).toStringList(), QStringList{QStringLiteral("ko")});
    }
    if (!HasFailure())
        std::printf("%s\n", kChildDone);
    std::fflush(stdout);
}

} // namespace
