// The application and its window: hidden until the messenger asks with the
// box's own id, the first-show notice and its check box, the quit rules, the
// sender line, the export's bytes, and screenshots of both tabs.
#include "PGHExportFileName.h"
#include "PGHMainWindow.h"
#include "PGHMemoDetailPane.h"
#include "PGHMemoTreeDataSource.h"
#include "PGHChatTreeDataSource.h"
#include "PGHStoreController.h"
#include "PGHBoxToolbar.h"
#include "Pigeonhole_AppDelegate.h"
#include "EmoticonManager.h"
#include "pigeonhole/KCLinkButton.h"
#include "KCResourceDirectory.h"
#include "KCMsgOutlineView.h"
#include "KCTableView.h"
#include "PGHBoxView.h"
#include "KCSearchView.h"
#include "PGHBodyView.h"

#include "DistributedNotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"
#include "PrivateBus.h"
#include "ScriptedAlerts.h"
#include "OlderStore.h"
#include "SqliteTool.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"

#include <QAction>
#include <QCoreApplication>
#include <QSet>
#include <QStandardPaths>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include <QHeaderView>
#include <QToolButton>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include <algorithm>
#include <gtest/gtest.h>

using namespace pigeonhole;
using parley::test::PrivateBus;
using parley::test::waitUntil;
namespace n = parley::notifications;

namespace {

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateBus::available())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(bus.isRunning());
        ASSERT_TRUE(dir.isValid());
        parley::UserDefaults::standardUserDefaults().removeObjectForKey(Pigeonhole_AppDelegate::kInitAlertSuppressKey);
        boxCenter = std::make_unique<parley::DistributedNotificationCenter>(bus.connect("box"));
        messenger = std::make_unique<parley::DistributedNotificationCenter>(bus.connect("messenger"));
        for (const char *name : {n::kPlugUserInfo, n::kUnreadMemoCount, n::kReadMemoDocument, n::kWriteMemoDocument,
                                 n::kConversationWindow, n::kOpenMessageBoxHelp, n::kOpenWebMemoBox,
                                 n::kOpenWebChatBox})
            messenger->addObserver(QLatin1String(name), [this](const parley::DistributedNotification &note) {
                heard.push_back(note);
            });
        delegate = std::make_unique<Pigeonhole_AppDelegate>(*boxCenter, dir.filePath("Parley"));
        QObject::connect(delegate.get(), &Pigeonhole_AppDelegate::terminated, [this] { ++terminations; });
    }
    void TearDown() override
    {
        delegate.reset();
        boxCenter.reset();
        messenger.reset();
    }
    bool heardName(const char *name, const QString &object = {}) const
    {
        for (const auto &note : heard)
            if (note.name == QLatin1String(name) && (object.isNull() || note.object == object))
                return true;
        return false;
    }
    void login()
    {
        ASSERT_TRUE(parley::plugin::postLoginUserInfo("me@parley.test", *messenger));
        ASSERT_TRUE(waitUntil([&] { return heardName(n::kUnreadMemoCount, "0"); }));
    }

    PrivateBus bus;
    QTemporaryDir dir;
    parley::test::ScriptedAlerts alerts;
    std::unique_ptr<parley::DistributedNotificationCenter> boxCenter;
    std::unique_ptr<parley::DistributedNotificationCenter> messenger;
    std::unique_ptr<Pigeonhole_AppDelegate> delegate;
    std::vector<parley::DistributedNotification> heard;
    int terminations = 0;
};

