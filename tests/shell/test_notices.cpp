// Pop-up notices, desktop notices, the tray and the own-status view, each on
// its own: recording doubles for what they open, a fake notification service
// on the private bus, and the shipped skins.
#include "DBusIdleSource.h"
#include "DesktopNoticeBridge.h"
#include "DesktopNotifications.h"
#include "FakeNotifications.h"
#include "KCEmoticonView.h"
#include "KCStatusViewWidget.h"
#include "KCToasterWindow.h"
#include "LauncherEntry.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ScriptedAlerts.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "ToasterWindowManager.h"
#include "MainWindow.h"
#include "TrayDockManager.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "UserDefaults.h"
#include "Utils/KCShellHooks.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLCurrentUserProvider.h"
#include "Utils/PrefsManager.h"

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

namespace {

const QString kMe = QStringLiteral("alice@parley.test");

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

struct RecordingActions final : ToasterActions {
    int myStatus() override { return status; }
    void showPopWindow(QWidget *window) override { calls << QStringLiteral("pop %1").arg(window->objectName()); }
    void showBridgePageForSVC(const QString &svc, const QString &code, int flag, const QString &url) override
    {
        calls << QStringLiteral("bridge %1 %2 %3 %4").arg(svc, code, QString::number(flag), url);
    }
    void openMemo(const QVariantMap &info) override
    {
        calls << QStringLiteral("memo %1").arg(info.value(QStringLiteral("cookie")).toString());
    }
    void showVelaMemo() override { calls << QStringLiteral("showVelaMemo"); }
    void showVelaMail() override { calls << QStringLiteral("showVelaMail"); }
    void showConfirmMail() override { calls << QStringLiteral("showConfirmMail"); }
    void openSessionManager() override { calls << QStringLiteral("openSessionManager"); }
    void openChatRoom(const QString &id) override { calls << QStringLiteral("chat %1").arg(id); }
    void setMiniNookNew(bool isNew) override { calls << QStringLiteral("miniNook %1").arg(isNew); }
    void setOrchardNew(bool isNew) override { calls << QStringLiteral("orchard %1").arg(isNew); }
    QStringList calls;
    int status = 1;
};

struct Me final : PLCurrentUserProvider {
    QString currentUserID() const override { return kMe; }
};

struct RecordingHooks final : KCShellHooks {
    void playSound(const QString &name) override { sounds << name; }
    QStringList sounds;
};

// A fake notification service on the private bus and a client of it on another connection.
struct DesktopNoticeService {
    DesktopNoticeService()
        : client(privateConnection(QStringLiteral("notices-client")))
    {
        registered = fake.registerOn(privateConnection(QStringLiteral("notices-service")));
    }
    // Waits until n notices reached the service and the client knows their ids.
    bool waitFor(size_t n)
    {
        return parley::test::waitUntil(
            [this, n] { return fake.notifications().size() >= n && client.pendingCount() >= int(n); });
    }
    parley::test::FakeNotifications fake;
    DesktopNotifications client;
    bool registered = false;
};

class NoticeTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        mSettings = std::make_unique<FreshSettings>();
        PrefsManager::setCurrentUserProvider(&mMe);
        setPreferences({});
        KCSetShellHooks(&mHooks);
        PLMyInfoManager::sharedManager().setStatus(1);
    }
    void TearDown() override
    {
        mManager.reset();
        KCSetShellHooks(nullptr);
        DesktopNoticeBridge::setNotifications(nullptr);
        PrefsManager::setCurrentUserProvider(nullptr);
        PLBuddyManager::sharedManager().reset();
        PLMyInfoManager::sharedManager().reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void setPreferences(const QVariantMap &changes)
    {
        QVariantMap prefs = KCDefaultUserPreferences();
        for (auto it = changes.cbegin(); it != changes.cend(); ++it)
            prefs.insert(it.key(), it.value());
        UserDefaults::standardUserDefaults().setUserDictionary(kMe, prefs);
    }
    ToasterWindowManager &manager(const QString &skins = QStringLiteral(PARLEY_RESOURCE_BUILD_DIR
                                                                       "/SlideWindow/SlideWindow.plist"))
    {
        mManager = std::make_unique<ToasterWindowManager>(mActions, SlideWindowSkins::load(skins),
                                                          [this] { return mArea; });
        return *mManager;
    }
    static PLBuddyPtr buddy(const QString &id, const QString &cmn, const QString &flags)
    {
        PLBuddyPtr b = PLBuddyManager::sharedManager().createBuddyForCMN(cmn);
        b->setVelaID(id);
        b->setBuddyFlags(flags);
        return b;
    }
    ToasterWindowController *last() { return mManager->toasters().isEmpty() ? nullptr : mManager->toasters().last(); }

    std::unique_ptr<FreshSettings> mSettings;
    Me mMe;
    RecordingHooks mHooks;
    RecordingActions mActions;
    QRect mArea{0, 0, 1024, 768};
    std::unique_ptr<ToasterWindowManager> mManager;
    parley::test::ScriptedAlerts mAlerts;
};

} // namespace

