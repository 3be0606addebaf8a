// The application controller against a recording facade, a scheduler that
// runs delays on request and scripted alerts: the sign-in paths, completion,
// retry, sleep and wake, sign-out and quit.
#include "AppController.h"
#include "BuddyList/BuddyRequestController.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyView.h"
#include "DomainSheet.h"
#include "LoginView.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ScriptedAlerts.h"
#include "Sessions/PLCertAlert.h"
#include "Sessions/PLParleySession.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

namespace {

UserDefaults &defaults() { return UserDefaults::standardUserDefaults(); }

void post(const char *name, const QVariantMap &userInfo = {}, const void *sender = nullptr)
{
    NotificationCenter::defaultCenter().post(QLatin1String(name), sender, userInfo);
}

QVariantMap options(bool offline, bool encrypted, bool retry, bool autoLogin)
{
    return {{QLatin1String(PLParleySession::kShowAsOffline), offline},
            {QLatin1String(PLParleySession::kPasswordEncrypted), encrypted},
            {QLatin1String(PLParleySession::kIsRetry), retry},
            {QLatin1String(PLParleySession::kAutoLogin), autoLogin}};
}

DistributedNotificationCenter &plugInCenter()
{
    if (DistributedNotificationCenter *center = privateCenter())
        return *center;
    // Never the real session bus: without a private one, a center on no bus.
    static DistributedNotificationCenter offline(QDBusConnection(QStringLiteral("shell-tests-offline")));
    return offline;
}

// Public: the table tests' cases reach the fixture through a reference.
class AppControllerTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        mController.reset();
        mSettings.reset();
        mSettings = std::make_unique<FreshSettings>(language());
        makeMessageBoxBundle(mSettings->resourceFolder(), QStringLiteral("1.0"));
    }
    void TearDown() override
    {
        mController.reset();
        parley::test::waitUntil([] { return false; }, 10); // deferred deletions
    }
    virtual QString language() const { return QStringLiteral("ko"); }

    AppController &controller(bool awake = true)
    {
        AppController::Options o;
        o.session = &mSession;
        o.connectivity = &mNet;
        o.scheduler = &mScheduler;
        o.plugInCenter = &plugInCenter();
        o.random = [this] { return mRandom; };
        o.startPowerNotifications = false;
        o.installCoreServices = false;
        o.resourceDirectory = mSettings->resourceFolder();
        o.quitApplication = [this] { ++mQuits; };
        mController = std::make_unique<AppController>(o);
        if (awake)
            mController->awakeFromNib();
        return *mController;
    }
    LoginView &login() { return *mController->loginView(); }

    void saveAccount(const QString &token = QStringLiteral("token-alice"), bool autoLogin = true)
    {
        defaults().setObjects({{QStringLiteral("accountname"), QStringLiteral("alice")},
                               {QStringLiteral("accountDomain"), QStringLiteral("parley.test")},
                               {QStringLiteral("accountToken"), token},
                               {QStringLiteral("autoLogin"), autoLogin ? 1 : 0}});
    }
    void typeAndSignIn(const QString &id = QStringLiteral("alice"), const QString &password = QStringLiteral("alice-pw"))
    {
        QTest::keyClicks(login().idField, id);
        QTest::keyClicks(login().passwordField, password);
        QTest::keyClick(login().passwordField, Qt::Key_Return);
    }
    // The server completes the sign-in and the buddy list is asked for.
    void completeSignIn()
    {
        mSession.loggedIn = true;
        post(notifications::kLoginCompleted);
        while (mScheduler.runNext()) {
        }
    }
    void signedIn()
    {
        controller();
        typeAndSignIn();
        completeSignIn();
        ASSERT_TRUE(mController->window()->isShowingBuddyView());
    }
    QStringList alertKeys() const { return mAlerts.keys(); }

    std::unique_ptr<FreshSettings> mSettings;
    parley::test::ScriptedAlerts mAlerts;
    RecordingWindows mWindows;
    RecordingAccountSession mSession;
    ManualScheduler mScheduler;
    FakeConnectivity mNet;
    int mRandom = 0;
    int mQuits = 0;
    std::unique_ptr<AppController> mController;
};