TEST_F(WindowTest, OnlyTheBoxsOwnIdShowsTheWindowWithItsNoticeUntilSuppressed)
{
    delegate->applicationDidFinishLaunching();
    ASSERT_TRUE(waitUntil([&] { return heardName(n::kPlugUserInfo, n::kMessageBoxPlugInID); }));
    login();
    EXPECT_FALSE(delegate->window().isVisible());

    // Another plug-in's show request; the refresh after it is handled after it.
    const auto handled = [&] {
        const size_t before = heard.size();
        EXPECT_TRUE(messenger->post(QLatin1String(n::kRefreshPlugin)));
        return waitUntil([&] { return heard.size() > before; });
    };
    ASSERT_TRUE(parley::plugin::postShowPlugInWindow("00000000-0000-0000-0000-000000000000", *messenger));
    ASSERT_TRUE(handled());
    EXPECT_FALSE(delegate->window().isVisible());
    EXPECT_TRUE(alerts.shown.empty());

    alerts.answer(0, true); // the notice, with "don't show again" ticked
    const parley::PLEndpoints saved = parley::PLEndpoints::current();
    parley::PLEndpoints endpoints = saved;
    endpoints.webMemo = "http://memo.parley.test:8080";
    parley::PLEndpoints::setCurrent(endpoints);
    const auto restore = qScopeGuard([&saved] { parley::PLEndpoints::setCurrent(saved); });
    ASSERT_TRUE(parley::plugin::postShowPlugInWindow(n::kMessageBoxPlugInID, *messenger));
    ASSERT_TRUE(waitUntil([&] { return delegate->window().isVisible(); }));
    ASSERT_EQ(alerts.keys(), QStringList{"Init_Title"});
    // As drawn: the box's picture, the message, the detail with its link
    // under it, a button to each web box that leaves the notice up, one
    // button that ends it, and the check box.
    const KCAlertRequest &notice = alerts.shown.front();
    EXPECT_EQ(notice.iconName, "icon_viewer");
    EXPECT_EQ(notice.title, parley::KCLocalizedString("Init_Title"));
    EXPECT_EQ(notice.message, parley::KCLocalizedString("Init_Body"));
    EXPECT_TRUE(notice.detail.isEmpty()); // nothing folded away
    EXPECT_TRUE(notice.accessoryHtml.contains(parley::KCLocalizedString("Init_Detail_Title").toHtmlEscaped()));
    EXPECT_TRUE(notice.accessoryHtml.contains("<a href='http://memo.parley.test:8080/index.php?code=H215'>"
                                              + parley::KCLocalizedString("Init_go").toHtmlEscaped()
                                              + "</a>"))
        << notice.accessoryHtml.toStdString();
    EXPECT_EQ(notice.buttons, QStringList{parley::KCLocalizedString("confirm")});
    EXPECT_EQ(notice.checkBoxText, parley::KCLocalizedString("Init_Suppression"));
    ASSERT_EQ(notice.accessoryButtons.size(), 2);
    EXPECT_EQ(notice.accessoryButtons[0].title, parley::KCLocalizedString("webMemoBox"));
    EXPECT_EQ(notice.accessoryButtons[1].title, parley::KCLocalizedString("webChatBox"));
    notice.accessoryButtons[0].action();
    notice.accessoryButtons[1].action();
    ASSERT_TRUE(waitUntil([&] { return heardName(n::kOpenWebMemoBox, n::kMessageBoxPlugInID)
                                       && heardName(n::kOpenWebChatBox, n::kMessageBoxPlugInID); }));
    EXPECT_TRUE(parley::UserDefaults::standardUserDefaults().boolForKey(Pigeonhole_AppDelegate::kInitAlertSuppressKey));

    delegate->window().close(); // closing hides
    EXPECT_FALSE(delegate->window().isVisible());
    ASSERT_TRUE(parley::plugin::postShowPlugInWindow(n::kMessageBoxPlugInID, *messenger));
    ASSERT_TRUE(waitUntil([&] { return delegate->window().isVisible(); }));
    EXPECT_EQ(alerts.shown.size(), 1u); // suppressed now
}

