// The application controller's hub against recording doubles: the server's
// error codes as alerts, the own status and its counters, idle detection,
// buddy sign-in notices with their desktop notice and sound, own alarms and
// saved preferences.
#include "AppController.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "BuddyView.h"
#include "DesktopNotifications.h"
#include "FakeNotifications.h"
#include "IdleSource.h"
#include "ImageRegistry.h"
#include "KCMenuButton.h"
#include "KCStatusViewWidget.h"
#include "LoginView.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ScriptedAlerts.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCShellHooks.h"
#include "Utils/KCUtilities.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

namespace {

UserDefaults &defaults() { return UserDefaults::standardUserDefaults(); }

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

void post(const char *name, const QVariantMap &userInfo = {})
{
    NotificationCenter::defaultCenter().post(QLatin1String(name), nullptr, userInfo);
}

void postError(const QString &line)
{
    post(notifications::kErrorCodeReceived,
         {{QStringLiteral("tid"), QStringLiteral("3")},
          {QStringLiteral("errorInfo"),
           QVariantMap{{QStringLiteral("tid"), QStringLiteral("3")},
                       {QStringLiteral("errorCode"), line.section(QLatin1Char(' '), 0, 0)},
                       {QStringLiteral("receivedData"), line}}}});
}

DistributedNotificationCenter &plugInCenter()
{
    if (DistributedNotificationCenter *center = privateCenter())
        return *center;
    static DistributedNotificationCenter offline(QDBusConnection(QStringLiteral("hub-tests-offline")));
    return offline;
}

struct RecordingHooks final : KCShellHooks {
    void playSound(const QString &name) override { sounds << name; }
    QStringList sounds;
};

// Idle seconds the test sets.
struct FakeIdleSource final : IdleSource {
    void requestIdleTime(Answer answer) override
    {
        ++asked;
        answer(seconds);
    }
    std::optional<double> seconds = 0.0;
    int asked = 0;
};

struct OpenChat final : ChatDocument {
    void showWindow() override {}
    QWidget *window() override { return &widget; }
    bool isExistNewMessage() override { return false; }
    QWidget widget;
};

class HubTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        mSettings = std::make_unique<FreshSettings>(language());
        makeMessageBoxBundle(mSettings->resourceFolder(), QStringLiteral("1.0"));
        PLMyInfoManager::sharedManager().setStatus(1);
    }
    void TearDown() override
    {
        mController.reset();
        PLBuddyManager::sharedManager().reset();
        PLMyInfoManager::sharedManager().reset();
        parley::test::waitUntil([] { return false; }, 10);
    }
    virtual QString language() const { return QStringLiteral("ko"); }

    AppController &controller()
    {
        AppController::Options o;
        o.session = &mSession;
        o.connectivity = &mNet;
        o.scheduler = &mScheduler;
        o.plugInCenter = &plugInCenter();
        o.startPowerNotifications = false;
        o.installCoreServices = false;
        o.resourceDirectory = mSettings->resourceFolder();
        o.quitApplication = [] {};
        o.shellHooks = &mHooks;
        o.idleSource = &mIdle;
        o.desktopNotifications = mDesktop.get();
        mController = std::make_unique<AppController>(o);
        mController->awakeFromNib();
        return *mController;
    }
    LoginView &login() { return *mController->loginView(); }
    KCStatusViewWidget &statusView() { return *mController->statusView(); }
    BuddyView &buddyView() { return *mController->window()->buddyView(); }

    void typeAndSignIn(const QString &password = QStringLiteral("alice-pw"))
    {
        login().idField->setText(QStringLiteral("alice"));
        login().passwordField->clear();
        QTest::keyClicks(login().passwordField, password);
        QTest::keyClick(login().passwordField, Qt::Key_Return);
    }
    void signedIn()
    {
        controller();
        typeAndSignIn();
        mSession.loggedIn = true;
        post(notifications::kLoginCompleted);
        while (mScheduler.runNext()) {
        }
        ASSERT_TRUE(mController->window()->isShowingBuddyView());
        mSession.calls.clear();
    }
    QStringList statusCalls() const { return mSession.callsStartingWith(QStringLiteral("status")); }
    QAction *menuItem(const char *key)
    {
        for (QAction *item : statusView().menu()->actions()) {
            if (item->text() == text(key))
                return item;
        }
        return nullptr;
    }

    std::unique_ptr<FreshSettings> mSettings;
    parley::test::ScriptedAlerts mAlerts;
    RecordingWindows mWindows;
    RecordingAccountSession mSession;
    ManualScheduler mScheduler;
    FakeConnectivity mNet;
    RecordingHooks mHooks;
    FakeIdleSource mIdle;
    std::unique_ptr<DesktopNotifications> mDesktop;
    std::unique_ptr<AppController> mController;
};

} // namespace