TEST_F(AppControllerTest, EachWayOfSigningInSendsItsOptions)
{
    using Login = RecordingAccountSession::Login;
    struct Case {
        const char *path;
        std::function<void(AppControllerTest &)> run;
        Login expected;
    };
    const Case cases[] = {
        {"the sign-in button",
         [](AppControllerTest &t) {
             t.controller();
             t.login().loginAsInvisible->setChecked(true);
             t.typeAndSignIn();
         },
         {"alice@parley.test", "alice-pw", options(true, false, false, false)}},
        {"auto-login",
         [](AppControllerTest &t) {
             t.saveAccount();
             t.controller();
         },
         {"alice@parley.test", "token-alice", options(false, true, false, true)}},
        {"auto-login's second try",
         [](AppControllerTest &t) {
             t.saveAccount();
             t.mSession.loginAnswers = {false};
             t.mNet.dplMode = true;
             t.controller();
             t.mSession.logins.clear();
             t.mScheduler.runNext();
         },
         {"alice@parley.test", "token-alice", options(false, true, false, false)}},
        {"a retry with the saved token",
         [](AppControllerTest &t) {
             t.signedIn();
             t.saveAccount(QStringLiteral("token-alice"), false);
             t.mSession.logins.clear();
             post(notifications::kSessionClosed, {{"SessionClosed", "DPSessionRetry"}});
             t.mScheduler.runNext();
         },
         {"alice@parley.test", "token-alice", options(false, true, true, false)}},
        {"a retry without a token",
         [](AppControllerTest &t) {
             t.signedIn();
             t.saveAccount(QString(QLatin1String("")), false);
             t.login().passwordField->setText(QStringLiteral("alice-pw"));
             t.mSession.logins.clear();
             post(notifications::kSessionClosed, {{"SessionClosed", "DPSessionRetry"}});
             t.mScheduler.runNext();
         },
         {"alice@parley.test", "alice-pw", options(false, false, false, false)}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        TearDown();
        SetUp();
        mSession = RecordingAccountSession();
        mScheduler = ManualScheduler();
        mNet = FakeConnectivity();
        c.run(*this);
        ASSERT_EQ(mSession.logins.size(), 1);
        EXPECT_EQ(mSession.logins[0].userID, c.expected.userID);
        EXPECT_EQ(mSession.logins[0].password, c.expected.password);
        EXPECT_EQ(mSession.logins[0].options, c.expected.options);
    }
}

TEST_F(AppControllerTest, AutoLoginWaitsOneMoreSecondOnlyWhileTheConnectivityTestIsUndecided)
{
    for (const bool decided : {false, true}) {
        SCOPED_TRACE(decided ? "decided" : "undecided");
        TearDown();
        SetUp();
        mSession = RecordingAccountSession();
        mScheduler = ManualScheduler();
        saveAccount();
        mSession.loginAnswers = {false}; // the first call is refused
        mNet.dplMode = decided;
        controller();
        ASSERT_EQ(mSession.logins.size(), 1);
        EXPECT_EQ(mScheduler.delays, QList<double>{1.0});
        mScheduler.runNext();
        if (!decided) {
            EXPECT_EQ(mSession.logins.size(), 1) << "the first firing only waits";
            EXPECT_EQ(mScheduler.delays, (QList<double>{1.0, 1.0}));
            mScheduler.runNext();
        }
        ASSERT_EQ(mSession.logins.size(), 2);
        EXPECT_EQ(mSession.logins[1].password, QStringLiteral("token-alice"));
        EXPECT_EQ(login().selectedTab(), LoginView::SigningInTab);
        EXPECT_EQ(mScheduler.pendingCount(), 0);
    }
}

TEST_F(AppControllerTest, AutoLoginRefusedTwiceForgetsTheToken)
{
    saveAccount();
    mSession.loginAnswers = {false, false};
    mNet.dplMode = true;
    controller();
    mScheduler.runNext();
    EXPECT_EQ(mSession.logins.size(), 2);
    EXPECT_FALSE(login().autoLoginButton->isChecked());
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("accountToken")), QString());
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("autoLogin")), 0);
}

TEST_F(AppControllerTest, TheSignInButtonFollowsTheFieldsAndOnlyItSignsIn)
{
    saveAccount(QStringLiteral("token-alice"), false);
    controller();
    EXPECT_EQ(login().idField->text(), QStringLiteral("alice"));
    EXPECT_FALSE(login().loginButton->isEnabled());
    QTest::keyClicks(login().passwordField, QStringLiteral("pw"));
    EXPECT_TRUE(login().loginButton->isEnabled());
    login().idField->clear();
    EXPECT_FALSE(login().loginButton->isEnabled());
    QTest::keyClick(login().passwordField, Qt::Key_Return);
    EXPECT_TRUE(mSession.logins.isEmpty()) << "Return does nothing while the button is off";

    login().idField->setText(QStringLiteral("alice"));
    mController->loginAction(login().passwordField); // another sender
    mController->loginAction(nullptr);
    EXPECT_TRUE(mSession.logins.isEmpty());
    QTest::keyClick(login().passwordField, Qt::Key_Return);
    ASSERT_EQ(mSession.logins.size(), 1);
    EXPECT_EQ(login().selectedTab(), LoginView::SigningInTab);
    EXPECT_TRUE(login().isSpinning());
    EXPECT_EQ(login().currentIDField->text(), QStringLiteral("alice@parley.test"));
    EXPECT_EQ(mController->currentUserID(), QStringLiteral("alice@parley.test"));
}

TEST_F(AppControllerTest, SigningInWithAnEmptyPasswordForgetsTheSavedToken)
{
    saveAccount();
    mSession.loginAnswers = {true};
    controller(); // auto-login starts
    login().passwordField->clear();
    mController->loginAction(login().loginButton);
    EXPECT_EQ(mSession.logins.size(), 1);
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("accountToken")), QString());
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("autoLogin")), 0);
    EXPECT_FALSE(login().autoLoginButton->isChecked());
}