TEST_F(WindowTest, TheUsersQuitHidesAndTheMessengersQuitEnds)
{
    // (The emoticons are read where the messenger's copy puts them.)
    EXPECT_EQ(delegate->emoticons().emoticonDictFile(), dir.filePath("Parley/Emoticon/emoticon.plist"));
    delegate->showMyWindow();
    ASSERT_TRUE(delegate->window().isVisible());
    ASSERT_TRUE(QFile::exists(dir.filePath("Parley/Message/default.sqlite")));
    delegate->window().action(PGHWindowAction::Quit)->trigger();
    EXPECT_FALSE(delegate->window().isVisible());
    EXPECT_EQ(terminations, 0);
    EXPECT_FALSE(QFile::exists(dir.filePath("Parley/Message/default.sqlite"))); // every terminate request

    // A removal notice for this plug-in hides too; the messenger's quit ends it.
    ASSERT_TRUE(messenger->post(QLatin1String(n::kWillRemovePlugIn), n::kMessageBoxPlugInID));
    ASSERT_TRUE(parley::plugin::postQuitPlugInProcess("SOME-OTHER-PLUGIN", *messenger));
    ASSERT_TRUE(waitUntil([&] { return terminations == 1; }));
    EXPECT_TRUE(delegate->isQuit());
}

TEST_F(WindowTest, TheSenderLineFollowsTheBuddyStatusesAndItsLinkAsksTheMessenger)
{
    login();
    delegate->insertMemoDocument({{"msgType", "inbox"}, {"subject", "hi"}, {"suser", "Ann"},
                                  {"suserID", "ann@parley.test"}, {"ruser", "Me"}, {"bodyData", "hello"}});
    delegate->insertMemoDocument({{"msgType", "outbox"}, {"subject", "mine"}, {"suser", "Me"},
                                  {"suserID", "me@parley.test"}, {"ruser", "Ann"}, {"bodyData", "x"}});
    PGHMemoTreeDataSource &memo = delegate->memoTreeDataSource();
    PGHMemoDetailPane &pane = *delegate->window().memoDetail();
    memo.setSelectedRows({0}, 0);
    EXPECT_EQ(pane.senderField()->text(), "Ann  <ann@parley.test>");
    struct Case {
        QVariant status; // an invalid variant: not in the list
        const char *image;
        const char *link;
    };
    const Case cases[] = {
        {QVariant(), "16x16_offline.png", "memo"},
        {0, "16x16_offline.png", "memo"},
        {1, "16x16_normal.png", "chat"},
        {2, "16x16_busy.png", "chat"},
        {5, "16x16_other.png", "chat"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.image);
        QVariantMap statuses{{"bo@parley.test", 1}};
        if (c.status.isValid())
            statuses.insert("ann@parley.test", c.status);
        delegate->buddyStatusList(statuses);
        EXPECT_EQ(pane.senderLine().statusImage, c.image);
        EXPECT_EQ(pane.senderLine().linkTitleKey, c.link);
        EXPECT_FALSE(pane.linkButton()->isHidden());
        EXPECT_FALSE(pane.statusIcon()->isHidden());
    }
    pane.linkButton()->click(); // "chat" with status 5
    ASSERT_TRUE(waitUntil([&] { return heardName(n::kConversationWindow, "ann@parley.test"); }));

    // The user's own memo: no icon and no link.
    memo.selectTreeIndex(memo.folderModel()->index(1, 0));
    memo.setSelectedRows({0}, 0);
    EXPECT_EQ(pane.subjectField()->text(), "mine");
    EXPECT_TRUE(pane.linkButton()->isHidden());
    EXPECT_TRUE(pane.statusIcon()->isHidden());

    // Reading posts the payload with the lists split again.
    memo.tableDoubleClickAction();
    ASSERT_TRUE(waitUntil([&] { return heardName(n::kReadMemoDocument); }));
    for (const auto &note : heard)
        if (note.name == QLatin1String(n::kReadMemoDocument)) {
            EXPECT_EQ(note.userInfo.value("subject").toString(), "mine");
            EXPECT_EQ(note.userInfo.value("ruser").toStringList(), QStringList{"Ann"});
        }
}