TEST_F(NoticeTest, DispatchAndTheSettingsThatGateEachKind)
{
    buddy(QStringLiteral("bob@parley.test"), QStringLiteral("100002"), QStringLiteral("1100"));
    buddy(QStringLiteral("dave@parley.test"), QStringLiteral("100004"), QStringLiteral("0001")); // not on my list
    const QVariantMap bob{{QStringLiteral("velaID"), QStringLiteral("bob@parley.test")}};
    const QVariantMap dave{{QStringLiteral("velaID"), QStringLiteral("dave@parley.test")}};
    struct Case {
        const char *what;
        QVariantMap preferences;
        int myStatus;
        const char *type;
        QString buddyString;
        QString message;
        QVariantMap userInfo;
        bool shown;
        QString body; // the text shown (the body, or head + "|" + body)
    } const cases[] = {
        {"a buddy signs in", {}, 1, "LGIN", "Bobby", "", bob, true, text("LoginFromBuddy").arg(QStringLiteral("Bobby"))},
        {"sign-in notices off", {{"showAlertWhenConnection", false}}, 1, "LGIN", "Bobby", "", bob, false, {}},
        {"not on my list", {}, 1, "LGIN", "Dave", "", dave, false, {}},
        {"unknown buddy", {}, 1, "LGIN", "Eve", "", {}, false, {}},
        {"while Busy", {}, 2, "LGIN", "Bobby", "", bob, false, {}},
        {"while away", {}, 3, "LGIN", "Bobby", "", bob, true, text("LoginFromBuddy").arg(QStringLiteral("Bobby"))},
        {"a chat line", {}, 1, "CHAT", "Bobby", "hello", bob, true,
         text("ChatBuddyFormat").arg(QStringLiteral("Bobby")) + QStringLiteral("|hello")},
        {"a memo, announced", {{"showMemoIndex", 0}}, 1, "MEMO", "", "a memo", {{"cookie", "c1"}}, true, "a memo"},
        {"a memo, opened instead", {{"showMemoIndex", 1}}, 1, "MEMO", "", "a memo", {{"cookie", "c1"}}, false, {}},
        {"a mail", {}, 1, "MAIL", "%EA%B9%80%EB%B0%A5", "", {}, true,
         text("ReceivedMailFromBuddy").arg(QStringLiteral("김밥"))},
        {"a mail whose sender does not decode", {}, 1, "MAIL", "%FF%FEbob", "", {}, true,
         text("ReceivedMailFromBuddy").arg(QString())},
        {"mail notices off", {{"showMail", false}}, 1, "MAIL", "bob", "", {}, false, {}},
        {"a read confirmation", {}, 1, "REML", "", "read", {}, true, "read"},
        {"read confirmations follow mail", {{"showMail", false}}, 1, "REML", "", "read", {}, false, {}},
        {"another login", {}, 1, "MCNT", "x", "signed in elsewhere", {}, true, "signed in elsewhere"},
        {"a file", {}, 1, "FILE", "Bobby", "f", bob, false, {}},
        {"an unknown type", {}, 1, "ZZZZ", "Bobby", "f", bob, false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        setPreferences(c.preferences);
        PLMyInfoManager::sharedManager().setStatus(c.myStatus);
        ToasterWindowManager &notices = manager();
        notices.showToasterWindow(QLatin1String(c.type), c.buddyString, c.message, nullptr, QString(), c.userInfo);
        ASSERT_EQ(notices.toasterCount(), c.shown ? 1 : 0);
        if (!c.shown)
            continue;
        ToasterWindowController *notice = last();
        EXPECT_EQ(notice->toasterType(), QLatin1String(c.type));
        const QString shown =
            notice->isHeadShown() ? notice->headText() + QLatin1Char('|') + notice->bodyText() : notice->bodyText();
        EXPECT_EQ(shown, c.body);
        EXPECT_EQ(notice->userInfo(), c.userInfo);
        EXPECT_FALSE(notice->window()->isActiveWindow());
        EXPECT_TRUE(notice->window()->testAttribute(Qt::WA_ShowWithoutActivating));
    }
}

TEST_F(NoticeTest, CountNoticesSayHowMany)
{
    ToasterWindowManager &notices = manager();
    notices.showToasterWindow(QStringLiteral("MEMOCNT"), {{QStringLiteral("count"), 3}});
    notices.showToasterWindow(QStringLiteral("MAIL"), {{QStringLiteral("count"), QStringLiteral("12")}});
    notices.showToasterWindow(QStringLiteral("LGIN"), {{QStringLiteral("count"), 1}});
    ASSERT_EQ(notices.toasterCount(), 2);
    EXPECT_EQ(notices.toasters().at(0)->bodyText(), text("MemoNotiMessage").arg(3));
    EXPECT_EQ(notices.toasters().at(1)->bodyText(), text("MailNotiMessage").arg(12));
    EXPECT_EQ(notices.toasters().at(1)->toasterType(), QStringLiteral("MAIL"));
}

TEST_F(NoticeTest, SkinsAndTheirAbsence)
{
    ToasterWindowManager &skinned = manager();
    skinned.showToasterText(QStringLiteral("LGIN"), QStringLiteral("skinned"));
    KCToasterWindow *window = last()->window();
    EXPECT_FALSE(window->backgroundImage().isNull());
    EXPECT_FALSE(window->iconView()->pixmap().isNull());
    EXPECT_EQ(window->bodyView()->geometry(), QRect(46, 24, 122, 92));

    // Without skins the window keeps its own layout and no icon is set.
    ToasterWindowManager &plain = manager(QStringLiteral("/nonexistent/SlideWindow.plist"));
    plain.showToasterText(QStringLiteral("LGIN"), QStringLiteral("plain"));
    window = last()->window();
    EXPECT_TRUE(window->backgroundImage().isNull());
    EXPECT_TRUE(window->iconView()->pixmap().isNull());
    EXPECT_EQ(window->bodyView()->geometry(), QRect(44, 34, 124, 82));
}

TEST_F(NoticeTest, TextsTooLongForTheirLineEndInDots)
{
    ToasterWindowManager &notices = manager();
    const QString longName = QStringLiteral("Bartholomew Maximilian Fitzgerald-Huntington");
    const QString longText = QString(400, QLatin1Char('w'));
    notices.showToasterWindow(QStringLiteral("CHAT"), longName, longText, nullptr, QString(), {});
    ToasterWindowController *notice = last();
    EXPECT_TRUE(notice->headText().contains(QStringLiteral("...")));
    EXPECT_TRUE(notice->headText().startsWith(QStringLiteral("Bart")));
    // The format's own words stay whole.
    const QString format = text("ChatBuddyFormat");
    EXPECT_TRUE(notice->headText().endsWith(format.mid(format.indexOf(QStringLiteral("%1")) + 2)));
    EXPECT_TRUE(notice->bodyText().endsWith(QStringLiteral("...")));
    EXPECT_LT(notice->bodyText().size(), longText.size());
    EXPECT_FALSE(notice->window()->bodyView()->setEmoticonString(notice->bodyText())); // it fits
}

// The notice's text is the buddy list's rows' size, and the head line takes
// its whole row up to the close button (the chat skin puts its icon below
// it): a name and the format around it are not cut in either language.
TEST_F(NoticeTest, TheTextIsElevenPointsAndTheHeadLineUsesItsWholeRow)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QVariant languages = defaults.objectForKey(QLatin1String(kAppleLanguagesKey));
    for (const char *skins : {PARLEY_RESOURCE_BUILD_DIR "/SlideWindow/SlideWindow.plist", "/nonexistent/SlideWindow.plist"}) {
        for (const char *language : {"en", "ko"}) {
            SCOPED_TRACE(std::string(skins) + " " + language);
            defaults.setObject(QStringList{QLatin1String(language)}, QLatin1String(kAppleLanguagesKey));
            ToasterWindowManager &notices = manager(QLatin1String(skins));
            notices.showToasterWindow(QStringLiteral("CHAT"), QStringLiteral("Carol Park"), QStringLiteral("hi"),
                                      nullptr, QString(), {});
            KCToasterWindow *window = last()->window();
            EXPECT_EQ(window->headView()->textFont().pointSizeF(), 11);
            EXPECT_EQ(window->bodyView()->textFont().pointSizeF(), 11);
            const QRect head = window->headView()->geometry();
            EXPECT_EQ(head.left(), 10);
            EXPECT_EQ(head.right() + 1, window->closeButton()->geometry().left() - 2);
            EXPECT_FALSE(head.intersects(window->bodyView()->geometry()));
            if (!window->iconView()->pixmap().isNull())
                EXPECT_FALSE(head.intersects(window->iconView()->geometry()));
            EXPECT_EQ(last()->headText(),
                      text("ChatBuddyFormat").replace(QStringLiteral("%1"), QStringLiteral("Carol Park")));
        }
    }
    defaults.setObject(languages, QLatin1String(kAppleLanguagesKey));
}