// Error codes.

TEST_F(HubTest, TheServersErrorCodesBecomeAlerts)
{
    struct Case {
        const char *what;
        std::function<void(HubTest &)> before;
        QString line;
        QStringList alerts;
        QString alertText;   // title, message and detail of the first alert, joined by "|"
        QStringList calls;   // the facade's and the windows' calls that matter
        const char *id;      // the ID field afterwards
        bool autoLoginBox;
    };
    const auto byHand = [](HubTest &t) {
        t.controller();
        t.typeAndSignIn();
    };
    const auto automatically = [](HubTest &t) {
        defaults().setObjects({{QStringLiteral("accountname"), QStringLiteral("alice")},
                               {QStringLiteral("accountDomain"), QStringLiteral("parley.test")},
                               {QStringLiteral("accountToken"), QStringLiteral("token-alice")},
                               {QStringLiteral("autoLogin"), 1}});
        t.controller();
    };
    const QString invalidID = text("AlertInvalidID") + QLatin1Char('|') + text("AlertPSMsg") + QLatin1Char('|')
        + text("InvalidIDorPassword");
    const QString invalidPassword = text("AlertInvalidPassword") + QLatin1Char('|') + text("AlertPSMsg")
        + QLatin1Char('|') + text("InvalidIDorPassword");
    const Case cases[] = {
        {"201 by hand", byHand, "201 3", {"AlertInvalidID"}, invalidID, {"stopLogin"}, "", false},
        {"300 by hand", byHand, "300 3", {"AlertInvalidID"}, invalidID, {"stopLogin"}, "", false},
        {"301 by hand keeps the ID", byHand, "301 3", {"AlertInvalidPassword"}, invalidPassword, {"stopLogin"},
         "alice", false},
        {"301 during auto-login: no alert", automatically, "301 3", {}, {}, {"stopLogin"}, "alice", false},
        {"201 during auto-login: no alert", automatically, "201 3", {}, {}, {"stopLogin"}, "alice", false},
        // Auto-login stays on in the settings, but this sign-in used the typed password.
        {"301 after signing in as another ID",
         [](HubTest &t) {
             defaults().setObjects({{QStringLiteral("accountname"), QStringLiteral("alice")},
                                    {QStringLiteral("accountDomain"), QStringLiteral("parley.test")},
                                    {QStringLiteral("accountToken"), QStringLiteral("token-alice")},
                                    {QStringLiteral("autoLogin"), 1}});
             t.mSession.loginAnswers = {false}; // the auto-login does not start
             t.controller();
             t.mController->loginAsOtherIDAction();
             t.typeAndSignIn(QStringLiteral("wrong"));
         },
         "301 3", {"AlertInvalidPassword"}, invalidPassword, {"stopLogin"}, "alice", false},
        {"309", byHand, "309 3", {"DPError309"}, text("PAR LEY") + QLatin1Char('|') + text("DPError309") + QLatin1Char('|'),
         {}, "alice", false},
        {"396", byHand, "396 3", {"OTPUserError"}, text("OTPUErrorTitle") + QLatin1Char('|') + text("OTPUserError") + QLatin1Char('|'),
         {}, "alice", false},
        {"397", byHand, "397 3", {"OTPInputLimitError"},
         text("OTPErrorTitle") + QLatin1Char('|') + text("OTPInputLimitError") + QLatin1Char('|'), {}, "alice", false},
        {"997 with four fields", byHand, "997 3 E42 Maintenance%20tonight", {"Error997"},
         text("Parley") + QStringLiteral("|Maintenance%20tonight (E42)|"), {}, "alice", false},
        {"997 with three fields", byHand, "997 3 E42", {"Error997"},
         text("Parley") + QStringLiteral("|997 Error : [997 3 E42]|"), {}, "alice", false},
        {"998 opens the bridge page without a parameter", byHand, "998 3 B003 %00", {}, {},
         {"bridge call B003 - - -1"}, "alice", false},
        {"998 with a parameter", byHand, "998 3 B003 go%3D1\r\n", {}, {}, {"bridge call B003 go%3D1 - -1"}, "alice", false},
        {"998 with three fields", byHand, "998 3 B003", {"Error998"},
         text("Parley") + QStringLiteral("|998 Error : [998 3 B003]|"), {}, "alice", false},
        {"an unknown code", byHand, "250 3", {}, {}, {}, "alice", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.before(*this);
        const bool boxBefore = login().autoLoginButton->isChecked();
        mSession.calls.clear();
        mWindows.calls.clear();
        mAlerts.shown.clear();
        login().setSpinning(true);
        login().selectTab(LoginView::SigningInTab);
        postError(c.line);

        EXPECT_EQ(mAlerts.keys(), c.alerts);
        if (!c.alertText.isEmpty() && !mAlerts.shown.empty()) {
            const KCAlertRequest &shown = mAlerts.shown.front();
            EXPECT_EQ(shown.title + QLatin1Char('|') + shown.message + QLatin1Char('|') + shown.detail, c.alertText);
            EXPECT_EQ(shown.parent, mController->window());
        }
        QStringList calls = mSession.calls;
        for (const QString &call : std::as_const(mWindows.calls)) {
            if (call.startsWith(QLatin1String("bridge")))
                calls << call;
        }
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(login().selectedTab(), LoginView::FormTab);
        EXPECT_FALSE(login().isSpinning());
        if (c.line.startsWith(QLatin1String("201")) || c.line.startsWith(QLatin1String("30"))) {
            if (!c.line.startsWith(QLatin1String("309"))) {
                EXPECT_EQ(login().idField->text(), QLatin1String(c.id));
                EXPECT_TRUE(login().passwordField->text().isEmpty());
                EXPECT_FALSE(login().autoLoginButton->isChecked());
                EXPECT_EQ(defaults().stringForKey(QStringLiteral("accountToken")), QString(QLatin1String("")));
                EXPECT_EQ(defaults().objectForKey(QStringLiteral("autoLogin")).toInt(), 0);
            }
        } else {
            EXPECT_EQ(login().autoLoginButton->isChecked(), boxBefore);
        }
        TearDown();
    }
}

TEST_F(HubTest, AnErrorWithoutDetailsChangesNothing)
{
    controller();
    typeAndSignIn();
    post(notifications::kErrorCodeReceived, {{QStringLiteral("tid"), QStringLiteral("3")}});
    EXPECT_EQ(login().selectedTab(), LoginView::SigningInTab);
    EXPECT_TRUE(mAlerts.shown.empty());
}

TEST_F(HubTest, TheOneTimePasswordIsAskedForAndAWrongOneAskedAgain)
{
    controller();
    typeAndSignIn();
    mAlerts.answerText(0, QStringLiteral("111111"));
    postError(QStringLiteral("395 3"));
    ASSERT_EQ(mAlerts.keys(), QStringList{QStringLiteral("OTPInputTop")});
    const KCAlertRequest &prompt = mAlerts.shown.front();
    EXPECT_TRUE(prompt.secureTextField);
    EXPECT_EQ(prompt.title, text("OTPInputTitle"));
    EXPECT_EQ(prompt.accessoryHtml, text("OTPInputBottom"));
    // The two labels of the field, in the interface language (not their keys).
    EXPECT_EQ(prompt.textFieldMessage, text("OTPInputMessage"));
    EXPECT_EQ(prompt.textFieldLabel, text("OTPInputLeftMessage"));
    EXPECT_NE(prompt.textFieldMessage, QStringLiteral("OTPInputMessage"));
    EXPECT_NE(prompt.textFieldLabel, QStringLiteral("OTPInputLeftMessage"));
    EXPECT_EQ(prompt.buttons, (QStringList{text("OK"), text("Cancel")}));
    EXPECT_EQ(mSession.callsStartingWith(QStringLiteral("otp")), QStringList{QStringLiteral("otp 111111")});
    EXPECT_EQ(login().selectedTab(), LoginView::SigningInTab);
    EXPECT_TRUE(login().isSpinning());

    // The number was wrong: first the error, then the prompt again; Cancel
    // leaves the sign-in waiting on the form.
    mAlerts.answer(0);
    mAlerts.answerText(1, QStringLiteral("222222"));
    postError(QStringLiteral("395 4"));
    EXPECT_EQ(mAlerts.keys(), (QStringList{QStringLiteral("OTPInputTop"), QStringLiteral("OTPInputError"),
                                           QStringLiteral("OTPInputTop")}));
    EXPECT_EQ(mAlerts.shown.at(1).style, KCAlertRequest::Style::Critical);
    EXPECT_EQ(mSession.callsStartingWith(QStringLiteral("otp")).size(), 1);
    EXPECT_EQ(login().selectedTab(), LoginView::FormTab);
    EXPECT_FALSE(login().isSpinning());
    EXPECT_TRUE(mSession.callsStartingWith(QStringLiteral("stopLogin")).isEmpty());

    // A new sign-in asks plainly again.
    mSession.loggedIn = true;
    post(notifications::kLoginCompleted);
    mAlerts.shown.clear();
    mAlerts.answerText(1, QString());
    postError(QStringLiteral("395 9"));
    EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("OTPInputTop")});
}