TEST_F(WindowTest, AnExportWritesExactlyTheMemoText)
{
    const QString cmp = QStandardPaths::findExecutable("cmp");
    if (cmp.isEmpty())
        GTEST_SKIP() << "cmp is not installed";
    login();
    const QString body = QString::fromUtf8("첫 줄 /smile/\r\nsecond line without a final newline");
    delegate->insertMemoDocument({{"msgType", "inbox"}, {"subject", "../Notes/plan"}, {"bodyData", body}});
    delegate->memoTreeDataSource().setSelectedRows({0}, 0);
    QString proposed;
    const QString target = dir.filePath("export"); // no suffix: ".txt" is added
    delegate->window().setSavePathChooser([&](const QString &name) {
        proposed = name;
        return target;
    });
    bool finished = false;
    QObject::connect(&delegate->window(), &PGHMainWindow::exportFinished, [&](const QString &, bool ok) {
        EXPECT_TRUE(ok);
        finished = true;
    });
    delegate->window().saveMessage();
    ASSERT_TRUE(waitUntil([&] { return finished; }));
    EXPECT_EQ(proposed, "Notesplan.txt");

    QFile expected(dir.filePath("expected"));
    ASSERT_TRUE(expected.open(QIODevice::WriteOnly));
    expected.write(body.toUtf8());
    expected.close();
    QProcess compare;
    compare.start(cmp, {expected.fileName(), target + ".txt"});
    ASSERT_TRUE(compare.waitForFinished(10000));
    EXPECT_EQ(compare.exitCode(), 0) << compare.readAllStandardOutput().toStdString();
}

TEST_F(WindowTest, TheViewsHandTheUsersClicksToTheBoxAndFollowIt)
{
    login();
    delegate->insertMemoDocument({{"msgType", "outbox"}, {"subject", "sent one"}, {"ruser", "Bo"}, {"bodyData", "b"}});
    delegate->insertMemoDocument({{"msgType", "inbox"}, {"subject", "got one"}, {"suser", "Ann"}, {"bodyData", "a"}});
    PGHMainWindow &w = delegate->window();
    w.show();
    KCMsgOutlineView *outline = w.memoView()->outline();
    ASSERT_EQ(outline->currentIndex().row(), 0); // the inbox, after the login
    outline->setCurrentIndex(outline->model()->index(1, 0)); // a click on the outbox
    EXPECT_EQ(delegate->memoTreeDataSource().selectedFolder()->folderName, "outbox");
    EXPECT_EQ(w.memoView()->table()->model()->headerData(0, Qt::Horizontal).toString(), parley::KCLocalizedString("ruser"));
    w.memoView()->table()->selectRow(0);
    EXPECT_EQ(w.memoDetail()->subjectField()->text(), "sent one");
    // A header click sorts; the header shows the order.
    w.memoView()->table()->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(w.memoView()->table()->horizontalHeader()->sortIndicatorSection(), 1);
    EXPECT_TRUE(w.memoView()->table()->selectionModel()->selectedRows().isEmpty()); // a new list, nothing selected
    // Chat tab: the tool bar's template menu starts on the text search.
    w.changeTab(1);
    EXPECT_EQ(w.toolbar(1)->templateButton()->text(), parley::KCLocalizedString("contents"));
    // The menus follow the rules: nothing to rename on the chatbox.
    w.validateActions();
    EXPECT_FALSE(w.action(PGHWindowAction::RenameFolder)->isEnabled());
    EXPECT_TRUE(w.action(PGHWindowAction::NewFolder)->isEnabled());
}