TEST_F(AppControllerTest, CompletionSavesTheAccountAndShowsTheBuddyViewWithTheList)
{
    for (const bool withList : {false, true}) {
        SCOPED_TRACE(withList ? "a buddy list is registered" : "no buddy list yet");
        TearDown();
        SetUp();
        mSession = RecordingAccountSession();
        mScheduler = ManualScheduler();
        mWindows.calls.clear();
        if (withList)
            mWindows.useDataSource();
        controller();
        login().autoLoginButton->setChecked(true);
        typeAndSignIn();
        mSession.loggedIn = true;
        post(notifications::kLoginCompleted);
        EXPECT_FALSE(mController->window()->isShowingBuddyView()) << "the list is asked for two seconds later";
        EXPECT_EQ(mScheduler.delays, QList<double>{2.0});
        mScheduler.runNext();
        EXPECT_TRUE(mController->window()->isShowingBuddyView());
        EXPECT_FALSE(login().isSpinning());
        EXPECT_TRUE(mController->mIsCompletedLogin());
        EXPECT_EQ(defaults().stringForKey(QStringLiteral("accountname")), QStringLiteral("alice"));
        EXPECT_EQ(defaults().stringForKey(QStringLiteral("accountDomain")), QStringLiteral("parley.test"));
        EXPECT_EQ(defaults().integerForKey(QStringLiteral("autoLogin")), 1);
        EXPECT_TRUE(defaults().hasUserDictionary(QStringLiteral("alice@parley.test")));
        EXPECT_EQ(mController->window()->buddyView()->buddyStatusField->text(), KCLocalizedString("Online"));
        EXPECT_TRUE(mSession.calls.contains(QStringLiteral("pong 1")));
        if (withList) {
            EXPECT_EQ(mWindows.count(QStringLiteral("list setIsLoginCompleted 1")), 1);
            // A first sign-in of the account opens every group once.
            EXPECT_EQ(mWindows.count(QStringLiteral("list expandAllItems 1")), 1);
        }
    }
}

TEST_F(AppControllerTest, ALostLineAfterSignInRetriesWithTheTokenAfterTheDelay)
{
    signedIn();
    saveAccount(QStringLiteral("token-alice"), false); // the server's token, as the sign-in keeps it
    mRandom = 7; // 2 + 7 % 4 seconds
    post(notifications::kSessionClosed, {{"SessionClosed", "DPSessionRetry"}});
    EXPECT_TRUE(mSession.calls.contains(QStringLiteral("logout 1")));
    EXPECT_EQ(login().selectedTab(), LoginView::SigningInTab);
    EXPECT_TRUE(login().isSpinning());
    EXPECT_EQ(mScheduler.delays.last(), 5.0);
    EXPECT_EQ(mController->mRetryCount(), 2);
    mSession.logins.clear();
    mScheduler.runNext();
    ASSERT_EQ(mSession.logins.size(), 1);
    EXPECT_TRUE(mSession.logins[0].options.value(QLatin1String(PLParleySession::kIsRetry)).toBool());

    completeSignIn();
    EXPECT_TRUE(mController->mIsRestored());
    EXPECT_EQ(mController->mRetryCount(), 0);
    EXPECT_TRUE(mController->window()->isShowingBuddyView());
}

TEST_F(AppControllerTest, AFailedRetryStartsNoNewDelay)
{
    saveAccount(QStringLiteral("token-alice"), false);
    controller();
    typeAndSignIn();
    // The dispatch line drops before the sign-in completed: one retry, then none.
    post(notifications::kSessionClosed, {{"SessionClosed", "DPLSessionRetry"}});
    EXPECT_EQ(mScheduler.pendingCount(), 1);
    EXPECT_TRUE(mController->mIsRetryRunning());
    mScheduler.runNext();
    post(notifications::kSessionClosed, {{"SessionClosed", "DPLSessionRetry"}});
    EXPECT_EQ(mScheduler.pendingCount(), 0);
    EXPECT_EQ(login().selectedTab(), LoginView::SigningInTab);
    // Cancel ends it.
    QTest::mouseClick(login().loginCancelButton, Qt::LeftButton);
    EXPECT_TRUE(mSession.calls.contains(QStringLiteral("stopLogin")));
    EXPECT_EQ(login().selectedTab(), LoginView::SignedOutTab);
}

TEST_F(AppControllerTest, ASilentServerIsLeftAndSignedInAgainAtOnce)
{
    signedIn();
    saveAccount(QStringLiteral("token-alice"), false);
    mSession.calls.clear();
    mSession.logins.clear();
    const int delaysBefore = int(mScheduler.delays.size());
    post(notifications::kServerDidNotResponse);
    EXPECT_EQ(mSession.calls.mid(0, 3),
              (QStringList{"pong 0", "logout 1", "login alice@parley.test"}));
    EXPECT_EQ(mScheduler.delays.size(), delaysBefore);
    ASSERT_EQ(mSession.logins.size(), 1);
    EXPECT_EQ(mSession.logins[0].password, QStringLiteral("token-alice"));
}

