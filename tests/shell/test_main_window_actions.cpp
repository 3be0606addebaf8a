// The main window's buttons and menus against the real controller, main
// window, own-status view and buddy-list menus: the portal buttons and their
// news marks, the Help menu, the status view's profile commands and the
// Buddies > My Status items, in Korean and English. The portal pages and the
// preferences window are recording doubles (they leave the machine or have
// tests of their own); every page operation is recorded.
#include "AppController.h"
#include "BuddyList/BuddyListCommands.h"
#include "BuddyList/BuddyListWindow.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "BuddyView.h"
#include "KCStatusViewWidget.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "QtTranslations.h"
#include "ScriptedAlerts.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "Utils/KCUtilities.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <iterator>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

void post(const char *name, const QVariantMap &userInfo = {})
{
    NotificationCenter::defaultCenter().post(QLatin1String(name), nullptr, userInfo);
}

struct VisibleChat final : ChatDocument {
    void showWindow() override {}
    QWidget *window() override { return &widget; }
    bool isExistNewMessage() override { return false; }
    QWidget widget;
};

// The controller, the buddy list and its commands put together as the
// program does, signed in as far as the menus and the status need.
class MainWindowActions : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        mSettings = std::make_unique<FreshSettings>(QLatin1String(GetParam()));
        makeMessageBoxBundle(mSettings->resourceFolder(), QStringLiteral("1.0"));
        PLMyInfoManager::sharedManager().resetForTesting();
        AppController::Options o;
        o.session = &mSession;
        o.connectivity = &mNet;
        o.scheduler = &mScheduler;
        if (DistributedNotificationCenter *center = privateCenter())
            o.plugInCenter = center;
        o.startPowerNotifications = false;
        o.installCoreServices = false;
        o.resourceDirectory = mSettings->resourceFolder();
        o.quitApplication = [] {};
        mController = std::make_unique<AppController>(o);
        mList = std::make_unique<BuddyListWindow>(*mController, privateCenter());
        mCommands = std::make_unique<BuddyListCommands>(*mList, *mController);
        mController->awakeFromNib();
        mController->setCurrentUserID(QStringLiteral("alice@parley.test"));
        mSession.loggedIn = true;
        mWindows.calls.clear();
    }
    void TearDown() override
    {
        mCommands.reset();
        mList.reset();
        mController.reset();
        parley::test::waitUntil([] { return false; }, 10);
        PLMyInfoManager::sharedManager().resetForTesting();
    }

    BuddyView &view() { return *mController->window()->buddyView(); }
    KCStatusViewWidget &statusView()
    {
        KCStatusViewWidget *view = mController->statusView();
        EXPECT_TRUE(view);
        return *view;
    }
    // The calls of the portal pages and the preferences window.
    QStringList pageCalls() const
    {
        QStringList out;
        for (const QString &call : mWindows.calls)
            if (call.startsWith(QLatin1String("bridge ")) || call.startsWith(QLatin1String("prefs ")))
                out << call;
        return out;
    }
    QAction *statusItem(const char *key)
    {
        for (QAction *item : statusView().menu()->actions())
            if (item->data().toString() == QLatin1String(key))
                return item;
        ADD_FAILURE() << "no status item " << key;
        return nullptr;
    }

    std::unique_ptr<FreshSettings> mSettings;
    parley::test::ScriptedAlerts mAlerts;
    RecordingWindows mWindows;
    RecordingAccountSession mSession;
    ManualScheduler mScheduler;
    FakeConnectivity mNet;
    std::unique_ptr<AppController> mController;
    std::unique_ptr<BuddyListWindow> mList;
    std::unique_ptr<BuddyListCommands> mCommands;
};

INSTANTIATE_TEST_SUITE_P(Languages, MainWindowActions, ::testing::Values("ko", "en"));