// The sender line's link answers Return while it is shown, unless the key
// belongs to the search field or a text view.
TEST_F(WindowTest, ReturnPressesTheSenderLinkOnlyWhileItIsShownAndTheKeyIsFree)
{
    login();
    delegate->buddyStatusList({{"ann@parley.test", 1}});
    delegate->insertMemoDocument({{"msgType", "inbox"}, {"subject", "hi"}, {"suser", "Ann"},
                                  {"suserID", "ann@parley.test"}, {"bodyData", "hello"}});
    delegate->insertMemoDocument({{"msgType", "outbox"}, {"subject", "mine"}, {"suser", "Me"},
                                  {"suserID", "me@parley.test"}, {"bodyData", "x"}});
    PGHMainWindow &w = delegate->window();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    KCTableView *table = w.memoView()->table();
    table->selectRow(0);
    ASSERT_FALSE(w.memoDetail()->linkButton()->isHidden());
    const auto chats = [&] {
        return std::count_if(heard.begin(), heard.end(), [](const parley::DistributedNotification &note) {
            return note.name == QLatin1String(n::kConversationWindow);
        });
    };
    const auto press = [&](QWidget *focus) {
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        QTest::qWait(150); // what the bus would deliver
    };
    press(table);
    ASSERT_TRUE(waitUntil([&] { return heardName(n::kConversationWindow, "ann@parley.test"); }));
    EXPECT_EQ(chats(), 1);

    // In the search field Return searches; in the memo text it is the text's.
    QLineEdit *field = w.toolbar(0)->searchField();
    QTest::keyClicks(field, "zzz");
    press(field);
    EXPECT_EQ(chats(), 1);
    EXPECT_EQ(table->model()->rowCount(), 0); // the search ran
    field->clear();
    table->selectRow(0);
    press(w.memoDetail()->bodyView());
    EXPECT_EQ(chats(), 1);

    // The user's own memo shows no link: Return does nothing.
    w.memoView()->outline()->setCurrentIndex(w.memoView()->outline()->model()->index(1, 0));
    table->selectRow(0);
    ASSERT_TRUE(w.memoDetail()->linkButton()->isHidden());
    press(table);
    EXPECT_EQ(chats(), 1);
    // Nor in the chat tab, where the memo pane is not shown.
    w.memoView()->outline()->setCurrentIndex(w.memoView()->outline()->model()->index(0, 0));
    table->selectRow(0);
    ASSERT_FALSE(w.memoDetail()->linkButton()->isHidden());
    w.changeTab(1);
    press(w.chatView()->table());
    EXPECT_EQ(chats(), 1);
}

// Read and unread act on the memo box whatever the tab.
TEST_F(WindowTest, TheMarksActOnTheMemoBoxFromTheChatTabToo)
{
    login();
    delegate->insertMemoDocument({{"msgType", "inbox"}, {"subject", "hi"}, {"unread", 0}});
    PGHMainWindow &w = delegate->window();
    PGHMemoTreeDataSource &memo = delegate->memoTreeDataSource();
    memo.setSelectedRows({0}, 0);
    w.changeTab(1);
    w.validateActions();
    QAction *unread = w.action(PGHWindowAction::MarkUnread);
    ASSERT_TRUE(unread->isEnabled());
    unread->trigger();
    EXPECT_EQ(memo.memoList().rows().at(0).unread, 1);
    ASSERT_TRUE(waitUntil([&] { return heardName(n::kUnreadMemoCount, "1"); }));
    // The tool bar's search sits on the search bar.
    EXPECT_TRUE(w.toolbar(0)->searchView()->isAncestorOf(w.toolbar(0)->searchField()));
    EXPECT_TRUE(w.toolbar(1)->searchView()->isAncestorOf(w.toolbar(1)->searchButton()));
}

TEST(ExportFileName, TheSubjectMadeOneSafeFileName)
{
    struct Case {
        QString subject;
        QString name;
    };
    const QList<Case> cases{
        {"plan", "plan.txt"},
        {"../etc/passwd", "etcpasswd.txt"},
        {"...hidden", "hidden.txt"},
        {"a/b\nc", "ab c.txt"},
        {"///", ""},
        {"", ""},
        {QString(300, QChar(u'가')), QString(83, QChar(u'가')) + ".txt"}, // 3 bytes each, within 251
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.subject.toStdString());
        EXPECT_EQ(PGHExportFileName::fromSubject(c.subject), c.name);
    }
}