// Own status.

TEST_F(HubTest, EachStatusShowsItsImageAndSendsItsCode)
{
    signedIn();
    struct Case {
        const char *key;
        bool fromMenu;
        const char *image;
        QString call;
    } const cases[] = {
        {"Busy", true, "32x32_busy", "status 2"},
        {"Away", true, "32x32_other", "status 3"},
        {"Away", false, "32x32_other", "status 6"},
        {"OnThePhone", true, "32x32_busy", "status 4"},
        {"OnThemeeting", true, "32x32_other", "status 5"},
        {"AppearOffline", true, "32x32_offline", "status 0"},
        {"Online", true, "32x32_normal", "status 1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.fromMenu ? " from the menu" : " from code"));
        mSession.calls.clear();
        if (c.fromMenu)
            menuItem(c.key)->trigger();
        else
            statusView().setTitle(text(c.key));
        EXPECT_EQ(statusCalls(), QStringList{c.call});
        EXPECT_EQ(statusView().title(), text(c.key));
        EXPECT_EQ(buddyView().myStatusButton->icon().pixmap(32).toImage(),
                  QIcon(ImageRegistry::pixmap(QLatin1String(c.image))).pixmap(32).toImage());
    }
    // Commands send no status.
    mSession.calls.clear();
    mWindows.calls.clear();
    menuItem("SetMyNickName")->trigger();
    EXPECT_TRUE(statusCalls().isEmpty());
    EXPECT_TRUE(mWindows.calls.contains(QStringLiteral("prefs showWindow")));
    EXPECT_EQ(statusView().title(), text("Online"));
}

TEST_F(HubTest, AStatusTheServerReportsIsShownNotSentAndTheNextChoiceIsSent)
{
    signedIn();
    mController->changeStatusMainWindow(2);
    EXPECT_EQ(statusView().title(), text("Busy"));
    EXPECT_TRUE(statusCalls().isEmpty());
    EXPECT_TRUE(mController->isProtocolSend());
    menuItem("Online")->trigger();
    EXPECT_EQ(statusCalls(), QStringList{QStringLiteral("status 1")});
    // Codes out of range change nothing.
    mController->changeStatusMainWindow(6);
    EXPECT_EQ(statusView().title(), text("Online"));
    EXPECT_TRUE(mController->isProtocolSend());
}

TEST_F(HubTest, AppearingOfflineWithChatsOpenAsksFirst)
{
    signedIn();
    OpenChat one;
    OpenChat two;
    mWindows.visibleChats = {&one, &two};

    mAlerts.answer(1); // Cancel
    menuItem("AppearOffline")->trigger();
    EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("WillChatCloseAlertMessage")});
    EXPECT_EQ(mAlerts.shown.front().style, KCAlertRequest::Style::Critical);
    EXPECT_TRUE(statusCalls().isEmpty());
    EXPECT_EQ(statusView().title(), text("Online"));
    EXPECT_EQ(mWindows.visibleChats.size(), 2);

    // The server reports appear-offline and the user refuses to close the chats:
    // the status the user picks next still reaches the server.
    mAlerts.answer(1);
    mController->changeStatusMainWindow(0);
    EXPECT_EQ(statusView().title(), text("Online"));
    menuItem("Busy")->trigger();
    EXPECT_EQ(statusCalls(), QStringList{QStringLiteral("status 2")});

    mSession.calls.clear();
    mAlerts.answer(0); // OK
    menuItem("AppearOffline")->trigger();
    EXPECT_EQ(mWindows.count(QStringLiteral("chat closeAllChatDocuments")), 1);
    EXPECT_EQ(statusCalls(), QStringList{QStringLiteral("status 0")});
    EXPECT_EQ(statusView().title(), text("AppearOffline"));

    // Already appearing offline (in Korean): choosing it again is refused,
    // and the next other choice is sent.
    mSession.calls.clear();
    mAlerts.shown.clear();
    menuItem("AppearOffline")->trigger();
    EXPECT_TRUE(statusCalls().isEmpty());
    EXPECT_TRUE(mAlerts.shown.empty());
    mController->changeStatusMainWindow(0);
    menuItem("Online")->trigger();
    EXPECT_EQ(statusCalls(), QStringList{QStringLiteral("status 1")});
}

