// The application controller's plug-in side against recording doubles:
// clicks on desktop notices, the count notice and the blinking session
// button, the session list and the remote logout, the version check's
// offers, the plug-in menu item and the opening of the message box.
#include "AppController.h"
#include "BuddyView.h"
#include "ControllerDoubles.h"
#include "ImageRegistry.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ParleyVersion.h"
#include "PlugInNotifications.h"
#include "PlugInTestSupport.h"
#include "ScriptedAlerts.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Utils/KCUtilities.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::shell;
using namespace parley::plugins::test;

namespace {

const QString kBoxID = QLatin1String(notifications::kMessageBoxPlugInID);

void post(const char *name, const QVariantMap &userInfo = {})
{
    NotificationCenter::defaultCenter().post(QLatin1String(name), nullptr, userInfo);
}

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

DistributedNotificationCenter &center()
{
    if (DistributedNotificationCenter *c = shell::test::privateCenter())
        return *c;
    static DistributedNotificationCenter offline(QDBusConnection(QStringLiteral("plugins-tests-offline")));
    return offline;
}

class ControllerPlugInsTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        mSettings = std::make_unique<shell::test::FreshSettings>();
        shell::test::makeMessageBoxBundle(mSettings->resourceFolder(), QStringLiteral("1.0"));
        PLMyInfoManager::sharedManager().resetForTesting();
        PLMyInfoManager::sharedManager().setLoginID(QStringLiteral("alice"));
        AppController::Options o;
        o.session = &mSession;
        o.connectivity = &mNet;
        o.scheduler = &mScheduler;
        o.plugInCenter = &center();
        o.startPowerNotifications = false;
        o.installCoreServices = false;
        o.resourceDirectory = mSettings->resourceFolder();
        o.quitApplication = [] {};
        o.urlOpener = &mOpener;
        mController = std::make_unique<AppController>(o);
        mController->awakeFromNib();
        mRecorder.calls.clear();
    }
    void TearDown() override
    {
        mController.reset();
        parley::test::waitUntil([] { return false; }, 10);
        PLMyInfoManager::sharedManager().resetForTesting();
    }
    QToolButton *sessionButton() { return mController->window()->buddyView()->sessionMgrButton; }
    QMenu *windowMenu() { return mController->window()->menuAt(MainWindow::WindowMenu); }
    QList<QAction *> plugInItems()
    {
        QList<QAction *> items;
        for (QAction *a : windowMenu()->actions())
            if (a->property("plugInName").isValid())
                items << a;
        return items;
    }
    void signIn()
    {
        mSession.loggedIn = true;
        post(notifications::kLoginCompleted);
        while (mScheduler.runNext()) {
        }
    }

    std::unique_ptr<shell::test::FreshSettings> mSettings;
    parley::test::ScriptedAlerts mAlerts;
    Recorder mRecorder;
    PlugInSession mSession;
    shell::test::ManualScheduler mScheduler;
    shell::test::FakeConnectivity mNet;
    RecordingOpener mOpener;
    std::unique_ptr<AppController> mController;
};

} // namespace