// A store of an earlier version: the window shows its folders and lists at
// once and says that the store is being updated; nothing that changes the
// store is on (a memo read stays unread, a delete asks nothing), and an
// arrival waits. When the upgrade ends the line goes, the items come back
// and the arrival is filed.
TEST_F(WindowTest, AnOlderStoreIsShownAtOnceAndChangesWaitForItsUpgrade)
{
    const QString file = dir.filePath("Parley/Message/me@parley.test.sqlite");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    ASSERT_EQ(pigeonhole::test::makeOlderStore(file, 1, 3000, 3000), "");
    ASSERT_EQ(pigeonhole::test::sqliteTool(file, "INSERT INTO MemoFolder(folderName, sn) VALUES ('work', '000000000000003')"), "");
    PGHMainWindow &w = delegate->window();
    w.show();
    EXPECT_FALSE(w.statusBar()->isVisible());
    delegate->currentUserInfo("me@parley.test");
    ASSERT_TRUE(delegate->stores().isUpgrading());

    EXPECT_TRUE(w.statusBar()->isVisible());
    EXPECT_EQ(w.upgradeText()->text(), parley::KCLocalizedString("storeUpgrading"));
    EXPECT_TRUE(w.upgradeBar()->isVisible());
    PGHMemoTreeDataSource &memo = delegate->memoTreeDataSource();
    EXPECT_EQ(memo.folderModel()->rowCount(), 3); // inbox, outbox, the private group
    EXPECT_EQ(memo.messageCount(), PGHMemoTreeDataSource::kPageSize);
    EXPECT_EQ(delegate->chatTreeDataSource().messageCount(), PGHChatTreeDataSource::kPageSize);
    // As a menu sees them when it opens.
    const auto editsOn = [&] {
        w.validateActions();
        QStringList on;
        for (PGHWindowAction a : {PGHWindowAction::NewFolder, PGHWindowAction::ClearBox, PGHWindowAction::Delete,
                                  PGHWindowAction::MarkRead, PGHWindowAction::MarkUnread})
            if (w.action(a)->isEnabled())
                on << w.action(a)->objectName();
        if (w.toolbar(0)->deleteButton()->isEnabled())
            on << "delete button";
        return on;
    };
    w.changeTab(1); // chatbox: a new folder may be made there
    EXPECT_EQ(editsOn(), QStringList());
    w.changeTab(0);
    memo.setSelectedRows({0, 1}, 1);
    EXPECT_EQ(editsOn(), QStringList());
    ASSERT_TRUE(waitUntil([&] { return !w.upgradeStep()->text().isEmpty(); }));
    EXPECT_TRUE(w.upgradeStep()->text() == parley::KCLocalizedString("storeUpgradeStep").arg(1).arg(2)
                || w.upgradeStep()->text() == parley::KCLocalizedString("storeUpgradeStep").arg(2).arg(2))
        << w.upgradeStep()->text().toStdString();

    // Row 1 (memo 2999) is unread, and stays so while it is shown.
    ASSERT_EQ(memo.memoList().rows().at(1).unread, 1);
    ASSERT_TRUE(w.memoDetail()->currentMessageSet());
    EXPECT_EQ(w.memoDetail()->currentMessageSet()->subject, "memo 2999");
    EXPECT_EQ(memo.memoList().rows().at(1).unread, 1);
    memo.deleteMessage();
    memo.clearMessageBox();
    // A user folder: no renaming, deleting, making or dropping either.
    const auto dropOnWork = [&] {
        std::unique_ptr<QMimeData> drag(memo.memoList().mimeData({memo.memoList().index(0, 0)}));
        return memo.validateDrop(drag.get(), *memo.folderModel()->node(memo.folderModel()->indexOfFolder(3)));
    };
    EXPECT_FALSE(dropOnWork());
    memo.selectTreeIndex(memo.folderModel()->indexOfFolder(3));
    EXPECT_EQ(editsOn(), QStringList());
    EXPECT_FALSE(w.action(PGHWindowAction::RenameFolder)->isEnabled());
    EXPECT_FALSE(w.action(PGHWindowAction::DeleteFolder)->isEnabled());
    EXPECT_FALSE(memo.renameSelectedFolder("other"));
    EXPECT_FALSE(memo.createFolder("new"));
    memo.deleteMessageBox();
    memo.selectTreeIndex(memo.folderModel()->indexOfFolder(1));
    EXPECT_EQ(alerts.keys(), QStringList());
    delegate->insertMemoDocument({{"msgType", "inbox"}, {"subject", "arrived meanwhile"},
                                  {"date", QDateTime::currentDateTimeUtc()}});
    EXPECT_EQ(delegate->heldArrivals(), 1);
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "SELECT count(*) FROM MemoContext WHERE subject = 'arrived meanwhile'"), "0");

    ASSERT_TRUE(waitUntil([&] { return !delegate->stores().isUpgrading(); }, 120000));
    EXPECT_FALSE(w.statusBar()->isVisible());
    EXPECT_EQ(delegate->heldArrivals(), 0);
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "SELECT unread FROM MemoContext WHERE subject = 'memo 2999'"), "1");
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "SELECT count(*) FROM MemoContext WHERE subject = 'arrived meanwhile'"), "1");
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "PRAGMA user_version"), "3");
    ASSERT_GT(memo.messageCount(), 0);
    EXPECT_EQ(memo.memoList().rows().first().subject, "arrived meanwhile");
    memo.setSelectedRows({1, 2}, 1); // memo 3000 (read) and 2999 (unread)
    EXPECT_EQ(editsOn(), (QStringList{"clearBox", "delete", "tvread", "tvunread", "delete button"}));
    EXPECT_TRUE(dropOnWork());
    memo.selectTreeIndex(memo.folderModel()->indexOfFolder(3));
    w.validateActions();
    EXPECT_TRUE(w.action(PGHWindowAction::RenameFolder)->isEnabled());
    EXPECT_TRUE(w.action(PGHWindowAction::DeleteFolder)->isEnabled());
    EXPECT_TRUE(memo.renameSelectedFolder("other"));
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "SELECT folderName FROM MemoFolder WHERE id = 3"), "other");
    EXPECT_EQ(alerts.keys(), QStringList());
}