TEST_F(HubTest, CountersStopAt999AndMarksFollowTheNews)
{
    signedIn();
    mController->setMailCount(1200);
    EXPECT_EQ(buddyView().mailButton->text(), QStringLiteral("999"));
    EXPECT_EQ(mController->mailCount(), 999);
    mController->setMailCount(0);
    EXPECT_EQ(buddyView().mailButton->text(), QStringLiteral("0"));
    mController->decMemoCount();
    EXPECT_EQ(mController->memoCount(), 0);
    mController->setMemoCount(2);
    mController->decMemoCount();
    EXPECT_EQ(buddyView().memoButton->text(), QStringLiteral("1"));
    mController->incMemoCount();
    EXPECT_EQ(mController->memoCount(), 2);

    mController->setOrchardNew(true);
    mController->setMiniNookNew(true);
    EXPECT_TRUE(mController->isOrchardNew() && mController->isMiniNookNew());
    // Saving preferences without a linked account clears both marks.
    post(notifications::kPreferenceSave);
    EXPECT_FALSE(mController->isOrchardNew() || mController->isMiniNookNew());
}

// Idle.

TEST_F(HubTest, IdleTurnsTheStatusAwayAndBackWithTheIdleCode)
{
    signedIn();
    ASSERT_TRUE(mController->idleDetector().checking());
    ASSERT_TRUE(mController->isIdleTimerRunning());
    const double interval = 10 * 60; // the default preference

    mIdle.seconds = interval - 1;
    mController->checkIdle();
    EXPECT_TRUE(statusCalls().isEmpty());
    EXPECT_TRUE(mController->isIdleTimerRunning());

    mIdle.seconds = interval + 3;
    mController->checkIdle();
    EXPECT_EQ(statusView().title(), text("Away"));
    EXPECT_EQ(statusCalls(), QStringList{QStringLiteral("status 6")});
    EXPECT_TRUE(mController->inIdleState());

    mIdle.seconds = 0.5;
    mController->checkIdle();
    EXPECT_EQ(statusView().title(), text("Online"));
    EXPECT_EQ(statusCalls(), (QStringList{QStringLiteral("status 6"), QStringLiteral("status 1")}));
    EXPECT_FALSE(mController->inIdleState());

    // A status the user chose is not touched on return.
    menuItem("Busy")->trigger();
    PLMyInfoManager::sharedManager().setStatus(2);
    mSession.calls.clear();
    mIdle.seconds = interval + 30;
    mController->checkIdle();
    EXPECT_EQ(statusView().title(), text("Busy"));
    mIdle.seconds = 0.1;
    mController->checkIdle();
    EXPECT_EQ(statusView().title(), text("Busy"));
    EXPECT_TRUE(statusCalls().isEmpty());

    // Signed out, the chain ends.
    mSession.loggedIn = false;
    mController->checkIdle();
    EXPECT_FALSE(mController->isIdleTimerRunning());
    EXPECT_FALSE(mController->idleDetector().checking());
}