TEST_F(AppControllerTest, SleepSignsOutAndWakingSignsInAgainOnlyWithAutoLogin)
{
    for (const bool autoLogin : {false, true}) {
        SCOPED_TRACE(autoLogin ? "auto-login on" : "auto-login off");
        TearDown();
        SetUp();
        mSession = RecordingAccountSession();
        mScheduler = ManualScheduler();
        signedIn();
        saveAccount(QStringLiteral("token-alice"), autoLogin);
        const QString busy = KCLocalizedString(QStringLiteral("Busy"));
        mController->changeStatusMainWindow(2);
        mSession.logins.clear();

        post(notifications::kSystemWillSleep);
        EXPECT_TRUE(mSession.calls.contains(QStringLiteral("logout 1")));
        EXPECT_TRUE(mController->mIsSleeping());
        EXPECT_EQ(mController->mLastMyStatus(), busy);
        // The logout's completion keeps the sign-in as completed while asleep.
        post(notifications::kLogoutCompleted);
        EXPECT_TRUE(mController->mIsCompletedLogin());

        post(notifications::kSystemWillPowerOn);
        post(notifications::kSystemHasPoweredOn);
        EXPECT_TRUE(mController->mIsSleeping()) << "waking waits one second";
        EXPECT_EQ(mScheduler.delays.last(), 1.0);
        mScheduler.runNext();
        EXPECT_FALSE(mController->mIsSleeping());
        while (mScheduler.runNext()) {
        }
        if (!autoLogin) {
            EXPECT_TRUE(mSession.logins.isEmpty());
            continue;
        }
        ASSERT_EQ(mSession.logins.size(), 1);
        EXPECT_EQ(mSession.logins[0].password, QStringLiteral("token-alice"));
        completeSignIn();
        EXPECT_EQ(mController->window()->buddyView()->buddyStatusField->text(), busy);
    }
}

TEST_F(AppControllerTest, AfterAWakeRetryASignInThatAppearsOfflineStaysOffline)
{
    signedIn();
    saveAccount(QStringLiteral("token-alice"), true);
    mController->changeStatusMainWindow(2);
    post(notifications::kSystemWillSleep);
    post(notifications::kLogoutCompleted);
    post(notifications::kSystemHasPoweredOn);
    while (mScheduler.runNext()) {
    }
    completeSignIn();
    ASSERT_TRUE(mController->mIsRestored());
    ASSERT_EQ(mController->window()->buddyView()->buddyStatusField->text(), KCLocalizedString(QStringLiteral("Busy")));

    // Signed out, then in again by hand appearing offline, and once more by auto-login.
    for (const bool byHand : {true, false}) {
        SCOPED_TRACE(byHand ? "by hand" : "auto-login");
        mController->logoutAction();
        post(notifications::kLogoutCompleted);
        mSession.calls.clear();
        login().loginAsInvisible->setChecked(true);
        if (byHand) {
            login().autoLoginButton->setChecked(true); // for the next round
            login().passwordField->setText(QStringLiteral("alice-pw"));
            login().loginButton->click();
        } else {
            login().loginAgainButton->click();
        }
        ASSERT_EQ(mSession.callsStartingWith(QStringLiteral("login")).size(), 1);
        completeSignIn();
        EXPECT_FALSE(mController->mIsRestored());
        EXPECT_TRUE(mController->mLastMyStatus().isEmpty());
        EXPECT_EQ(mController->window()->buddyView()->buddyStatusField->text(),
                  KCLocalizedString(QStringLiteral("AppearOffline")));
        EXPECT_FALSE(mSession.calls.contains(QStringLiteral("status 1")));
    }
}

TEST_F(AppControllerTest, AfterACancelledRetryASignInAgainIsRetriedWhenItsLineDrops)
{
    signedIn();
    saveAccount(QStringLiteral("token-alice"), true);
    int dispatch = 0;
    mSession.signInSession = &dispatch;
    post(notifications::kSessionClosed, {{"SessionClosed", "DPSessionRetry"}});
    ASSERT_TRUE(mScheduler.runNext()); // the retry
    // Its connection fails, and the user cancels.
    post(notifications::kSessionConnectionFailed, {{"errorClass", "Login"}}, &dispatch);
    ASSERT_TRUE(parley::test::waitUntil([&] { return mController->mIsSleeping(); }, 2000));
    QTest::mouseClick(login().loginCancelButton, Qt::LeftButton);
    EXPECT_FALSE(mController->mIsSleeping());
    mSession.logins.clear();
    while (mScheduler.runNext()) {
    }
    EXPECT_TRUE(mSession.logins.isEmpty()) << "a cancelled retry signs in no more";

    // Sign in again (auto-login: the saved token), then the line drops: a retry starts.
    login().loginAgainButton->click();
    ASSERT_EQ(mSession.logins.size(), 1);
    completeSignIn();
    ASSERT_TRUE(mController->window()->isShowingBuddyView());
    mSession.logins.clear();
    post(notifications::kSessionClosed, {{"SessionClosed", "DPSessionRetry"}});
    EXPECT_EQ(login().selectedTab(), LoginView::SigningInTab);
    EXPECT_EQ(mScheduler.pendingCount(), 1);
    ASSERT_TRUE(mScheduler.runNext());
    EXPECT_EQ(mSession.logins.size(), 1);
}