TEST_F(ControllerPlugInsTest, ANoticeClickLeadsToItsChatMemoPageOrSessionList)
{
    struct Case {
        const char *name;
        QVariantList context;
        QStringList calls;
    };
    const QVariantMap memo{{"cookie", "c-7"}, {"from", "bob"}};
    const Case cases[] = {
        {"nothing", {}, {}},
        {"a type alone", {"CHAT"}, {}},
        {"log-in notice", {"LGIN", "bob@parley.test"}, {"chat open bob@parley.test"}},
        {"chat notice", {"CHAT", "carol@parley.test", "extra"}, {"chat open carol@parley.test"}},
        {"chat notice without an ID", {"CHAT", ""}, {}},
        {"memo notice", {"MEMO", memo}, {"memo window c-7", "session memo c-7"}},
        {"memo notice without details", {"MEMO", "c-7"}, {}},
        {"sister notice", {"ORRP", "ORRP", "", "-1", "https://or.test/p"}, {"bridge svc ORRP  -1 https://or.test/p"}},
        {"sister notice with a code", {"ORRP", "Q7GF", "D020", 2, "https://q7.test/g"}, {"bridge svc Q7GF D020 2 https://q7.test/g"}},
        // A context shorter than the handler reads opens nothing.
        {"sister notice without its address", {"ORRP", "ORRP", "B003", "1"}, {}},
        {"sister notice without a code", {"ORRP", "ORRP"}, {}},
        {"count notice", {"MCNT", "XXX", "XXX"}, {"session list alice"}},
        {"unknown type", {"ZZZZ", "x"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        mController->growlNotificationWasClicked(c.context);
        EXPECT_EQ(mRecorder.take() + mSession.calls, c.calls);
        mSession.calls.clear();
    }
}

TEST_F(ControllerPlugInsTest, TheDesktopNoticesRegisterFiveNames)
{
    const QStringList names{"Parley Memo", "Parley Chat", "Parley Login", "Parley Multi-Login", "Parley MiniCubby"};
    EXPECT_EQ(AppController::registrationDictionaryForGrowl(),
              (QVariantMap{{"ApplicationName", "Parley"}, {"AllNotifications", names}, {"DefaultNotifications", names}}));
}

TEST_F(ControllerPlugInsTest, MoreLoginsRaiseTheNoticeAndTheBlinkingButton)
{
    PLMyInfoManager::sharedManager().setIsAutoViewSessionManager(true);
    post(notifications::kSessionCount, {{"count", 1}});
    EXPECT_TRUE(sessionButton()->isHidden());
    EXPECT_TRUE(mRecorder.take().isEmpty());

    post(notifications::kSessionCount, {{"count", 2}});
    const QString message = text("MultiLoginMessage").arg(2);
    EXPECT_EQ(mRecorder.take(),
              (QStringList{QStringLiteral("toaster MCNT XXX %1 none xxx").arg(message),
                           QStringLiteral("notice Parley Multi-Login|%1|%2|toast_device|0|NO|MCNT,XXX,XXX")
                               .arg(text("MultiLogin"), message)}));
    EXPECT_EQ(mSession.calls, QStringList{"session list alice"});
    EXPECT_FALSE(sessionButton()->isHidden());
    EXPECT_EQ(sessionButton()->toolTip(), text("MultiLoginTooltip").arg(2));
    EXPECT_TRUE(mController->isSessionButtonBlinking());

    // Fewer, but still more than one: the tooltip follows, no notice, still blinking.
    mSession.calls.clear();
    post(notifications::kSessionCount, {{"count", 3}});
    mRecorder.take();
    post(notifications::kSessionCount, {{"count", 2}});
    EXPECT_TRUE(mRecorder.take().isEmpty());
    EXPECT_EQ(sessionButton()->toolTip(), text("MultiLoginTooltip").arg(2));
    EXPECT_TRUE(mController->isSessionButtonBlinking());

    // The same count again stops the blinking and hides the button.
    post(notifications::kSessionCount, {{"count", 2}});
    EXPECT_FALSE(mController->isSessionButtonBlinking());
    EXPECT_TRUE(sessionButton()->isHidden());
    EXPECT_EQ(sessionButton()->toolTip(), text("LoginManager"));
    EXPECT_EQ(mController->sessionCount(), 2);
}

TEST_F(ControllerPlugInsTest, AnOpenSessionListIsRefreshedByTheCount)
{
    mRecorder.sessionWindow = true;
    post(notifications::kSessionCount, {{"count", 1}});
    EXPECT_EQ(mRecorder.take(), (QStringList{"sessions loadSetting", "sessions removeAllList", "sessions reload"}));
    // Without the automatic view, an open window still asks for the list.
    PLMyInfoManager::sharedManager().setIsAutoViewSessionManager(false);
    post(notifications::kSessionCount, {{"count", 2}});
    EXPECT_EQ(mSession.calls, QStringList{"session list alice"});
    // No window and no automatic view: no list is asked for.
    mRecorder.sessionWindow = false;
    mSession.calls.clear();
    post(notifications::kSessionCount, {{"count", 3}});
    EXPECT_TRUE(mSession.calls.isEmpty());
}

TEST_F(ControllerPlugInsTest, TheButtonBlinksThroughThreeImages)
{
    QToolButton *button = sessionButton();
    const auto image = [&] { return button->icon().pixmap(QSize(20, 18)).toImage(); };
    const auto named = [](const char *name) { return QIcon(ImageRegistry::pixmap(QLatin1String(name))).pixmap(QSize(20, 18)).toImage(); };
    ASSERT_FALSE(named("main_device02").isNull());
    // Steps 0..7: 01, (no change), 02, 03, 01, (no change), 02, 03.
    const char *expected[] = {"main_device01", "main_device01", "main_device02", "main_device03",
                              "main_device01", "main_device01", "main_device02", "main_device03"};
    for (int step = 0; step < 8; ++step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(mController->iconNumber(), step);
        mController->changeIcons();
        EXPECT_EQ(image(), named(expected[step]));
    }
}

TEST_F(ControllerPlugInsTest, TheSessionListShowsEveryWholeEntry)
{
    // The first list after a sign-in shows the window (the setting is on at a first start).
    post(notifications::kSessionList,
         {{"list", QVariantList{QStringList{"12", "1", "0", "ko.macm", "my%20pc"},
                                QStringList{"13", "2", "0", "ko.ios", "phone", "more"},
                                QStringList{"14", "3", "0"},
                                QStringList{"15", "7", "0", "en.web", "odd"}}}});
    EXPECT_EQ(mRecorder.take(),
              (QStringList{"sessions show", "sessions loadSetting", "sessions removeAllList",
                           QStringLiteral("sessions add 12|1|0|ko.macm|my pc|%1").arg(text("TypePC")),
                           QStringLiteral("sessions add 13|2|0|ko.ios|phone|%1").arg(text("TypeMobile")),
                           QStringLiteral("sessions add 15|7|0|en.web|odd|%1").arg(text("TypePC")),
                           "sessions reload"}));
    EXPECT_FALSE(PLMyInfoManager::sharedManager().isAutoViewSessionManager());
    // Later lists refresh the window without bringing it up; the button does.
    post(notifications::kSessionList, {{"list", QVariantList{}}});
    EXPECT_EQ(mRecorder.take(), (QStringList{"sessions loadSetting", "sessions removeAllList", "sessions reload"}));
    sessionButton()->click();
    EXPECT_EQ(mSession.calls, QStringList{"session list alice"});
    post(notifications::kSessionList, {{"list", QVariantList{QStringList{"16", "3", "0", "ko", "w"}}}});
    EXPECT_EQ(mRecorder.calls.first(), QStringLiteral("sessions show"));
}

TEST_F(ControllerPlugInsTest, AListShowsTheWindowOnlyWhenAskedForIt)
{
    // Every sign-in hears a count of 1 first; another login then brings the
    // list up only when the user wants to see it ("show when another login
    // appears"), and only once.
    struct Case {
        const char *name;
        bool autoView;
        bool shown;
    };
    const Case cases[] = {{"auto view on", true, true}, {"auto view off", false, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PLMyInfoManager::sharedManager().setIsAutoViewSessionManager(c.autoView);
        post(notifications::kSessionCount, {{"count", 1}});
        post(notifications::kSessionCount, {{"count", 2}});
        mRecorder.take();
        post(notifications::kSessionList, {{"list", QVariantList{QStringList{"12", "1", "0", "ko", "pc"}}}});
        EXPECT_EQ(mRecorder.take().contains(QStringLiteral("sessions show")), c.shown);
        post(notifications::kSessionList, {{"list", QVariantList{}}});
        EXPECT_FALSE(mRecorder.take().contains(QStringLiteral("sessions show"))) << "a later list refreshes only";
        post(notifications::kSessionCount, {{"count", 1}});
        mRecorder.take();
        mSession.calls.clear();
    }
}

TEST_F(ControllerPlugInsTest, LoggingOneOutTellsHowItEnded)
{
    post(notifications::kSessionKill, {{"killKey", "123"}, {"killType", "U"}, {"PCName", "desk"}});
    post(notifications::kSessionKill, {{"killKey", "12"}, {"killType", "E"}, {"PCName", ""}});
    post(notifications::kSessionKill, {{"killType", "U"}, {"PCName", "nobody"}});
    post(notifications::kSessionKill, {{"killKey", "9"}, {"PCName", "nobody"}});
    EXPECT_EQ(mSession.calls, (QStringList{"session kill U 123", "session kill E 12"}));

    // Only the one login logged out by name is answered (its request was 41).
    post(notifications::kSessionReceiveKill, {{"tid", "42"}, {"result", "100"}});
    EXPECT_TRUE(mAlerts.shown.empty());
    post(notifications::kSessionReceiveKill, {{"tid", "41"}, {"result", "100"}});
    ASSERT_EQ(mAlerts.shown.size(), 1u);
    EXPECT_EQ(mAlerts.shown[0].key, QStringLiteral("CompleteLogoutMsg"));
    EXPECT_EQ(mAlerts.shown[0].title, text("CompleteLogoutMsg").arg("desk"));
    EXPECT_TRUE(mAlerts.shown[0].message.isEmpty());
    EXPECT_EQ(mAlerts.shown[0].buttons, QStringList{text("OK")});
    post(notifications::kSessionReceiveKill, {{"tid", "41"}, {"result", "100"}});
    EXPECT_EQ(mAlerts.shown.size(), 1u);

    post(notifications::kSessionKill, {{"killKey", "77"}, {"killType", "U"}, {"PCName", "gone"}});
    post(notifications::kSessionReceiveKill, {{"tid", "43"}, {"result", "200"}});
    ASSERT_EQ(mAlerts.shown.size(), 2u);
    EXPECT_EQ(mAlerts.shown[1].key, QStringLiteral("AlreadyLogoutMsg"));
}

TEST_F(ControllerPlugInsTest, ANewerMessengerIsOfferedInTheBrowser)
{
    struct Case {
        const char *name;
        QString latest;
        QString url;
        bool error;
        int answer;
        bool asked;
        QList<QUrl> opened;
    };
    const QString own = QLatin1String(kBundleVersion);
    const Case cases[] = {
        {"newer, OK", "99.0", "https://dl.test/P.pkg", false, 0, true, {QUrl("https://dl.test/P.pkg")}},
        {"newer, cancelled", "99.0", "https://dl.test/P.pkg", false, 1, true, {}},
        {"newer, not a web page", "99.0", "file:///bin/sh", false, 0, true, {}},
        {"the same", own, "https://dl.test/P.pkg", false, 0, false, {}},
        {"one more field of zero", own + ".0", "https://dl.test/P.pkg", false, 0, false, {}},
        {"an error", "99.0", "https://dl.test/P.pkg", true, 0, false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        mAlerts.shown.clear();
        mOpener.opened.clear();
        mRecorder.latestMainVersion = c.latest;
        mRecorder.mainDownloadURL = c.url;
        if (c.asked)
            mAlerts.answer(c.answer);
        post(notifications::kUpdateManagerMainVersionChecked,
             c.error ? QVariantMap{{"error", true}} : QVariantMap{{"latestMainVersion", c.latest}, {"mainDownloadURL", c.url}});
        EXPECT_EQ(mAlerts.keys(), c.asked ? QStringList{"UpdateMessage"} : QStringList{});
        if (c.asked) {
            EXPECT_EQ(mAlerts.shown[0].message, text("UpdateMessage").arg(c.latest));
        }
        EXPECT_EQ(mOpener.opened, c.opened);
    }
}

TEST_F(ControllerPlugInsTest, EveryOfferedPlugInIsMerged)
{
    post(notifications::kUpdateManagerPlugInVersionChecked, {{"error", true}});
    EXPECT_TRUE(mRecorder.take().isEmpty());
    post(notifications::kUpdateManagerPlugInVersionChecked,
         {{"plugInInfo", QVariantMap{{"a", QVariantMap{{"uuid", "a"}}}, {"b", QVariantMap{{"uuid", "b"}}}}}});
    EXPECT_EQ(mRecorder.take(), (QStringList{"plugins merge a", "plugins merge b"}));
}

TEST_F(ControllerPlugInsTest, SignInStartsTheMessageBoxAndAddsItsMenuItem)
{
    mRecorder.plugIns = {{{"id", kBoxID}, {"name", "Box & Co"}, {"autolaunch", false}},
                         {{"id", "auto"}, {"name", "Auto"}, {"autolaunch", true}},
                         {{"id", "manual"}, {"name", "Manual"}, {"autolaunch", false}}};
    signIn();
    EXPECT_EQ(mRecorder.startingWith("plugins execute"), (QStringList{"plugins execute " + kBoxID, "plugins execute auto"}));
    ASSERT_EQ(plugInItems().size(), 1);
    EXPECT_EQ(plugInItems()[0]->text(), QStringLiteral("Box && Co"));
    mRecorder.calls.clear();

    // The item opens the running box: its window comes forward.
    QStringList shown;
    const auto token = center().addObserver(QLatin1String(notifications::kShowPlugInWindow),
                                            [&](const DistributedNotification &n) { shown << n.object; });
    plugInItems()[0]->trigger();
    EXPECT_EQ(mRecorder.take(), QStringList{"plugins needUpdate " + kBoxID + " NO"});
    if (shell::test::privateCenter()) {
        EXPECT_TRUE(parley::test::waitUntil([&] { return shown == QStringList{kBoxID}; }));
    }
    center().removeObserver(token);

    // Signing out takes the item away.
    mController->logoutProcessing(true);
    EXPECT_TRUE(plugInItems().isEmpty());
}

TEST_F(ControllerPlugInsTest, AMessageBoxThatNeedsAnUpdateAsksFirst)
{
    mRecorder.plugIns = {{{"id", kBoxID}, {"name", "Box"}, {"needUpdate", true}, {"newVersion", "2.0"}}};
    // Cancel: the box opens as it is and is not asked about again.
    mAlerts.answer(1);
    mController->communicationViewerAction();
    EXPECT_EQ(mAlerts.keys(), QStringList{"UpdatePlugInMessage"});
    EXPECT_EQ(mAlerts.shown[0].message, text("UpdatePlugInMessage").arg("Box", "Box", "2.0"));
    EXPECT_EQ(mRecorder.take(), (QStringList{"plugins needUpdate " + kBoxID + " NO", "plugins execute " + kBoxID}));
    EXPECT_TRUE(mController->isShowMessageBox());

    // OK: the box is told to quit and the update follows its end.
    mRecorder.plugIns[0].insert("needUpdate", true);
    mAlerts.answer(0);
    mController->communicationViewerAction();
    EXPECT_EQ(mRecorder.take(), QStringList{"plugins quit " + kBoxID + " updatePlugIn_App"});
    post(notifications::kPlugInQuit, {{"id", kBoxID}, {"key", "updatePlugIn_App"}});
    EXPECT_EQ(mRecorder.take(), (QStringList{"updates update " + kBoxID + " YES", "updates updater " + kBoxID + " YES"}));
    // Another key is not an update.
    post(notifications::kPlugInQuit, {{"id", kBoxID}, {"key", "removePlugIn"}});
    EXPECT_TRUE(mRecorder.take().isEmpty());
    // An update that can't start says so instead of showing an updater that never ends.
    mRecorder.updateStarts = false;
    mAlerts.shown.clear();
    post(notifications::kPlugInQuit, {{"id", kBoxID}, {"key", "updatePlugIn_App"}});
    EXPECT_EQ(mRecorder.take(), QStringList{"updates update " + kBoxID + " YES"});
    EXPECT_EQ(mAlerts.keys(), QStringList{"UpdateErrorMessage"});
}

TEST_F(ControllerPlugInsTest, TheMessageBoxsRequestsOpenTheirPages)
{
    if (!shell::test::privateCenter())
        GTEST_SKIP() << "no private session bus";
    plugin::postOpenMessageBoxHelp(kBoxID, center());
    plugin::postOpenWebChatBox(kBoxID, center());
    plugin::postOpenWebMemoBox(kBoxID, center());
    EXPECT_TRUE(parley::test::waitUntil([&] { return mRecorder.calls.size() == 3; }));
    EXPECT_EQ(mRecorder.calls, (QStringList{"bridge msgbox help", "bridge chat box (all)", "bridge memo box"}));
}