TEST_F(NoticeTest, NoticesTakeFreeSlotsAndFadeOnOneMainThreadTimer)
{
    mArea = QRect(100, 0, 350, 375); // six slots, beside a left panel
    ToasterWindowManager &notices = manager();
    EXPECT_FALSE(notices.isTicking());
    notices.showToasterText(QStringLiteral("MCNT"), QStringLiteral("one"));
    notices.showToasterText(QStringLiteral("MCNT"), QStringLiteral("two"));
    ASSERT_EQ(notices.toasterCount(), 2);
    EXPECT_TRUE(notices.isTicking());
    EXPECT_EQ(notices.toasters().at(0)->window()->geometry(), QRect(275, 250, 175, 125));
    EXPECT_EQ(notices.toasters().at(1)->window()->geometry(), QRect(275, 125, 175, 125));
    EXPECT_TRUE(notices.isToastWindow(notices.toasters().at(1)->window()));
    EXPECT_FALSE(notices.isToastWindow(nullptr));

    notices.toasters().at(0)->closeAction();
    ASSERT_EQ(notices.toasterCount(), 1);
    notices.showToasterText(QStringLiteral("MCNT"), QStringLiteral("three"));
    EXPECT_EQ(notices.toasters().at(1)->window()->geometry(), QRect(275, 250, 175, 125));

    // Ticks fade in, hold and fade out; each notice closes by itself and the
    // clock stops one tick after the last.
    for (int i = 0; i < 20; ++i)
        notices.refreshTimer();
    EXPECT_NEAR(notices.toasters().at(0)->window()->windowOpacity(), 0.5, 0.02);
    int ticks = 20;
    while (notices.toasterCount() > 0 && ticks < 1000) {
        notices.refreshTimer();
        ++ticks;
    }
    EXPECT_NEAR(ticks, 181, 1);
    EXPECT_TRUE(notices.isTicking());
    notices.refreshTimer();
    EXPECT_FALSE(notices.isTicking());
}

TEST_F(NoticeTest, ANoticeThatDoesNotCloseByItselfStaysNearlyTransparent)
{
    ToasterWindowManager &notices = manager();
    notices.showToasterText(QStringLiteral("MCNT"), QStringLiteral("stay"));
    ToasterWindowController *notice = last();
    notice->setIsAutoClose(false);
    for (int i = 0; i < 400; ++i)
        notices.refreshTimer();
    EXPECT_EQ(notices.toasterCount(), 1);
    EXPECT_EQ(notice->showTime(), -1.0f);
    EXPECT_LT(notice->window()->windowOpacity(), 0.05);
    notices.reset();
    EXPECT_EQ(notices.toasterCount(), 0);
}