TEST_F(AppControllerTest, ReturnOnTheSignedOutViewSignsInAgain)
{
    signedIn();
    QWidget *window = mController->window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    login().passwordField->setFocus(); // where the sign-in left it
    mController->logoutAction();
    post(notifications::kLogoutCompleted);
    ASSERT_EQ(login().selectedTab(), LoginView::SignedOutTab);
    EXPECT_TRUE(login().loginAgainButton->isDefault());
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key == Qt::Key_Return ? "Return" : "Enter");
        login().selectTab(LoginView::SignedOutTab);
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, key);
        EXPECT_EQ(login().selectedTab(), LoginView::FormTab);
        EXPECT_TRUE(login().passwordField->text().isEmpty());
        EXPECT_TRUE(login().idField->text() == QStringLiteral("alice"));
    }
    // On the form Return is the sign-in button's, with nothing typed nothing.
    mSession.logins.clear();
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(login().selectedTab(), LoginView::FormTab);
    EXPECT_TRUE(mSession.logins.isEmpty());
}

TEST_F(AppControllerTest, ASignInConnectionThatFailsShowsTheNetworkAlert)
{
    controller();
    typeAndSignIn();
    int dispatch = 0;
    mSession.signInSession = &dispatch;
    // A chat room's connection is not the sign-in's business.
    int chatRoom = 0;
    post(notifications::kSessionConnectionFailed, {{"errorClass", "refused"}}, &chatRoom);
    parley::test::waitUntil([] { return false; }, 20);
    EXPECT_TRUE(alertKeys().isEmpty());
    EXPECT_EQ(login().selectedTab(), LoginView::SigningInTab);

    post(notifications::kSessionConnectionFailed, {{"errorClass", "refused"}}, &dispatch);
    ASSERT_TRUE(parley::test::waitUntil([&] { return !alertKeys().isEmpty(); }, 2000));
    EXPECT_EQ(alertKeys(), QStringList{QStringLiteral("AlertNetworkError")});
    EXPECT_EQ(mAlerts.shown[0].style, KCAlertRequest::Style::Critical);
    EXPECT_TRUE(mSession.calls.contains(QStringLiteral("stopLogin")));
    EXPECT_EQ(login().selectedTab(), LoginView::SignedOutTab);
    EXPECT_FALSE(mController->mIsRetrying());
    EXPECT_EQ(mScheduler.pendingCount(), 0) << "no retry after a failed first sign-in";
}

TEST_F(AppControllerTest, TheTrayIconIsNoWindowToAskAboutOrClose)
{
    // Where the desktop's tray embeds windows, Qt's tray icon is a top-level widget like this one.
    QWidget tray(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    tray.setObjectName(QStringLiteral("QSystemTrayIconSys"));
    tray.show();
    controller();
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        login().passwordField->setText(QStringLiteral("alice-pw"));
        if (login().idField->text().isEmpty())
            login().idField->setText(QStringLiteral("alice"));
        login().selectTab(LoginView::FormTab);
        login().loginButton->click();
        completeSignIn();
        ASSERT_TRUE(mController->window()->isShowingBuddyView());
        EXPECT_FALSE(mController->isExistVisibleChildWindows());
        mController->logoutAction();
        post(notifications::kLogoutCompleted);
        EXPECT_TRUE(alertKeys().isEmpty()) << alertKeys().join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(login().selectedTab(), LoginView::SignedOutTab);
        EXPECT_TRUE(tray.isVisible());
    }
}

TEST_F(AppControllerTest, AClosedBuddyRequestWindowLeavesTheController)
{
    signedIn();
    PLBuddyPtr eve = PLBuddyManager::sharedManager().createBuddyForCMN(QStringLiteral("700"));
    eve->setVelaID(QStringLiteral("eve@parley.test"));
    eve->setBuddyFlags(QStringLiteral("0100")); // not on my list yet
    parley::BuddyRequestController::installFactory();
    const auto request = [] {
        post(notifications::kBuddyManagerRequestedAddBuddy,
             {{QLatin1String(notifications::kKeyFromID), "eve@parley.test"},
              {QLatin1String(notifications::kKeyFromCMN), "700"},
              {"message", "hi"}});
    };
    const auto openWindow = []() -> BuddyRequestWindow * {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *window = qobject_cast<BuddyRequestWindow *>(w); window && window->isVisible())
                return window;
        return nullptr;
    };
    // Twice from the same person: the second window replaces the first.
    request();
    request();
    parley::test::waitUntil([] { return false; }, 20);
    EXPECT_EQ(mController->buddyRequestWindowCount(), 1);
    ASSERT_NE(openWindow(), nullptr);
    openWindow()->buddyCancelAction();
    EXPECT_TRUE(parley::test::waitUntil([&] { return mController->buddyRequestWindowCount() == 0; }, 2000));
    // Closed by its close box.
    request();
    ASSERT_NE(openWindow(), nullptr);
    openWindow()->close();
    EXPECT_TRUE(parley::test::waitUntil([&] { return mController->buddyRequestWindowCount() == 0; }, 2000));
    parley::BuddyRequestController::uninstallFactory();
    PLBuddyManager::sharedManager().reset();
}