// A failed upgrade is told when the window shows, with the reason; the store
// is used as it is, so an arrival is filed at once.
TEST_F(WindowTest, AFailedUpgradeIsToldWhenTheWindowShows)
{
    const QString file = dir.filePath("Parley/Message/me@parley.test.sqlite");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    ASSERT_EQ(pigeonhole::test::makeOlderStore(file, 2, 10, 10), "");
    ASSERT_EQ(pigeonhole::test::sqliteTool(file, "CREATE INDEX ChatContextByEnding ON ChatContext(date)"), "");
    delegate->currentUserInfo("me@parley.test");
    ASSERT_TRUE(waitUntil([&] { return !delegate->stores().isUpgrading(); }));
    EXPECT_EQ(alerts.keys(), QStringList()); // the window is hidden
    alerts.answer(0);
    alerts.answer(0);
    delegate->showMyWindow();
    ASSERT_EQ(alerts.keys(), (QStringList{"storeUpgradeError", "Init_Title"}));
    EXPECT_TRUE(alerts.shown.front().message.startsWith(
        parley::KCLocalizedString("storeUpgradeError").section(QLatin1Char('\n'), 0, 0)));
    EXPECT_TRUE(alerts.shown.front().message.contains("ChatContextByEnding already exists"))
        << alerts.shown.front().message.toStdString();
    EXPECT_FALSE(delegate->window().statusBar()->isVisible());

    delegate->insertMemoDocument({{"msgType", "inbox"}, {"subject", "filed at once"}});
    EXPECT_EQ(delegate->heldArrivals(), 0);
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "SELECT count(*) FROM MemoContext WHERE subject = 'filed at once'"), "1");
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "PRAGMA user_version"), "2");
}