TEST_F(NoticeTest, AClickOpensWhatTheNoticeIsAbout)
{
    QWidget chatWindow;
    chatWindow.setObjectName(QStringLiteral("chatWindow"));
    struct Case {
        const char *what;
        const char *type;
        QVariantMap userInfo;
        QWidget *popWindow;
        QString url;
        int myStatus;
        QString call;
        bool staysOpen;
    } const cases[] = {
        {"a chat with its window", "CHAT", {{"velaID", "bob@parley.test"}}, &chatWindow, {}, 1, "pop chatWindow", false},
        {"a chat without", "CHAT", {{"velaID", "bob@parley.test"}}, nullptr, {}, 1, "chat bob@parley.test", false},
        {"a buddy's sign-in", "LGIN", {{"velaID", "bob@parley.test"}}, nullptr, {}, 1, "chat bob@parley.test", false},
        {"a sign-in while appearing offline", "LGIN", {{"velaID", "bob@parley.test"}}, nullptr, {}, 0, {}, true},
        {"a memo", "MEMO", {{"cookie", "c-17"}}, nullptr, {}, 1, "memo c-17", false},
        {"the memo count", "MEMOCNT", {}, nullptr, {}, 1, "showVelaMemo", false},
        {"a mail", "MAIL", {}, nullptr, {}, 1, "showVelaMail", false},
        {"a read confirmation", "REML", {}, nullptr, {}, 1, "showConfirmMail", false},
        {"another login", "MCNT", {}, nullptr, {}, 1, "openSessionManager", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        mActions.calls.clear();
        mActions.status = c.myStatus;
        PLMyInfoManager::sharedManager().setStatus(c.myStatus);
        mAlerts.shown.clear();
        ToasterWindowManager &notices = manager();
        setPreferences({{QStringLiteral("showMemoIndex"), 0}});
        buddy(QStringLiteral("bob@parley.test"), QStringLiteral("100002"), QStringLiteral("1100"));
        if (qstrcmp(c.type, "MEMOCNT") == 0) // the count form
            notices.showToasterWindow(QLatin1String(c.type), {{QStringLiteral("count"), 2}});
        else
            notices.showToasterWindow(QLatin1String(c.type), QStringLiteral("Bobby"), QStringLiteral("x"), c.popWindow,
                                      c.url, c.userInfo);
        ASSERT_EQ(notices.toasterCount(), 1);
        QTest::mouseClick(last()->window(), Qt::LeftButton, {}, QPoint(90, 100));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(mActions.calls, c.call.isEmpty() ? QStringList{} : QStringList{c.call});
        EXPECT_EQ(notices.toasterCount(), c.staysOpen ? 1 : 0);
        EXPECT_EQ(mAlerts.keys(), c.staysOpen ? QStringList{QStringLiteral("ChatErrorForOffline")} : QStringList{});
    }

    // The close button only closes.
    mActions.calls.clear();
    ToasterWindowManager &notices = manager();
    notices.showToasterText(QStringLiteral("MCNT"), QStringLiteral("x"));
    last()->window()->closeButton()->click();
    EXPECT_EQ(notices.toasterCount(), 0);
    EXPECT_TRUE(mActions.calls.isEmpty());
}

TEST_F(NoticeTest, SisterServiceNewsIsFilteredMarksTheButtonsAndGoesToTheDesktop)
{
    if (!privateCenter())
        GTEST_SKIP() << "no private session bus";
    DesktopNoticeService desktop;
    ASSERT_TRUE(desktop.registered);
    DesktopNoticeBridge::setNotifications(&desktop.client);

    const auto linked = [this](bool orchard, bool newTextAlarm) {
        PLMyInfoManager &me = PLMyInfoManager::sharedManager();
        // Signed in with the sister service's own account, which has a home.
        me.setLoginType(QStringLiteral("N"));
        me.setMOrchardCMN(orchard ? QStringLiteral("555") : QString());
        me.setProfileValue(newTextAlarm ? QStringLiteral("1") : QStringLiteral("0"), QStringLiteral("orchard_noti1"));
        setPreferences({{QStringLiteral("soundForMiniNook"), true}});
    };
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();

    // Not linked: nothing at all.
    linked(false, true);
    ToasterWindowManager &notices = manager();
    ASSERT_FALSE(PrefsManager::orchard_Islinked());
    notices.showToasterWindow(QStringLiteral("ORRP"), {}, QStringLiteral("a reply"), nullptr, QStringLiteral("http://o/1"), {});
    EXPECT_EQ(notices.toasterCount(), 0);
    EXPECT_TRUE(mActions.calls.isEmpty());

    linked(true, true);
    ASSERT_TRUE(PrefsManager::orchard_Islinked());
    // A classic notice hides in Q7 mode.
    me.setQ7Mode(true);
    notices.showToasterWindow(QStringLiteral("ORRP"), {}, QStringLiteral("a reply"), nullptr, QStringLiteral("http://o/1"), {});
    EXPECT_EQ(notices.toasterCount(), 0);
    me.setQ7Mode(false);
    // Shown, lighting the sister service's mark, with a desktop notice and a sound.
    notices.showToasterWindow(QStringLiteral("ORRP"), {}, QStringLiteral("a reply"), nullptr, QStringLiteral("http://o/1"), {});
    ASSERT_EQ(notices.toasterCount(), 1);
    EXPECT_EQ(mActions.calls, QStringList{QStringLiteral("orchard 1")});
    EXPECT_EQ(mHooks.sounds, QStringList{QStringLiteral("minicubby")});
    QTest::mouseClick(last()->window(), Qt::LeftButton, {}, QPoint(90, 100));
    EXPECT_EQ(mActions.calls.last(), QStringLiteral("bridge ORRP  -1 http://o/1"));

    // One about the own home passes the own-home filter only from the own CMN.
    mActions.calls.clear();
    me.setQ7Mode(true);
    me.setMQ7CMN(QStringLiteral("777"));
    notices.showToasterWindow(QStringLiteral("Q7HP"), {}, QStringLiteral("a visit"), nullptr, QString(),
                              {{QStringLiteral("from"), QStringLiteral("778")}});
    EXPECT_TRUE(mActions.calls.isEmpty());
    notices.showToasterWindow(QStringLiteral("Q7HP"), {}, QStringLiteral("a visit"), nullptr, QString(),
                              {{QStringLiteral("from"), QStringLiteral("777")}});
    EXPECT_EQ(mActions.calls, QStringList{QStringLiteral("miniNook 1")});
    ASSERT_EQ(notices.toasterCount(), 1); // the first closed on its click

    // Without the new-post alarm there is no pop-up, but the mark and the desktop notice stay.
    linked(true, false);
    me.setQ7Mode(false);
    notices.showToasterWindow(QStringLiteral("TNRP"), {}, QStringLiteral("news"), nullptr, QString(), {});
    EXPECT_EQ(notices.toasterCount(), 1);

    ASSERT_TRUE(desktop.waitFor(3));
    const auto &sent = desktop.fake.notifications();
    EXPECT_EQ(sent.at(0).summary, text("MinicubbyNotify"));
    EXPECT_EQ(sent.at(0).body, QStringLiteral("a reply"));
    EXPECT_EQ(sent.at(0).hints.value(QStringLiteral("category")).toString(), QStringLiteral("Parley MiniCubby"));
    EXPECT_TRUE(sent.at(0).hints.value(QStringLiteral("image-path")).toString().endsWith(QStringLiteral("ToastIconOrchard.png")));
    EXPECT_EQ(sent.at(2).body, QStringLiteral("news"));

    // The click contexts end before their first missing value: our skins carry no bridge code.
    QVariantList clicked;
    desktop.client.setClickHandler([&clicked](const QVariant &context) { clicked = context.toList(); });
    desktop.fake.invokeAction(sent.at(0).id, QStringLiteral("default"));
    ASSERT_TRUE(parley::test::waitUntil([&clicked] { return !clicked.isEmpty(); }));
    EXPECT_EQ(clicked, (QVariantList{QStringLiteral("ORRP"), QStringLiteral("ORRP")}));
}

// Desktop notices.

TEST(DesktopNotifications, SendsTheNoticeAndHandsBackItsClickContext)
{
    if (!privateCenter())
        GTEST_SKIP() << "no private session bus";
    DesktopNoticeService desktop;
    ASSERT_TRUE(desktop.registered);
    QList<QVariant> clicks;
    desktop.client.setClickHandler([&clicks](const QVariant &context) { clicks.append(context); });

    DesktopNotificationRequest notice;
    notice.summary = QStringLiteral("Bob <b>&</b>");
    notice.body = QStringLiteral("<a href='x'>signed in</a> & more");
    notice.imagePath = QStringLiteral("/tmp/icon.png");
    notice.category = QStringLiteral("Parley Login");
    notice.actionLabel = QStringLiteral("Open");
    notice.clickContext = QVariantList{QStringLiteral("LGIN"), QStringLiteral("bob@parley.test")};
    desktop.client.notify(notice);
    DesktopNotificationRequest sticky = notice;
    sticky.isSticky = true;
    sticky.priority = 2;
    sticky.clickContext = QVariantList{QStringLiteral("MCNT")};
    desktop.client.notify(sticky);
    ASSERT_TRUE(desktop.waitFor(2));

    const parley::test::RecordedNotification &sent = desktop.fake.notifications().at(0);
    EXPECT_EQ(sent.appName, QStringLiteral("Parley"));
    EXPECT_EQ(sent.summary, QStringLiteral("Bob <b>&</b>"));
    // Servers read the body as markup: ours is text.
    EXPECT_EQ(sent.body, QStringLiteral("&lt;a href='x'&gt;signed in&lt;/a&gt; &amp; more"));
    EXPECT_EQ(sent.actions, (QStringList{QStringLiteral("default"), QStringLiteral("Open")}));
    EXPECT_EQ(sent.hints.value(QStringLiteral("image-path")).toString(), QStringLiteral("/tmp/icon.png"));
    EXPECT_EQ(sent.hints.value(QStringLiteral("category")).toString(), QStringLiteral("Parley Login"));
    EXPECT_EQ(sent.hints.value(QStringLiteral("urgency")).toInt(), 1);
    EXPECT_EQ(sent.expireTimeout, -1);
    EXPECT_EQ(desktop.fake.notifications().at(1).expireTimeout, 0);
    EXPECT_EQ(desktop.fake.notifications().at(1).hints.value(QStringLiteral("urgency")).toInt(), 2);

    // Another action, another client's id: nothing. The default action: the context.
    desktop.fake.invokeAction(sent.id, QStringLiteral("other"));
    desktop.fake.invokeAction(999, QStringLiteral("default"));
    desktop.fake.invokeAction(sent.id, QStringLiteral("default"));
    ASSERT_TRUE(parley::test::waitUntil([&clicks] { return !clicks.isEmpty(); }));
    QTest::qWait(50);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks.front().toList(), (QVariantList{QStringLiteral("LGIN"), QStringLiteral("bob@parley.test")}));

    // A closed notice is forgotten.
    desktop.fake.closeNotification(sent.id, 2);
    ASSERT_TRUE(parley::test::waitUntil([&desktop] { return desktop.client.pendingCount() == 1; }));
    desktop.fake.invokeAction(sent.id, QStringLiteral("default"));
    QTest::qWait(50);
    EXPECT_EQ(clicks.size(), 1);
}