TEST_F(AppControllerTest, QuitAsksOnlyWhenSignedInWithAChildWindowOpen)
{
    QWidget chat;
    chat.setWindowTitle(QStringLiteral("a chat"));
    QWidget notice(nullptr, Qt::Tool);
    struct Case {
        const char *what;
        bool signIn;
        QWidget *open;
        std::vector<int> answers;
        bool asked;
        bool quits;
    };
    const Case cases[] = {
        {"signed out, a window open", false, &chat, {}, false, true},
        {"signed in, nothing else open", true, nullptr, {}, false, true},
        {"signed in, a notice open", true, &notice, {}, false, true},
        {"signed in, a chat open, OK", true, &chat, {0}, true, true},
        {"signed in, a chat open, Cancel", true, &chat, {1}, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        mSession = RecordingAccountSession();
        mScheduler = ManualScheduler();
        mWindows.calls.clear();
        mWindows.toastWindows = {&notice};
        mAlerts.shown.clear();
        mQuits = 0;
        if (c.signIn)
            signedIn();
        else
            controller();
        if (c.open)
            c.open->show();
        for (int answer : c.answers)
            mAlerts.answer(answer);
        mController->closeAction();
        EXPECT_EQ(alertKeys().contains(QStringLiteral("AlertQuitMessage")), c.asked);
        EXPECT_EQ(mQuits, c.quits ? 1 : 0);
        EXPECT_EQ(mWindows.count(QStringLiteral("bridge removeBridgeFile")), c.quits ? 1 : 0);
        if (c.open)
            c.open->hide();
    }
}

TEST_F(AppControllerTest, QuitWithOtherLoginsWaitsForTheStatusAcknowledgementButNotForever)
{
    for (const bool acknowledged : {true, false}) {
        SCOPED_TRACE(acknowledged ? "the server acknowledges" : "the server stays silent");
        TearDown();
        SetUp();
        mSession = RecordingAccountSession();
        mScheduler = ManualScheduler();
        mQuits = 0;
        signedIn();
        defaults().setInteger(2, QStringLiteral("statusSessionManager"));
        post(notifications::kSessionCount, {{"count", 3}});
        mSession.calls.clear();
        mController->closeAction();
        EXPECT_EQ(mSession.calls, QStringList{QStringLiteral("status 3")});
        EXPECT_TRUE(mController->isCloseApplication());
        EXPECT_EQ(mQuits, 0);
        EXPECT_EQ(mScheduler.delays.last(), PLEndpoints::current().signoutTimeout);
        if (acknowledged)
            post(notifications::kClose);
        else
            mScheduler.runNext();
        EXPECT_EQ(mQuits, 1);
        EXPECT_FALSE(mController->isCloseApplication());
        // A late wait or acknowledgement changes nothing more.
        mScheduler.runNext();
        EXPECT_EQ(mQuits, 1);
    }
}

TEST_F(AppControllerTest, SignOutWithOtherLoginsWaitsForTheStatusAcknowledgementButNotForever)
{
    for (const bool acknowledged : {true, false}) {
        SCOPED_TRACE(acknowledged ? "the server acknowledges" : "the server stays silent");
        TearDown();
        SetUp();
        mSession = RecordingAccountSession();
        mScheduler = ManualScheduler();
        signedIn();
        defaults().setInteger(6, QStringLiteral("statusSessionManager"));
        post(notifications::kSessionCount, {{"count", 2}});
        mAlerts.answer(0); // OK in the three-button alert
        mSession.calls.clear();
        mController->logoutAction();
        EXPECT_EQ(mSession.calls, (QStringList{"pong 0", "status 0"}));
        EXPECT_TRUE(mController->isLogoutApplication());
        if (acknowledged)
            post(notifications::kLogout);
        else
            mScheduler.runNext();
        EXPECT_TRUE(mSession.calls.contains(QStringLiteral("logout 1")));
        EXPECT_FALSE(mController->isLogoutApplication());
    }
}

TEST_F(AppControllerTest, SignOutAsksAsTheOpenWindowsAndOtherLoginsRequire)
{
    QWidget chat;
    struct Case {
        const char *what;
        int sessions;
        bool chatOpen;
        int answer;
        const char *alert; // none: no alert
        bool loggedOut;
    };
    const Case cases[] = {
        {"alone, nothing open", 1, false, -1, nullptr, true},
        {"alone, a chat open, OK", 1, true, 0, "LogoutAlertMessage", true},
        {"alone, a chat open, Cancel", 1, true, 1, "LogoutAlertMessage", false},
        {"two logins, OK", 2, false, 0, "MultiLogoutType2AlertMessage", true},
        {"two logins, a chat open, the login manager", 2, true, 1, "MultiLogoutType1AlertMessage", false},
        {"two logins, Cancel", 2, false, 2, "MultiLogoutType2AlertMessage", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        mSession = RecordingAccountSession();
        mScheduler = ManualScheduler();
        mAlerts.shown.clear();
        signedIn();
        post(notifications::kSessionCount, {{"count", c.sessions}});
        if (c.chatOpen)
            chat.show();
        if (c.answer >= 0)
            mAlerts.answer(c.answer);
        mSession.calls.clear();
        mController->logoutAction();
        chat.hide();
        EXPECT_EQ(alertKeys(), c.alert ? QStringList{QLatin1String(c.alert)} : QStringList());
        if (c.alert && QLatin1String(c.alert).startsWith(QLatin1String("Multi"))) {
            EXPECT_EQ(mAlerts.shown[0].buttons.size(), 3);
        }
        EXPECT_EQ(mSession.calls.contains(QStringLiteral("logout 1")), c.loggedOut);
        // Staying signed in keeps the sign-in completed, so the list still refreshes.
        EXPECT_EQ(mController->mIsCompletedLogin(), !c.loggedOut);
        if (c.loggedOut) {
            EXPECT_EQ(login().selectedTab(), LoginView::SignedOutTab);
        }
    }
}

TEST_F(AppControllerTest, SignOutCompletionResetsTheWindowsAndForgetsTheUser)
{
    signedIn();
    const QString message = mSettings->supportFolder() + QStringLiteral("/Message/default.sqlite");
    QFile store(message);
    ASSERT_TRUE(store.open(QIODevice::WriteOnly));
    store.close();
    mWindows.calls.clear();
    mController->logoutAction();
    post(notifications::kLogoutCompleted);
    for (const char *call : {"transfer reset", "chat reset", "toaster reset", "plugins reset", "dock dockIconUpdate"}) {
        SCOPED_TRACE(call);
        EXPECT_GE(mWindows.count(QLatin1String(call)), 1);
    }
    EXPECT_TRUE(mController->currentUserID().isNull());
    EXPECT_FALSE(QFile::exists(message));
    EXPECT_TRUE(login().passwordField->text().isEmpty());
    EXPECT_EQ(login().selectedTab(), LoginView::SignedOutTab);
    EXPECT_FALSE(mController->window()->isShowingBuddyView());
}

TEST_F(AppControllerTest, ASignInElsewhereForgetsTheSavedAccount)
{
    signedIn();
    ASSERT_EQ(defaults().stringForKey(QStringLiteral("accountname")), QStringLiteral("alice"));
    post(notifications::kMyIDLoggedInOtherPlace);
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("autoLogin")), 0);
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("accountname")), QString());
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("accountDomain")), PLEndpoints::current().portalDomain);
    EXPECT_TRUE(login().idField->text().isEmpty());
    EXPECT_FALSE(login().autoLoginButton->isChecked());
    EXPECT_FALSE(mController->mIsCompletedLogin());
}