// Screenshots of both tabs in Korean and English, for a person to look at.
TEST_F(WindowTest, ScreenshotsOfBothTabs)
{
    login();
    delegate->buddyStatusList({{"ann@parley.test", 1}});
    PGHMemoTreeDataSource &memo = delegate->memoTreeDataSource();
    for (const char *folder : {"Projects", "Family"})
        memo.createFolder(folder);
    const QStringList subjects{"Lunch on Friday?", "금요일 점심 어때요?", "Quarterly report draft", "사진 보내 드려요"};
    for (int i = 0; i < subjects.size(); ++i)
        delegate->insertMemoDocument({{"msgType", "inbox"}, {"subject", subjects.at(i)}, {"unread", i % 2},
                                      {"suser", i % 2 ? "김하늘" : "Ann Lee"}, {"suserID", "ann@parley.test"},
                                      {"ruser", "Me"}, {"ruserID", "me@parley.test"}, {"size", 2 + i},
                                      {"date", QDateTime(QDate(2024, 3, 1 + i), QTime(9, 30 + i), Qt::UTC)},
                                      {"bodyData", "안녕하세요! /^^/\nHow about lunch on Friday at noon? /laugh/"}});
    delegate->chatTreeDataSource().createFolder("Work");
    delegate->insertChatDocument({{"chatUser", QStringList{"Ann Lee", "김하늘"}}, {"chatUserID", "ann@parley.test"},
                                  {"date", QDateTime(QDate(2024, 3, 2), QTime(14, 5), Qt::UTC)}, {"size", 4},
                                  {"bodyData", "Chat with Ann Lee, 2024-03-02\n여행 계획 이야기\n[14:05] Ann: 다음 주에 갈까요?\n[14:06] Me: 좋아요!"}});
    // The emoticons where the messenger's copy puts them.
    const QString emoticons = KCResourcePath("Emoticon");
    QDirIterator files(emoticons, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString from = files.next();
        const QString to = dir.filePath("Parley/Emoticon") + from.mid(emoticons.size());
        QDir().mkpath(QFileInfo(to).path());
        QFile::copy(from, to);
    }
    const QString folder = QDir(QStringLiteral(PARLEY_SCREENSHOT_DIR)).absolutePath();
    QDir().mkpath(folder);
    for (const char *language : {"ko", "en"}) {
        parley::UserDefaults::standardUserDefaults().setObject(QStringList{QLatin1String(language)},
                                                               QLatin1String(parley::kAppleLanguagesKey));
        // A window built in that language.
        delegate.reset();
        delegate = std::make_unique<Pigeonhole_AppDelegate>(*boxCenter, dir.filePath("Parley"));
        delegate->currentUserInfo("me@parley.test");
        delegate->buddyStatusList({{"ann@parley.test", 1}});
        PGHMainWindow &w = delegate->window();
        w.resize(900, 620);
        w.show();
        w.memoView()->table()->selectRow(0);
        w.chatView()->table()->selectRow(0);
        for (int box : {0, 1}) {
            w.changeTab(box);
            QCoreApplication::processEvents();
            const QImage shot = w.grab().toImage();
            ASSERT_FALSE(shot.isNull());
            // Something was drawn: more than a handful of colours.
            QSet<QRgb> colours;
            for (int y = 0; y < shot.height(); y += 7)
                for (int x = 0; x < shot.width(); x += 7)
                    colours.insert(shot.pixel(x, y));
            EXPECT_GT(colours.size(), 8);
            const QString path = QStringLiteral("%1/pigeonhole-%2-%3.png").arg(folder, box ? "chat" : "memo", language);
            EXPECT_TRUE(shot.save(path));
        }
    }
    parley::UserDefaults::standardUserDefaults().setObject(QStringList{"ko"}, QLatin1String(parley::kAppleLanguagesKey));
}

} // namespace