TEST(DesktopNotifications, WithoutANotificationServiceNothingIsShownOrReported)
{
    if (!privateCenter())
        GTEST_SKIP() << "no private session bus";
    DesktopNotifications client(privateConnection(QStringLiteral("notices-lonely")));
    DesktopNotificationRequest notice;
    notice.summary = QStringLiteral("nobody listens");
    client.notify(notice);
    EXPECT_EQ(client.pendingCount(), 1);
    ASSERT_TRUE(parley::test::waitUntil([&client] { return client.pendingCount() == 0; }));
    DesktopNotifications offline(QDBusConnection(QStringLiteral("notices-no-bus")));
    offline.notify(notice);
    EXPECT_EQ(offline.pendingCount(), 0);
}

// The desktop's idle sources.

namespace {

// A desktop service on the private bus that answers one method with a fixed
// reply (an invalid one answers with an error) and records what it was asked.
class FakeIdleService final : public QDBusVirtualObject
{
public:
    FakeIdleService(QString interface, QString method, QVariant reply)
        : mInterface(std::move(interface)), mMethod(std::move(method)), mReply(std::move(reply))
    {
    }
    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        asked << message.interface() + QLatin1Char('.') + message.member();
        if (message.interface() != mInterface || message.member() != mMethod)
            connection.send(message.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("no such method")));
        else if (!mReply.isValid())
            connection.send(message.createErrorReply(QDBusError::Failed, QStringLiteral("cannot tell")));
        else
            connection.send(message.createReply(mReply));
        return true;
    }
    QStringList asked;

private:
    QString mInterface;
    QString mMethod;
    QVariant mReply;
};

} // namespace