TEST_F(AppControllerTest, ARefusedCertificateEndsTheSignIn)
{
    controller();
    typeAndSignIn();
    post(notifications::kCertError, {{"error", 0}});
    EXPECT_FALSE(mSession.calls.contains(QStringLiteral("stopLogin"))) << "only a refusal (-1) counts";
    post(notifications::kCertError, {{"error", -1}});
    EXPECT_TRUE(mSession.calls.contains(QStringLiteral("stopLogin")));
    EXPECT_TRUE(login().passwordField->text().isEmpty());
    EXPECT_EQ(login().selectedTab(), LoginView::FormTab);
    EXPECT_TRUE(alertKeys().isEmpty());

    post(notifications::kCertInitError);
    EXPECT_EQ(alertKeys(), QStringList{QStringLiteral("AlertCertInit")});
}

TEST_F(AppControllerTest, TheDomainSheetAddsADomainBeforeOthersAndKeepsIt)
{
    controller();
    QComboBox *combo = login().domainComboButton;
    const QStringList before = defaults().objectForKey(QStringLiteral("DefaultDomains")).toStringList();
    ASSERT_EQ(before.last(), KCLocalizedString(QStringLiteral("Others")));
    const auto chooseOthers = [&] {
        combo->setCurrentIndex(combo->count() - 1);
        mController->selectDomainAction();
        ASSERT_TRUE(mController->domainSheet()->isVisible());
    };
    const auto type = [&](const QString &domain) {
        mController->domainSheet()->domainField->setText(domain);
        QTest::mouseClick(mController->domainSheet()->domainOKButton, Qt::LeftButton);
    };

    chooseOthers();
    type(QString());
    EXPECT_TRUE(mController->domainSheet()->isVisible()) << "an empty domain is not taken";
    type(QStringLiteral("bad domain"));
    EXPECT_TRUE(mController->domainSheet()->isVisible());
    type(QStringLiteral("new.example"));
    EXPECT_FALSE(mController->domainSheet()->isVisible());
    QStringList expected = before;
    expected.insert(expected.size() - 1, QStringLiteral("new.example"));
    EXPECT_EQ(defaults().objectForKey(QStringLiteral("DefaultDomains")).toStringList(), expected);
    EXPECT_EQ(combo->currentText(), QStringLiteral("new.example"));
    EXPECT_TRUE(mController->domainSheet()->domainField->text().isEmpty());

    chooseOthers();
    type(QStringLiteral("parley.test")); // already listed: only chosen
    EXPECT_EQ(defaults().objectForKey(QStringLiteral("DefaultDomains")).toStringList(), expected);
    EXPECT_EQ(combo->currentText(), QStringLiteral("parley.test"));

    chooseOthers();
    QTest::mouseClick(mController->domainSheet()->domainCancelButton, Qt::LeftButton);
    EXPECT_EQ(combo->currentText(), PLEndpoints::current().portalDomain);

    // The list survives a restart.
    mController.reset();
    controller();
    EXPECT_GE(login().domainComboButton->findText(QStringLiteral("new.example")), 0);
}