TEST_F(HubTest, TheServersIdleIsShownAwayWithoutSendingIt)
{
    signedIn();
    mIdle.seconds = 4;
    mController->goIdleFromServer();
    EXPECT_EQ(statusView().title(), text("Away"));
    EXPECT_TRUE(statusCalls().isEmpty());
    EXPECT_EQ(mController->idleDetector().idleType(), 2);
    EXPECT_EQ(mController->idleDetector().fakeIdleTime(), 4);
    // Typing on: Online again at the next check.
    mIdle.seconds = 1;
    mController->checkIdle();
    EXPECT_EQ(statusView().title(), text("Online"));
    EXPECT_EQ(statusCalls(), QStringList{QStringLiteral("status 1")});
}

// Buddy sign-ins and alarms.

TEST_F(HubTest, ABuddySigningInRaisesANoticeADesktopNoticeAndASound)
{
    if (!privateCenter())
        GTEST_SKIP() << "no private session bus";
    parley::test::FakeNotifications fake;
    ASSERT_TRUE(fake.registerOn(privateConnection(QStringLiteral("hub-notices-service"))));
    mDesktop = std::make_unique<DesktopNotifications>(privateConnection(QStringLiteral("hub-notices-client")));
    signedIn();
    struct Case {
        const char *id;
        const char *flags;
        bool notices;
    } const cases[] = {
        {"bob@parley.test", "1100", true},
        {"carol@parley.test", "1110", false}, // blocked
        {"dave@parley.test", "0100", false},  // not on my list
        {"erin@parley.test", "1000", false},  // not allowed
    };
    int cmn = 100100;
    for (const Case &c : cases) {
        PLBuddyPtr buddy = PLBuddyManager::sharedManager().createBuddyForCMN(QString::number(++cmn));
        buddy->setVelaID(QLatin1String(c.id));
        buddy->setNickName(QStringLiteral("Nick of %1").arg(QString::fromLatin1(c.id).section(QLatin1Char('@'), 0, 0)));
        buddy->setBuddyFlags(QLatin1String(c.flags));
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        mWindows.calls.clear();
        mHooks.sounds.clear();
        post(notifications::kBuddyManagerBuddyLoggedIn, {{QStringLiteral("velaID"), QLatin1String(c.id)}});
        const QString name = QStringLiteral("Nick of %1").arg(QString::fromLatin1(c.id).section(QLatin1Char('@'), 0, 0));
        EXPECT_EQ(mWindows.calls, c.notices ? QStringList{QStringLiteral("toaster show LGIN [%1] [] [] velaID").arg(name)}
                                            : QStringList{});
        EXPECT_EQ(mHooks.sounds, c.notices ? QStringList{QStringLiteral("buddy_login")} : QStringList{});
    }
    ASSERT_TRUE(parley::test::waitUntil([&fake] { return !fake.notifications().empty(); }));
    QTest::qWait(50);
    ASSERT_EQ(fake.notifications().size(), 1u);
    const parley::test::RecordedNotification &sent = fake.notifications().front();
    EXPECT_EQ(sent.summary, QStringLiteral("Nick of bob"));
    EXPECT_EQ(sent.body, text("LoginInfomation"));
    EXPECT_EQ(sent.hints.value(QStringLiteral("category")).toString(), QStringLiteral("Parley Login"));

    // Sounds off: the notices stay, the sound goes.
    QVariantMap prefs = defaults().userDictionary(QStringLiteral("alice@parley.test"));
    prefs.insert(QStringLiteral("soundForBuddy"), false);
    defaults().setUserDictionary(QStringLiteral("alice@parley.test"), prefs);
    mHooks.sounds.clear();
    post(notifications::kBuddyManagerBuddyLoggedIn, {{QStringLiteral("velaID"), QStringLiteral("bob@parley.test")}});
    EXPECT_TRUE(mHooks.sounds.isEmpty());
}