TEST_P(MainWindowActions, EachPortalButtonOpensItsPageAndClearsItsMark)
{
    // An account with its own personal page (login type other than "N").
    PLMyInfoManager::sharedManager().setLoginType(QStringLiteral("Y"));
    const struct {
        const char *button;
        std::function<void(AppController &)> before;
        QStringList calls;
        std::function<bool(AppController &)> markAfter; // null: no mark of its own
    } cases[] = {
        {"mailButton", [](AppController &c) { c.setMailCount(0); }, {"bridge showVelaMail 0"}, {}},
        {"mailButton", [](AppController &c) { c.setMailCount(3); }, {"bridge showVelaMail 1"}, {}},
        {"memoButton", [](AppController &c) { c.setMemoCount(2); }, {"bridge showVelaMemo"}, {}},
        {"velaButton", [](AppController &) {}, {"bridge showVelaMainHomepage 0"},
         [](AppController &c) { return c.isVelaNew(); }},
        {"velaButton", [](AppController &c) { c.setVelaNew(true); }, {"bridge showVelaMainHomepage 1"},
         [](AppController &c) { return c.isVelaNew(); }},
        {"orchardButton", [](AppController &) {}, {"bridge showOrchardMainHomepage 0"},
         [](AppController &c) { return c.isOrchardNew(); }},
        {"orchardButton", [](AppController &c) { c.setOrchardNew(true); }, {"bridge showOrchardMainHomepage 1"},
         [](AppController &c) { return c.isOrchardNew(); }},
        {"homeButton", [](AppController &c) { c.setMiniNookNew(true); }, {"bridge showMyMininook"},
         [](AppController &c) { return c.isMiniNookNew(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        mWindows.calls.clear();
        c.before(*mController);
        auto *button = view().findChild<QToolButton *>(QLatin1String(c.button));
        ASSERT_TRUE(button);
        button->click();
        EXPECT_EQ(pageCalls(), c.calls);
        if (c.markAfter)
            EXPECT_FALSE(c.markAfter(*mController)) << "the mark is cleared";
    }
    EXPECT_TRUE(mAlerts.shown.empty());
}

TEST_P(MainWindowActions, ThePersonalPageOfAnUnlinkedAccountOffersTheSisterServicePane)
{
    // Login type "N" without a linked sister-service account has no page yet.
    PLMyInfoManager::sharedManager().setLoginType(QStringLiteral("N"));
    mController->setMiniNookNew(true);
    mAlerts.answer(1); // Cancel
    view().homeButton->click();
    ASSERT_EQ(mAlerts.keys(), QStringList{QStringLiteral("ParleyMiniNookAlert")});
    const KCAlertRequest &alert = mAlerts.shown.front();
    EXPECT_EQ(alert.title, text("ParleyMiniNook"));
    EXPECT_EQ(alert.message, text("ParleyMiniNookAlert"));
    EXPECT_NE(alert.message, QStringLiteral("ParleyMiniNookAlert")) << "a text of the tables";
    EXPECT_EQ(alert.buttons, (QStringList{text("OK"), text("Cancel")}));
    EXPECT_TRUE(pageCalls().isEmpty());

    mAlerts.answer(0); // OK
    view().homeButton->click();
    EXPECT_EQ(pageCalls(), (QStringList{QStringLiteral("prefs setUserID alice@parley.test"),
                                        QStringLiteral("prefs showOrchardPane"), QStringLiteral("prefs showWindow")}));
    EXPECT_TRUE(mController->isMiniNookNew()) << "no page was opened";
}

TEST_P(MainWindowActions, TheHelpMenuOpensEachPageThroughTheBridgePage)
{
    QMenu *help = mController->window()->menuAt(MainWindow::HelpMenu);
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->menuAction()->isVisible());
    EXPECT_EQ(help->title(), text("MenuHelp"));
    mController->setMiniNookNew(true);
    const struct {
        const char *title;
        const char *call;
    } items[] = {
        {"MenuParleyHome", "bridge showParleyHome"},         {"MenuParleyFAQ", "bridge showParleyFAQ"},
        {"MenuParleyHottip", "bridge showParleyHottip"},     {"MenuParleyHelp", "bridge showParleyHelp"},
        {"MenuParleyMininook", "bridge showParleyMininook"}, {"MenuVelaComHome", "bridge showVelaVelaComHome"},
        {"MenuOrchardHome", "bridge showVelaOrchardHome"},
    };
    QList<QAction *> actions;
    for (QAction *action : help->actions())
        if (!action->isSeparator())
            actions << action;
    ASSERT_EQ(actions.size(), int(std::size(items)));
    for (int i = 0; i < actions.size(); ++i) {
        SCOPED_TRACE(items[i].title);
        EXPECT_EQ(actions[i]->text(), text(items[i].title));
        EXPECT_NE(actions[i]->text(), QLatin1String(items[i].title)) << "a text of the tables";
        mWindows.calls.clear();
        actions[i]->trigger();
        EXPECT_EQ(pageCalls(), QStringList{QLatin1String(items[i].call)});
    }
    EXPECT_FALSE(mController->isMiniNookNew()) << "the personal page was opened";
}

TEST_P(MainWindowActions, TheStatusViewsProfileCommandsOpenTheirPages)
{
    statusItem("Busy")->trigger();
    const struct {
        const char *key;
        QStringList calls;
    } cases[] = {
        {"ShowMyProfile", {"bridge showMyProfile"}},
        {"SetMyProfile", {"bridge showMyProfileSettings"}},
        {"SetMyNickName", {"prefs setUserID alice@parley.test", "prefs showGeneralPane", "prefs showWindow"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        mWindows.calls.clear();
        mSession.calls.clear();
        statusItem(c.key)->trigger();
        EXPECT_EQ(pageCalls(), c.calls);
        EXPECT_TRUE(mSession.callsStartingWith(QStringLiteral("status")).isEmpty()) << "no status is sent";
        EXPECT_EQ(statusView().title(), text("Busy")) << "the shown status stays";
    }
}

TEST_P(MainWindowActions, SigningOutClearsTheMarksAndANewArticleLightsThePersonalPage)
{
    PLMyInfoManager::sharedManager().setOrchardGuestBookHasNewPost(true);
    post(notifications::kOrchardNewArticleInfoReceived);
    EXPECT_TRUE(mController->isMiniNookNew());
    PLMyInfoManager::sharedManager().setOrchardGuestBookHasNewPost(false);
    post(notifications::kOrchardNewArticleInfoReceived);
    EXPECT_FALSE(mController->isMiniNookNew()) << "read elsewhere: the mark goes";

    PLMyInfoManager::sharedManager().setOrchardGuestBookHasNewPost(true);
    post(notifications::kOrchardNewArticleInfoReceived);
    mController->setOrchardNew(true);
    mSession.loggedIn = false;
    post(notifications::kLogoutCompleted);
    EXPECT_FALSE(mController->isMiniNookNew());
    EXPECT_FALSE(mController->isOrchardNew());
}

// Buddies > My Status: each item sends its status and is shown and ticked
// by the real status view. (The menu's own ticks follow the facade's
// sign-in, which these tests do without: the end-to-end test looks at them.)
TEST_P(MainWindowActions, EachItemOfMyStatusSendsItsStatusAndIsTicked)
{
    QMenu *buddies = mController->window()->menuAt(MainWindow::BuddyMenu);
    QMenu *status = buddies->findChild<QMenu *>(QStringLiteral("statusMenu"));
    ASSERT_TRUE(status);
    const struct {
        const char *key;
        int code;
    } items[] = {{"Online", 1}, {"Away", 3}, {"Busy", 2}, {"OnThePhone", 4}, {"OnThemeeting", 5}, {"AppearOffline", 0}};
    ASSERT_EQ(status->actions().size(), 6);
    for (int tag = 0; tag < 6; ++tag) {
        SCOPED_TRACE(items[tag].key);
        mSession.calls.clear();
        QAction *item = status->actions().at(tag);
        EXPECT_EQ(item->text(), text(items[tag].key));
        item->trigger();
        EXPECT_EQ(mSession.callsStartingWith(QStringLiteral("status")),
                  QStringList{QStringLiteral("status %1").arg(items[tag].code)});
        EXPECT_EQ(statusView().title(), text(items[tag].key));
        EXPECT_EQ(statusView().checkedTitle(), text(items[tag].key));
        EXPECT_EQ(statusView().isUserSelected(), true);
    }
}

TEST_P(MainWindowActions, AppearOfflineFromMyStatusAsksFirstWithChatsOpen)
{
    QMenu *status = mController->window()->menuAt(MainWindow::BuddyMenu)->findChild<QMenu *>(QStringLiteral("statusMenu"));
    ASSERT_TRUE(status);
    statusItem("Online")->trigger();
    VisibleChat chat;
    mWindows.visibleChats = {&chat};
    mSession.calls.clear();
    mAlerts.answer(1); // Cancel
    status->actions().at(5)->trigger();
    EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("WillChatCloseAlertMessage")});
    EXPECT_TRUE(mSession.callsStartingWith(QStringLiteral("status")).isEmpty());
    EXPECT_EQ(statusView().title(), text("Online"));

    mAlerts.answer(0); // OK: the chats close and the status goes
    status->actions().at(5)->trigger();
    EXPECT_EQ(mSession.callsStartingWith(QStringLiteral("status")), QStringList{QStringLiteral("status 0")});
    EXPECT_EQ(mWindows.count(QStringLiteral("chat closeAllChatDocuments")), 1);
    EXPECT_EQ(statusView().title(), text("AppearOffline"));
}

} // namespace

namespace {

// Qt's own dialogs ("Show Details...", the file dialog, standard buttons)
// speak the interface language (qt6-translations-l10n, installed by setup).
TEST(MainWindowShortcuts, QuitAnswersFromAnotherWindowOfTheProgram)
{
    MainWindow main;
    main.show();
    QWidget chat; // a chat window: another top-level window of the program
    chat.show();
    QApplication::setActiveWindow(&chat);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chat));
    QSignalSpy quit(main.quitAction, &QAction::triggered);
    ASSERT_FALSE(main.quitAction->shortcut().isEmpty()) << "platform has no quit binding";
    QTest::keySequence(&chat, main.quitAction->shortcut());
    EXPECT_EQ(quit.count(), 1) << main.quitAction->shortcut().toString().toStdString();
}

TEST(QtTranslations, QtsOwnTextsFollowTheInterfaceLanguage)
{
    const auto details = [] { return QCoreApplication::translate("QMessageBox", "Show Details..."); };
    const auto cancel = [] {
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Cancel)->text();
    };
    ASSERT_TRUE(installQtTranslations(QStringLiteral("ko")));
    EXPECT_NE(details(), QStringLiteral("Show Details..."));
    EXPECT_FALSE(cancel().contains(QLatin1String("Cancel")));
    EXPECT_FALSE(installQtTranslations(QStringLiteral("en"))) << "English needs none";
    EXPECT_EQ(details(), QStringLiteral("Show Details..."));
    EXPECT_TRUE(cancel().contains(QLatin1String("Cancel")));
}

} // namespace