TEST(IdleSources, TheDesktopServicesAnswerInSecondsAndAnythingElseIsNoAnswer)
{
    if (!privateCenter())
        GTEST_SKIP() << "no private session bus";
    enum class Kind { ScreenSaver, Gnome };
    struct Case {
        const char *what;
        Kind kind;
        bool serviceRuns;
        QVariant reply;
        std::optional<double> seconds;
    } const cases[] = {
        {"the screen saver counts seconds", Kind::ScreenSaver, true, QVariant::fromValue(uint(90)), 90.0},
        {"the screen saver just saw input", Kind::ScreenSaver, true, QVariant::fromValue(uint(0)), 0.0},
        {"the screen saver fails", Kind::ScreenSaver, true, QVariant(), std::nullopt},
        {"the screen saver answers a text", Kind::ScreenSaver, true, QVariant(QStringLiteral("90")), std::nullopt},
        {"no screen saver", Kind::ScreenSaver, false, {}, std::nullopt},
        {"GNOME counts milliseconds", Kind::Gnome, true, QVariant::fromValue(qulonglong(1500)), 1.5},
        {"GNOME answers seconds as a 32-bit number", Kind::Gnome, true, QVariant::fromValue(uint(1500)), std::nullopt},
        {"GNOME fails", Kind::Gnome, true, QVariant(), std::nullopt},
        {"no GNOME", Kind::Gnome, false, {}, std::nullopt},
    };
    QDBusConnection serviceBus = privateConnection(QStringLiteral("idle-service"));
    QDBusConnection clientBus = privateConnection(QStringLiteral("idle-client"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const bool screenSaver = c.kind == Kind::ScreenSaver;
        const DBusIdleSource::Method &idleMethod =
            screenSaver ? DBusIdleSource::kScreenSaver : DBusIdleSource::kGnomeIdleMonitor;
        const QString service = QLatin1String(idleMethod.service);
        const QString path = QLatin1String(idleMethod.path);
        const QString interface = QLatin1String(idleMethod.interface);
        const QString method = screenSaver ? QStringLiteral("GetSessionIdleTime") : QStringLiteral("GetIdletime");
        FakeIdleService fake(interface, method, c.reply);
        if (c.serviceRuns) {
            ASSERT_TRUE(serviceBus.registerVirtualObject(path, &fake));
            ASSERT_TRUE(serviceBus.registerService(service));
        }
        std::unique_ptr<IdleSource> source = std::make_unique<DBusIdleSource>(clientBus, idleMethod);
        bool answered = false;
        std::optional<double> seconds;
        source->requestIdleTime([&answered, &seconds](std::optional<double> s) {
            answered = true;
            seconds = s;
        });
        EXPECT_TRUE(parley::test::waitUntil([&answered] { return answered; }));
        EXPECT_EQ(seconds, c.seconds);
        if (c.serviceRuns) {
            EXPECT_EQ(fake.asked, QStringList{interface + QLatin1Char('.') + method});
            serviceBus.unregisterService(service);
            serviceBus.unregisterObject(path);
        }
    }
    // Without a bus the answer comes at once.
    DBusIdleSource lonely(QDBusConnection(QStringLiteral("idle-no-bus")), DBusIdleSource::kScreenSaver);
    bool answered = false;
    lonely.requestIdleTime([&answered](std::optional<double> s) { answered = !s.has_value(); });
    EXPECT_TRUE(answered);
}

// The tray.

namespace {

struct Chat final : ChatDocument {
    Chat(const QString &title, bool unread) : unread(unread)
    {
        widget.setWindowTitle(title);
    }
    void showWindow() override
    {
        ++shown;
        widget.show();
    }
    QWidget *window() override { return &widget; }
    bool isExistNewMessage() override { return unread; }
    int unviewedCount() override { return count; }
    QWidget widget;
    bool unread;
    int count = 0;
    int shown = 0;
};

struct Chats final : ChatManager {
    ChatDocument *chatDocumentForBuddyIDs(const QStringList &) override { return nullptr; }
    QString getChatText(const QString &) override { return {}; }
    void closeChatRoom(const QString &) override {}
    void saveChatMessages() override {}
    QList<ChatDocument *> visibleChatDocumentList() override { return list; }
    QList<ChatDocument *> chatDocumentList() override { return list; }
    void closeAllChatDocuments() override {}
    void activeNewMessageChatRoom() override {}
    ChatDocument *openChatRoom(const QStringList &) override { return nullptr; }
    void reset() override {}
    QList<ChatDocument *> list;
};

class TrayTest : public ::testing::Test
{
public:
    void SetUp() override { ShellWindows::setChatManager(&mChats); }
    void TearDown() override { ShellWindows::setChatManager(nullptr); }
    Chats mChats;
    QWidget mMain;
    int mReopens = 0;
};

} // namespace

TEST_F(TrayTest, TheIconCountsChatsWithUnreadMessages)
{
    TrayDockManager dock([this] { return &mMain; }, [this] { ++mReopens; }, QDBusConnection(QStringLiteral("tray-no-bus")));
    Chat a(QStringLiteral("Bob"), true);
    Chat b(QStringLiteral("Carol"), true);
    Chat c(QStringLiteral("Dave"), false);
    const QImage plain = dock.iconImage();
    ASSERT_FALSE(plain.isNull());
    dock.dockIconUpdate();
    EXPECT_EQ(dock.iconImage(), plain.convertToFormat(QImage::Format_ARGB32_Premultiplied));

    mChats.list = {&a, &b, &c};
    EXPECT_EQ(TrayDockManager::newMessageCount(), 2);
    dock.dockIconUpdate();
    const QImage two = dock.iconImage();
    EXPECT_NE(two, plain.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    // Each unseen line asks again: the same count keeps the icon it has.
    const qint64 windowIcon = mMain.windowIcon().cacheKey();
    dock.dockIconUpdate();
    EXPECT_EQ(dock.iconImage().cacheKey(), two.cacheKey());
    EXPECT_EQ(mMain.windowIcon().cacheKey(), windowIcon);
    // The main window wears the same icon.
    EXPECT_FALSE(mMain.windowIcon().isNull());
    mChats.list = {&a, &c};
    dock.dockIconUpdate();
    EXPECT_NE(dock.iconImage(), two);
    mChats.list.clear();
    dock.dockIconUpdate();
    EXPECT_EQ(dock.iconImage(), plain.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    // Offscreen there is no tray, and nothing fails for it.
    EXPECT_EQ(dock.trayIcon() != nullptr, QSystemTrayIcon::isSystemTrayAvailable());
}

TEST_F(TrayTest, TheMenuListsTheOpenChatsAndAnEntryKeepsItsOwnChat)
{
    TrayDockManager dock([this] { return &mMain; }, [] {}, QDBusConnection(QStringLiteral("tray-no-bus")));
    std::unique_ptr<QMenu> menu(dock.dockMenu());
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), text("ChatListMenuTitle"));
    EXPECT_EQ(menu->actions().front()->menu(), nullptr);

    auto bob = std::make_unique<Chat>(QStringLiteral("Bob & Co"), false);
    Chat carol(QStringLiteral("Carol"), false);
    mChats.list = {bob.get(), &carol};
    menu.reset(dock.dockMenu());
    QMenu *chats = menu->actions().front()->menu();
    ASSERT_NE(chats, nullptr);
    ASSERT_EQ(chats->actions().size(), 2);
    EXPECT_EQ(chats->actions().at(0)->text(), QStringLiteral("Bob && Co"));
    EXPECT_EQ(chats->actions().at(1)->text(), QStringLiteral("Carol"));

    chats->actions().at(1)->trigger();
    EXPECT_EQ(carol.shown, 1);
    // Bob's chat closes: its entry opens nothing, least of all Carol's, now first in the list.
    QAction *bobEntry = chats->actions().at(0);
    mChats.list = {&carol};
    bob.reset();
    bobEntry->trigger();
    EXPECT_EQ(carol.shown, 1);
}

TEST_F(TrayTest, TheAttentionTimerStartsOnceAndStopsWhenAllIsRead)
{
    TrayDockManager dock([this] { return &mMain; }, [] {}, QDBusConnection(QStringLiteral("tray-no-bus")));
    Chat a(QStringLiteral("Bob"), true);
    mChats.list = {&a};
    dock.dockIconBounce();
    EXPECT_TRUE(dock.isBouncing());
    dock.dockIconBounce(); // no second timer
    EXPECT_TRUE(dock.isBouncing());
    dock.dockIconBounceTimer();
    dock.dockIconBounceTimer();
    EXPECT_EQ(dock.attentionRequests(), 2);
    a.unread = false;
    dock.dockIconBounceTimer();
    EXPECT_FALSE(dock.isBouncing());
    EXPECT_EQ(dock.attentionRequests(), 2);
    dock.dockIconBounce();
    EXPECT_TRUE(dock.isBouncing());
}

TEST_F(TrayTest, TheLauncherEntryHearsTheCount)
{
    if (!privateCenter())
        GTEST_SKIP() << "no private session bus";
    DBusSignalRecorder recorder;
    QDBusConnection listener = privateConnection(QStringLiteral("launcher-listener"));
    ASSERT_TRUE(listener.connect(QString(), QLatin1String(LauncherEntry::kPath), QLatin1String(LauncherEntry::kInterface),
                                 QStringLiteral("Update"), &recorder, SLOT(record(QDBusMessage))));
    TrayDockManager dock([this] { return &mMain; }, [] {}, privateConnection(QStringLiteral("launcher-sender")));
    Chat a(QStringLiteral("Bob"), true);
    Chat b(QStringLiteral("Carol"), true);
    mChats.list = {&a, &b};
    dock.dockIconUpdate();
    ASSERT_TRUE(parley::test::waitUntil([&recorder] {
        return !recorder.messages.isEmpty()
            && recorder.messages.last().arguments().value(1).value<QDBusArgument>().currentType() >= 0;
    }));
    const auto properties = [](const QDBusMessage &m) {
        return qdbus_cast<QVariantMap>(m.arguments().at(1).value<QDBusArgument>());
    };
    const QDBusMessage last = recorder.messages.last();
    EXPECT_EQ(last.arguments().at(0).toString(), QLatin1String(LauncherEntry::kAppUri));
    EXPECT_EQ(properties(last).value(QStringLiteral("count")).toLongLong(), 2);
    EXPECT_TRUE(properties(last).value(QStringLiteral("count-visible")).toBool());

    mChats.list.clear();
    const qsizetype before = recorder.messages.size();
    dock.dockIconUpdate();
    ASSERT_TRUE(parley::test::waitUntil([&recorder, before] { return recorder.messages.size() > before; }));
    EXPECT_EQ(properties(recorder.messages.last()).value(QStringLiteral("count")).toLongLong(), 0);
    EXPECT_FALSE(properties(recorder.messages.last()).value(QStringLiteral("count-visible")).toBool());
}

// The own-status view.

namespace {

struct Refuser final : KCStatusViewDelegate {
    bool statusViewShouldChangeStatus(KCStatusViewWidget *, const QString &title) override
    {
        asked << title;
        return !refuse.contains(title);
    }
    QStringList asked;
    QStringList refuse;
};

struct ChangeRecorder {
    ChangeRecorder()
    {
        token = NotificationCenter::defaultCenter().addObserver(
            QLatin1String(notifications::kChangeStatus), nullptr, [this](const Notification &n) {
                posts << n.userInfo.value(QStringLiteral("title")).toString();
                olds << n.userInfo.value(QStringLiteral("oldTitle")).toString();
            });
    }
    ~ChangeRecorder() { NotificationCenter::defaultCenter().removeObserver(token); }
    QStringList posts;
    QStringList olds;
    NotificationCenter::Token token = 0;
};

} // namespace

TEST(StatusView, TheMenuHoldsTheSixStatusesAndThreeCommands)
{
    KCStatusViewWidget view;
    QStringList titles;
    int separators = 0;
    for (QAction *item : view.menu()->actions()) {
        if (item->isSeparator())
            ++separators;
        else
            titles << item->text();
    }
    QStringList expected;
    for (const char *key : {"Online", "Away", "Busy", "OnThePhone", "OnThemeeting", "AppearOffline", "SetMyNickName",
                            "ShowMyProfile", "SetMyProfile"})
        expected << text(key);
    EXPECT_EQ(titles, expected);
    EXPECT_EQ(separators, 2);
    EXPECT_TRUE(view.menu()->actions().at(6)->isSeparator() && view.menu()->actions().at(8)->isSeparator());
    EXPECT_TRUE(view.title().isEmpty());
    EXPECT_FALSE(view.accessibleName().isEmpty());
}

TEST(StatusView, EveryChangeAsksTheDelegateThenShowsTicksAndPosts)
{
    KCStatusViewWidget view;
    Refuser delegate;
    view.setDelegate(&delegate);
    ChangeRecorder changes;

    view.setTitle(text("Online"));
    EXPECT_EQ(view.title(), text("Online"));
    EXPECT_EQ(view.checkedTitle(), text("Online"));
    EXPECT_FALSE(view.isUserSelected());
    view.setTitle(text("Busy"), true);
    EXPECT_TRUE(view.isUserSelected());
    // The same status again still posts.
    view.setTitle(text("Busy"), true);
    EXPECT_EQ(changes.posts, (QStringList{text("Online"), text("Busy"), text("Busy")}));
    EXPECT_EQ(changes.olds, (QStringList{QString(), text("Online"), text("Busy")}));

    // A command posts, but the shown status and its tick stay.
    view.setTitle(text("SetMyNickName"), true);
    EXPECT_EQ(changes.posts.last(), text("SetMyNickName"));
    EXPECT_EQ(view.title(), text("Busy"));
    EXPECT_EQ(view.checkedTitle(), text("Busy"));

    // A refused change: nothing moves, nothing is posted.
    delegate.refuse = {text("AppearOffline")};
    const qsizetype posted = changes.posts.size();
    view.setTitle(text("AppearOffline"), false);
    EXPECT_EQ(changes.posts.size(), posted);
    EXPECT_EQ(view.title(), text("Busy"));
    EXPECT_TRUE(view.isUserSelected());

    // From the menu the choice is the user's, refused or not.
    QAction *offline = view.menu()->actions().at(5);
    view.setTitle(text("Online"), false);
    offline->trigger();
    EXPECT_EQ(view.title(), text("Online"));
    EXPECT_TRUE(view.isUserSelected());
    QAction *away = view.menu()->actions().at(1);
    away->trigger();
    EXPECT_EQ(view.title(), text("Away"));
    EXPECT_TRUE(view.isUserSelected());

    // A title no entry has is shown with nothing ticked.
    view.setTitle(QStringLiteral("Somewhere"));
    EXPECT_EQ(view.title(), QStringLiteral("Somewhere"));
    EXPECT_TRUE(view.checkedTitle().isEmpty());
}

TEST(StatusView, OnlyALeftPressOpensTheMenu)
{
    QWidget window;
    auto *view = new KCStatusViewWidget(&window);
    view->resize(view->sizeHint());
    window.show();
    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(20, 8));
    EXPECT_FALSE(view->menu()->isVisible());
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(20, 8));
    EXPECT_TRUE(view->menu()->isVisible());
    EXPECT_TRUE(view->isClick());
    view->menu()->hide();
    EXPECT_FALSE(view->isClick());
    // From the keyboard too.
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_TRUE(view->menu()->isVisible());
    view->menu()->hide();
}