TEST_F(HubTest, OwnAlarmsBecomeNoticesOfTheirType)
{
    signedIn();
    mWindows.calls.clear();
    post(notifications::kMyAlarmReceived, {{QStringLiteral("svcGB"), QStringLiteral("MAIL")},
                                           {QStringLiteral("text"), QStringLiteral("mail")},
                                           {QStringLiteral("url"), QStringLiteral("http://m/1")},
                                           {QStringLiteral("svc_defined"), QStringLiteral("%EA%B9%80")}});
    post(notifications::kMyAlarmReceived, {{QStringLiteral("svcGB"), QStringLiteral("ORRP")},
                                           {QStringLiteral("text"), QStringLiteral("a reply")},
                                           {QStringLiteral("url"), QStringLiteral("http://o/2")},
                                           {QStringLiteral("svc_defined"), QStringLiteral("ignored")}});
    EXPECT_EQ(mWindows.calls,
              (QStringList{QStringLiteral("toaster show MAIL [%EA%B9%80] [mail] [http://m/1] svcGB,svc_defined,text,url"),
                           QStringLiteral("toaster show ORRP [] [a reply] [http://o/2] svcGB,svc_defined,text,url")}));
}

TEST_F(HubTest, SavedPreferencesResendTheOptionsOnlyWhenTheMemoChoiceChanged)
{
    signedIn();
    post(notifications::kPreferenceSave);
    EXPECT_TRUE(mSession.callsStartingWith(QStringLiteral("lopt")).isEmpty());
    EXPECT_EQ(mSession.callsStartingWith(QStringLiteral("proxy")), QStringList{QStringLiteral("proxy 0  0")});
    QVariantMap prefs = defaults().userDictionary(QStringLiteral("alice@parley.test"));
    prefs.insert(QStringLiteral("showMemoIndex"), 0);
    defaults().setUserDictionary(QStringLiteral("alice@parley.test"), prefs);
    post(notifications::kPreferenceSave);
    post(notifications::kPreferenceSave);
    EXPECT_EQ(mSession.callsStartingWith(QStringLiteral("lopt")).size(), 1);
}