TEST_F(AppControllerTest, StartUpQuitsOldPlugInsAndObservesTheWholeTable)
{
    QStringList heard;
    const auto token = plugInCenter().addObserver(QLatin1String(notifications::kQuitPlugInProcess),
                                                  [&](const DistributedNotification &n) { heard << n.name; });
    controller();
    EXPECT_EQ(mNet.checks, 1);
    EXPECT_EQ(mWindows.count(QStringLiteral("updates checkVersion")), 1);
    // At a first start the list is read once the message box is copied in.
    const QString load = QStringLiteral("plugins load ") + mSettings->supportFolder() + QStringLiteral("/PlugIn/plugin.plist");
    EXPECT_TRUE(parley::test::waitUntil([&] { return mWindows.count(load) == 1; }));
    EXPECT_TRUE(QFileInfo(mSettings->supportFolder() + QStringLiteral("/PlugIn/Pigeonhole.app/Contents/MacOS/Pigeonhole"))
                    .isExecutable());
    // A later start has nothing to copy and reads it at once.
    mController.reset();
    mWindows.calls.clear();
    controller();
    EXPECT_EQ(mWindows.count(load), 1);
    if (privateCenter()) {
        EXPECT_TRUE(parley::test::waitUntil([&] { return !heard.isEmpty(); }));
    }
    plugInCenter().removeObserver(token);

    const QStringList table{
        "KCChangeStatus", "ParleyLoginCompleted", "ParleyLogoutCompleted", "ParleyMyIDLoggedInOtherPlace",
        "ParleyGroupInfoWillDownload", "ParleyGroupInfoDidDownloaded", "ParleyBuddyManagerGroupUpdated",
        "ParleyBuddyManagerBuddyUpdated", "ParleyBuddyManagerBuddyLoggedIn", "ParleyBuddyManagerBuddyLogout",
        "ParleyBuddyManagerRequestedAddBuddy", "buddyStringTypeChangedNotification", "ParleySessionConnected",
        "ParleySessionConnectionFailed", "ParleySessionClosed", "ParleyMyNickNameChanged", "ParleyMyAlarmReceived",
        "ParleyBuddyAlarmReceived", "ParleyPreferenceSaveNotification", "ParleyOrchardMainAccountInfoReceived",
        "ParleyOrchardNewArticleInfoReceived", "UpdateManagerMainVersionChecked", "UpdateManagerPlugInVersionChecked",
        "PlugInQuitNotification", "ParleyErrorCodeReceived", "ParleyCertInitError", "ParleyCertError",
        "ParleySystemWillSleepNotification", "ParleySystemWillPowerOnNotification",
        "ParleySystemHasPoweredOnNotification", "ParleyServerDidNotResponse", "ParleySaveChatMessage",
        "ParleySessionKill", "ParleySessionList", "ParleySessionCount", "ParleyClose", "ParleyLogout",
        "ParleySessionKilled", "ParleySessionReceiveKill"};
    EXPECT_EQ(mController->observedNames(), table);
    EXPECT_EQ(mController->observedPlugInNames(),
              (QStringList{"PLPlugUserInfo", "PLOpenMessageBoxHelp", "PLOpenWebChatBox", "PLOpenWebMemoBox"}));
}

TEST_F(AppControllerTest, TheCoreFindsTheShellWhileTheControllerLives)
{
    controller();
    EXPECT_EQ(&PLShellServices::shared(), static_cast<PLShellServices *>(mController.get()));
    EXPECT_NE(PLCertAlert::shared(), nullptr);
    mController->setMailCount(1200);
    EXPECT_EQ(mController->mailCount(), 999);
    EXPECT_EQ(mController->window()->buddyView()->mailButton->text(), QStringLiteral("999"));
    mController->setMemoCount(-3);
    EXPECT_EQ(mController->memoCount(), 0);
    const PLShellServices *mine = mController.get();
    mController.reset();
    EXPECT_NE(&PLShellServices::shared(), mine);
    EXPECT_EQ(PLCertAlert::shared(), nullptr);
}

} // namespace