// A title longer than the old fixed band: the band under the mouse grows
// with it (white text off the band could not be read), but never past the
// view, and never below its 94 points.
TEST(StatusView, TheBandTakesTheWholeTitleUpToTheViewsWidth)
{
    QWidget window;
    auto *view = new KCStatusViewWidget(&window);
    window.show();
    QEnterEvent enter(QPointF(20, 8), QPointF(20, 8), view->mapToGlobal(QPointF(20, 8)));
    QApplication::sendEvent(view, &enter);
    ASSERT_TRUE(view->isHover());
    QFont font = view->font();
    font.setPointSizeF(11);
    const auto isBand = [](const QImage &image, int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return c.blue() > c.red() + 60;
    };
    const struct {
        QString title;
        int viewWidth;
    } cases[] = {
        {QStringLiteral("\uC624\uD504\uB77C\uC778\uC73C\uB85C \uD45C\uC2DC"), 400},
        {QStringLiteral("Appear Offline to everybody"), 400},
        {QStringLiteral("Appear Offline to everybody"), 120},
        {QStringLiteral("On"), 400},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title.toStdString() + " in " + std::to_string(c.viewWidth));
        view->resize(c.viewWidth, 21);
        view->setTitle(c.title);
        const int end = qMin(qMax(94, 16 + QFontMetrics(font).horizontalAdvance(c.title) + 2), c.viewWidth);
        const QImage picture = view->grab().toImage();
        const int middle = picture.height() - 1 - 8 * int(picture.devicePixelRatio());
        const qreal ratio = picture.devicePixelRatio();
        EXPECT_TRUE(isBand(picture, int((end - 3) * ratio), middle)) << "the band reaches past the title";
        if (end + 6 < c.viewWidth)
            EXPECT_FALSE(isBand(picture, int((end + 6) * ratio), middle)) << "and ends soon after it";
    }
    // The layout is asked for room for the whole title.
    EXPECT_GE(view->sizeHint().width(), 16 + QFontMetrics(font).horizontalAdvance(view->title()));
}

// The open menu holds the mouse, so the view hears no leave: once the menu
// closes with the mouse elsewhere, the band goes.
TEST(StatusView, TheHoverBandGoesWhenTheMenuClosesAwayFromTheMouse)
{
    QWidget window;
    auto *view = new KCStatusViewWidget(&window);
    view->resize(view->sizeHint());
    window.show();
    QEnterEvent enter(QPointF(20, 8), QPointF(20, 8), view->mapToGlobal(QPointF(20, 8)));
    QApplication::sendEvent(view, &enter);
    EXPECT_TRUE(view->isHover());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Space);
    ASSERT_TRUE(view->menu()->isVisible());
    EXPECT_TRUE(view->isClick());
    // The mouse goes off while the menu is open (the menu has it): the
    // application knows, but no leave reaches the view.
    view->setAttribute(Qt::WA_UnderMouse, false);
    view->menu()->hide();
    EXPECT_FALSE(view->underMouse());
    EXPECT_FALSE(view->isHover());
    EXPECT_FALSE(view->isClick());
}

// The main window's Window menu lists the application's windows by itself:
// chats, then the other titled windows by title; a chat kept hidden is there
// only while it holds unread lines, with a bullet and their count.
TEST_F(TrayTest, TheWindowMenuListsTheOpenWindowsAndHiddenChatsWithUnreadLines)
{
    MainWindow main;
    QMenu &menu = *main.menuAt(MainWindow::WindowMenu);
    Chat shown(QStringLiteral("Bob"), false);
    shown.widget.show();
    Chat hidden(QStringLiteral("Carol & Co"), true);
    hidden.count = 3;
    Chat quiet(QStringLiteral("Dave"), false);
    mChats.list = {&shown, &hidden, &quiet};
    QWidget memo;
    memo.setWindowTitle(QStringLiteral("Lunch?"));
    memo.show();
    QWidget transfer;
    transfer.setWindowTitle(QStringLiteral("File Transfers"));
    transfer.show();
    QWidget notice(nullptr, Qt::Tool);
    notice.setWindowTitle(QStringLiteral("A notice"));
    notice.show();
    main.setWindowTitle(QStringLiteral("Parley"));
    main.show();

    const auto titles = [&menu] {
        QStringList texts;
        for (QAction *action : menu.actions())
            texts << action->text();
        return texts;
    };
    // The menu's own items, then the windows.
    QStringList expected{text("MenuMinimize"), text("MenuMainWindow"), text("MenuTransfer"), QString()};
    expected << QStringLiteral("Bob") << QStringLiteral("\u2022 Carol && Co (3)") << QStringLiteral("File Transfers")
             << QStringLiteral("Lunch?");
    for (int opening = 0; opening < 2; ++opening) {
        emit menu.aboutToShow();
        QStringList ours = titles();
        // Windows left open by other tests of this program are not ours to check.
        ours.removeIf([&expected](const QString &t) { return !expected.contains(t) && t != QLatin1String("Dave")
                                                             && t != QLatin1String("A notice")
                                                             && t != QLatin1String("Parley"); });
        EXPECT_EQ(ours, expected) << "opening " << opening;
    }
    menu.actions().at(5)->trigger();
    EXPECT_EQ(hidden.shown, 1);
    EXPECT_TRUE(hidden.widget.isVisible());
    mChats.list.clear();
}
