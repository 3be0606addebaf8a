// The chat window itself: Return sends what the input holds (emoticon
// pictures as their tokens, an animicon picture as its wire form) into the
// room, lines of the room reach the transcript, the banner locks the input,
// drops are taken by kind, and a saved log reaches the message box over the
// bus.

#include "ChatTestSupport.h"

#include "../services/chat/WireCapture.h"

#include "BuddyList/BuddyInviteController.h"
#include "Chat/ChatDocument.h"
#include "Chat/ChatManager.h"
#include "Chat/ChatToolbarConfiguration.h"
#include "ChatManagement/PLChatSessionInfo.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "Conversation/KCWebView.h"
#include "DistributedNotificationCenter.h"
#include "EmoticonManager.h"
#include "KCEmoticonView.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PrivateBus.h"
#include "ScriptedAlerts.h"
#include "Sessions/PLSSSession.h"
#include "Shell/ShellWindows.h"
#include "TestSupport.h"
#include "UserDefaults.h"

#include <QAction>
#include <QDir>
#include <QFontInfo>
#include <QFile>
#include <QLabel>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QToolBar>
#include <QToolButton>

#include <memory>

#include <sys/stat.h>

namespace chat::test {
namespace {

using parley::test::waitUntil;

class ChatDocumentTest : public ::testing::Test
{
protected:
    ChatDocumentTest()
    {
        rooms.setIdentityProvider([] { return PLChatIdentity{QStringLiteral("me@parley.test"), {}}; });
        rooms.setChatWindows(&manager.coreInterface());
        PLMyInfoManager::sharedManager().setProfileValue(QStringLiteral("1"), QStringLiteral("chat_save_opt"));
    }
    ~ChatDocumentTest() override
    {
        rooms.setChatWindows(nullptr);
        forgetSaveOption();
    }

    ChatManager::Account account()
    {
        ChatManager::Account calls;
        calls.createRoom = [this](const QStringList &ids, QString *uuid) {
            asked << ids.join(',');
            *uuid = QStringLiteral("uuid-%1").arg(asked.size());
            return true;
        };
        calls.invite = [this](const QStringList &ids, const QString &key) {
            invited << key + " " + ids.join(',');
            return true;
        };
        calls.upload = [this](const QStringList &paths, const QString &user, const QString &key) {
            uploads << key + " " + user + " " + paths.join(',');
            return true;
        };
        return calls;
    }
    // A window on invited room "R1" that `member` joined.
    ChatDocument *windowInRoom(const char *member)
    {
        rooms.invitedToChat({{QStringLiteral("ip"), QStringLiteral("127.0.0.1")},
                             {QStringLiteral("key"), QStringLiteral("R1")},
                             {QStringLiteral("port"), capture.port()}});
        PLChatSessionInfo *info = rooms.sessionInfo(QStringLiteral("R1"));
        if (!info || !waitUntil([&] { return info->session() && info->session()->isConnected(); }))
            return nullptr;
        session = info->session();
        session->dataReceived("JOIN 0 " + id(member).toUtf8() + " n m\r\nMESG 0 " + id(member).toUtf8()
                              + " MSG Gulim%09255%09%09first%20line\r\n");
        return manager.documents().value(0);
    }
    static QString transcript(ChatDocument *window) { return window->transcript()->toPlainText(); }

    ChatWorld world;
    parley::test::ScriptedAlerts alerts;
    parley::test::WireCapture capture;
    NotificationCenter center;
    PLChatSessionManager rooms{center};
    QStringList asked, invited, uploads;
    ChatManager manager{rooms, center, account()};
    PLSSSession *session = nullptr;
};

TEST_F(ChatDocumentTest, ALineOfTheRoomShowsAndReturnSendsTheInputIntoTheRoom)
{
    world.buddy("b1");
    world.setPreference("showMessage", false);
    ChatDocument *window = windowInRoom("b1");
    ASSERT_TRUE(window);
    window->show();
    EXPECT_TRUE(transcript(window).contains(QLatin1String("first line"))) << transcript(window).toStdString();
    EXPECT_TRUE(transcript(window).contains(QLatin1String("Name b1"))) << "the name line";

    QTest::keyClicks(window->input(), QStringLiteral("hello\tthere"));
    QTest::keyClick(window->input(), Qt::Key_Return);
    EXPECT_TRUE(window->input()->document()->isEmpty()) << "the input is cleared after sending";
    EXPECT_TRUE(transcript(window).contains(QLatin1String("hello"))) << transcript(window).toStdString();
    ASSERT_TRUE(waitUntil([&] { return capture.received.contains("hello"); }));
    EXPECT_TRUE(capture.received.contains("MESG")) << capture.received.constData();
    EXPECT_TRUE(asked.isEmpty()) << "a live room needs no new one";

    // Typing flags and an empty Return that sends nothing.
    const qsizetype sent = capture.received.size();
    QTest::keyClick(window->input(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(capture.received.size(), sent);
}

TEST_F(ChatDocumentTest, TheInputsFontIsKeptForTheNextWindowAndTheTranscriptTakesItsSize)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QString nameKey = QStringLiteral("ChatFontName"), sizeKey = QStringLiteral("ChatFontSize");
    defaults.removeObjectForKey(nameKey);
    defaults.removeObjectForKey(sizeKey);
    world.buddy("b1");
    world.buddy("b2");
    world.setPreference("showMessage", false);
    ChatDocument *window = windowInRoom("b1");
    ASSERT_TRUE(window);
    QFont font = window->input()->font();
    font.setFamily(QStringLiteral("DejaVu Serif"));
    font.setPointSizeF(15);
    window->input()->setFont(font);
    QTest::keyClicks(window->input(), QStringLiteral("x"));
    EXPECT_EQ(defaults.stringForKey(nameKey), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(defaults.objectForKey(sizeKey).toDouble(), 15.0);
    const double pixels = 15.0 * window->input()->logicalDpiY() / 72; // 15 points
    EXPECT_EQ(window->transcript()->appliedFontSize(), pixels);

    ChatDocument *next = manager.openChatRoom({id("b2")});
    ASSERT_TRUE(next);
    EXPECT_EQ(next->input()->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(next->input()->font().pointSizeF(), 15.0);
    EXPECT_EQ(next->transcript()->appliedFontSize(), pixels);
    defaults.removeObjectForKey(nameKey);
    defaults.removeObjectForKey(sizeKey);
}

// The transcript's lines are drawn at the input's size from the start: the
// first line the user types or sends changes the size of none of them.
TEST_F(ChatDocumentTest, EarlierLinesKeepTheirSizeWhenTheUserFirstSends)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(QStringLiteral("ChatFontName"));
    defaults.removeObjectForKey(QStringLiteral("ChatFontSize"));
    world.buddy("b1");
    world.setPreference("showMessage", false);
    ChatDocument *window = windowInRoom("b1");
    ASSERT_TRUE(window);
    window->show();
    QCoreApplication::processEvents();
    KCWebView *view = window->transcript();
    const auto firstLine = [view] {
        const QTextCursor line = view->document()->find(QStringLiteral("first line"));
        return std::pair(QFontInfo(line.charFormat().font()).pixelSize(), view->cursorRect(line).height());
    };
    const auto before = firstLine();
    EXPECT_EQ(before.first, QFontInfo(window->input()->font()).pixelSize()) << "the input's size";

    QTest::keyClicks(window->input(), QStringLiteral("hello"));
    QTest::keyClick(window->input(), Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_TRUE(transcript(window).contains(QLatin1String("hello")));
    EXPECT_EQ(firstLine(), before);
    const QTextCursor sent = view->document()->find(QStringLiteral("hello"));
    EXPECT_EQ(QFontInfo(sent.charFormat().font()).pixelSize(), before.first);
}

// The header's home button opens the selected buddy's sister-service page,
// and only a buddy with a member number there has one.
class MininookRecorder final : public shell::BridgePage
{
public:
    void bridgePageCall(const QString &, const QString &, const QString &, int) override {}
    void removeBridgeFile() override {}
    void showCertFAQ() override {}
    void showVelaJoin(bool) override {}
    void showVelaFindID(bool) override {}
    void showBuddyMininook(const PLBuddyPtr &buddy) override { shown << buddy->velaID(); }
    QStringList shown;
};

TEST_F(ChatDocumentTest, TheHeadersHomeButtonShowsOnlyForABuddyWithASisterServicePage)
{
    MininookRecorder bridge;
    shell::ShellWindows::setBridgePage(&bridge);
    PLBuddyPtr withPage = world.buddy("b1");
    withPage->setOrchardCMN(QStringLiteral("100042"));
    world.buddy("b2");

    ChatDocument *window = manager.openChatRoom({id("b1")});
    ASSERT_TRUE(window);
    window->show();
    EXPECT_TRUE(window->orchardButton()->isVisible());
    EXPECT_EQ(window->orchardButton()->toolTip(), QStringLiteral("Visit Name b1's home page"));
    window->orchardButton()->click();
    EXPECT_EQ(bridge.shown, QStringList{id("b1")});

    ChatDocument *other = manager.openChatRoom({id("b2")});
    ASSERT_TRUE(other);
    other->show();
    EXPECT_FALSE(other->orchardButton()->isVisible()) << "no member number, no page";
    shell::ShellWindows::setBridgePage(nullptr);
}

// The toolbar's arrangement, chosen from its context menu, is what every
// later chat window opens with.
TEST_F(ChatDocumentTest, TheToolbarsItemsAndStyleChosenInItsMenuAreKeptForEveryWindow)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QString key = QLatin1String(ChatToolbarConfiguration::kDefaultsKey);
    defaults.removeObjectForKey(key);
    world.buddy("b1");
    world.buddy("b2");
    ChatDocument *window = manager.openChatRoom({id("b1")});
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->sendFileAction()->isVisible());
    EXPECT_EQ(window->toolbar()->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);

    const auto choose = [&](const QString &title) {
        QMenu *menu = window->toolbarMenu();
        const QList<QAction *> actions = menu->actions();
        const auto found = std::find_if(actions.begin(), actions.end(),
                                        [&](QAction *a) { return a->text() == title; });
        ASSERT_NE(found, actions.end()) << title.toStdString();
        (*found)->trigger();
        delete menu;
    };
    choose(QStringLiteral("Send Files"));
    choose(QStringLiteral("Text Only"));
    EXPECT_FALSE(window->sendFileAction()->isVisible());
    EXPECT_TRUE(window->inviteAction()->isVisible());
    EXPECT_EQ(window->toolbar()->toolButtonStyle(), Qt::ToolButtonTextOnly);

    {
        // The last item shown cannot be hidden: an empty toolbar would leave nothing to right-click.
        std::unique_ptr<QMenu> menu(window->toolbarMenu());
        EXPECT_FALSE(menu->actions().value(0)->isEnabled()) << menu->actions().value(0)->text().toStdString();
        EXPECT_TRUE(menu->actions().value(1)->isEnabled());
        ChatToolbarConfiguration configuration = ChatToolbarConfiguration::load();
        configuration.setShown(QStringLiteral("PLInviteToolbarItemIdentifier"), false);
        EXPECT_TRUE(configuration.isShown(QStringLiteral("PLInviteToolbarItemIdentifier")));
    }

    ChatDocument *next = manager.openChatRoom({id("b2")});
    ASSERT_TRUE(next);
    EXPECT_FALSE(next->sendFileAction()->isVisible());
    EXPECT_EQ(next->toolbar()->toolButtonStyle(), Qt::ToolButtonTextOnly);
    EXPECT_EQ(defaults.dictionaryForKey(key).value(QStringLiteral("TB Item Identifiers")).toStringList(),
              QStringList{QStringLiteral("PLInviteToolbarItemIdentifier")});

    choose(QStringLiteral("Send Files"));
    EXPECT_TRUE(window->sendFileAction()->isVisible()) << "shown again, in its place";
    EXPECT_EQ(ChatToolbarConfiguration::load().isShown(QStringLiteral("PLFileTransToolbarItemIdentifier")), true);
    defaults.removeObjectForKey(key);
}

TEST(ChatToolbarConfiguration, ADamagedEntryHidesNothingItDoesNotName)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QString key = QLatin1String(ChatToolbarConfiguration::kDefaultsKey);
    struct Case
    {
        const char *what;
        QVariant stored;
        QStringList shown;
        ChatToolbarConfiguration::DisplayMode mode;
    };
    const QStringList all = ChatToolbarConfiguration::allItems();
    const Case cases[] = {
        {"nothing stored", QVariant(), all, ChatToolbarConfiguration::Default},
        {"not a dictionary", QStringLiteral("junk"), all, ChatToolbarConfiguration::Default},
        {"items not a list, mode out of range",
         QVariantMap{{"TB Item Identifiers", QStringLiteral("PLInviteToolbarItemIdentifier")}, {"TB Display Mode", 9}},
         all, ChatToolbarConfiguration::Default},
        {"unknown items and a known one, mode as text",
         QVariantMap{{"TB Item Identifiers", QStringList{"Other", "PLFileTransToolbarItemIdentifier"}},
                     {"TB Display Mode", QStringLiteral("2")}},
         QStringList{"PLFileTransToolbarItemIdentifier"}, ChatToolbarConfiguration::IconOnly},
        {"an empty list shows both", QVariantMap{{"TB Item Identifiers", QVariantList{}}}, all,
         ChatToolbarConfiguration::Default},
        {"only unknown items", QVariantMap{{"TB Item Identifiers", QStringList{"Other"}}}, all,
         ChatToolbarConfiguration::Default},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        defaults.setObject(c.stored, key);
        const ChatToolbarConfiguration configuration = ChatToolbarConfiguration::load();
        QStringList shown;
        for (const QString &item : all) {
            if (configuration.isShown(item))
                shown << item;
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(configuration.displayMode(), c.mode);
    }
    defaults.removeObjectForKey(key);
}

TEST_F(ChatDocumentTest, TheMessageTextHasEmoticonTokensAndTheAnimiconsWireForm)
{
    const QString token = EmoticonManager::sharedManager().emoticonArray().value(0);
    ASSERT_FALSE(token.isEmpty());
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("a "));
    QTextImageFormat emoticon;
    emoticon.setName(QStringLiteral("/nowhere/e.png"));
    emoticon.setProperty(EmoticonManager::kTokenProperty, token);
    cursor.insertImage(emoticon);
    cursor.insertText(QStringLiteral(" b\nc "));
    QTextImageFormat animicon;
    animicon.setName(QStringLiteral("/cache/k_001.gif"));
    cursor.insertImage(animicon);
    EXPECT_EQ(ChatDocument::messageTextForDocument(document, QStringLiteral("<ANICO|k001|k_001.bmp|Wave|/ANICO>")),
              QStringLiteral("a ") + token + QStringLiteral(" b\nc <ANICO|k001|k_001.bmp|Wave|/ANICO>"));
    EXPECT_EQ(ChatDocument::messageTextForDocument(document, QString()), QStringLiteral("a ") + token + " b\nc ");
}

TEST_F(ChatDocumentTest, TheBannerLocksTheInputWhileTheOnlyBuddyIsOffline)
{
    PLBuddyPtr buddy = world.buddy("b1");
    ChatDocument *window = manager.openChatRoom({id("b1")});
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->banner()->isVisible());
    buddy->setStatus(0);
    center.post(QLatin1String(notifications::kBuddyManagerBuddyUpdated), nullptr, {});
    EXPECT_TRUE(window->banner()->isVisible());
    EXPECT_EQ(window->banner()->emoticonString(), QStringLiteral("Name b1 is ") + BuddyString::buddyStatusStringWithStatus(0)
                                            + QStringLiteral(" right now."));
    EXPECT_TRUE(window->input()->isReadOnly());
    EXPECT_FALSE(window->emoticonButton()->isEnabled());
    EXPECT_FALSE(window->inviteAction()->isEnabled());
    QTest::keyClicks(window->input(), QStringLiteral("ignored"));
    window->sendInput();
    EXPECT_FALSE(transcript(window).contains(QLatin1String("ignored")));

    buddy->setStatus(1);
    center.post(QLatin1String(notifications::kBuddyManagerBuddyUpdated), nullptr, {});
    EXPECT_FALSE(window->banner()->isVisible());
    EXPECT_FALSE(window->input()->isReadOnly());
    EXPECT_TRUE(window->inviteAction()->isEnabled());
    EXPECT_EQ(window->header()->emoticonString(), QStringLiteral("Name b1"));
}

TEST_F(ChatDocumentTest, DropsOfRegularFilesGoToTheMembersAndOthersAreRefused)
{
    world.buddy("b1");
    world.setPreference("showMessage", false);
    ChatDocument *window = windowInRoom("b1");
    ASSERT_TRUE(window);
    window->show();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a file.txt"));
    QFile(file).open(QIODevice::WriteOnly);
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    struct Case {
        const char *name;
        QString path;
        bool accepted;
    } cases[] = {{"a regular file", file, true}, {"a folder", dir.path(), false}, {"a FIFO", fifo, false}};
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.name);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(tc.path)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        EXPECT_EQ(enter.isAccepted(), tc.accepted);
        if (!tc.accepted)
            continue;
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &drop);
    }
    EXPECT_EQ(uploads, QStringList{QStringLiteral("R1 ") + id("b1") + QStringLiteral(" ") + file});
}

TEST_F(ChatDocumentTest, ClosingSavesTheLogForTheUploadAndTellsTheMessageBoxOverTheBus)
{
    if (!parley::test::PrivateBus::available())
        GTEST_SKIP() << "no dbus-daemon";
    parley::test::PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    DistributedNotificationCenter poster(bus.connect(QStringLiteral("chat-poster")));
    DistributedNotificationCenter spy(bus.connect(QStringLiteral("chat-spy")));
    QList<QVariantMap> records;
    spy.addObserver(QLatin1String(notifications::kSaveChatDocument),
                    [&](const DistributedNotification &note) { records << note.userInfo; });
    manager.setPlugInCenter(&poster);

    world.buddy("b1");
    world.setPreference("showMessage", false);
    PLMyInfoManager::sharedManager().setProfileValue(QStringLiteral("0"), QStringLiteral("chat_save_opt"));
    ChatDocument *window = windowInRoom("b1");
    ASSERT_TRUE(window);
    window->show();
    QTest::keyClicks(window->input(), QStringLiteral("-----------------------------93e41c6e209110 typed"));
    window->sendInput();
    window->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(manager.documents().isEmpty());
    EXPECT_EQ(manager.pendingSaves(), 1) << "the upload body waits for its tick";
    ASSERT_TRUE(waitUntil([&] { return !records.isEmpty(); }));
    const QVariantMap record = records.first();
    EXPECT_EQ(record.value(QStringLiteral("chatUserID")).toStringList(), QStringList{id("b1")});
    EXPECT_EQ(record.value(QStringLiteral("chatUser")).toStringList(), QStringList{QStringLiteral("Name b1")});
    EXPECT_TRUE(record.value(QStringLiteral("bodyData")).toString().contains(QLatin1String("first line")));
    EXPECT_GE(record.value(QStringLiteral("size")).toInt(), 1);
    // The closed window left its room.
    EXPECT_FALSE(rooms.isValidSessionKey(QStringLiteral("R1")));
}

TEST_F(ChatDocumentTest, SaveChatInTheWindowsFileMenuHandsTheLogToTheSaveQueue)
{
    world.buddy("b1");
    world.buddy("b2");
    world.setPreference("showMessage", false);
    ChatDocument *window = windowInRoom("b1");
    ASSERT_TRUE(window);
    window->show();
    QAction *save = window->saveChatMenuAction();
    ASSERT_TRUE(save);
    EXPECT_EQ(save->text(), KCLocalizedString(QStringLiteral("SaveChat")));
    EXPECT_EQ(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_FALSE(window->toolbar()->actions().contains(save)) << "the toolbar holds invite and send file only";
    QMenu *fileMenu = nullptr;
    for (QAction *item : window->menuBar()->actions())
        if (item->menu() && item->menu()->actions().contains(save))
            fileMenu = item->menu();
    ASSERT_TRUE(fileMenu);
    EXPECT_EQ(fileMenu->title(), KCLocalizedString(QStringLiteral("MenuFile")));

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->input(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(manager.pendingSaves(), 1) << "Ctrl+S saved the chat";
    EXPECT_TRUE(window->saveChatAction());
    EXPECT_EQ(manager.pendingSaves(), 2);

    // A window that showed no line has nothing to save and says so.
    ChatDocument *empty = manager.openChatRoom({id("b2")});
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->saveChatAction());
    EXPECT_EQ(manager.pendingSaves(), 2);
}

TEST_F(ChatDocumentTest, TheMainWindowsSaveChatActsOnTheChatWindowActiveLast)
{
    world.buddy("b1");
    world.setPreference("showMessage", false);
    shell::ShellWindows::setChatManager(&manager);
    ChatDocument *window = windowInRoom("b1");
    ASSERT_TRUE(window);
    window->show();
    EXPECT_EQ(manager.lastActiveChatDocument(), nullptr) << "never active yet";
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    // The main window comes forward to open its menu.
    QWidget mainWindow;
    mainWindow.show();
    mainWindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
    EXPECT_EQ(shell::ShellWindows::chatManager().lastActiveChatDocument(), window);
    window->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(shell::ShellWindows::chatManager().lastActiveChatDocument(), nullptr);
    shell::ShellWindows::setChatManager(nullptr);
}

TEST_F(ChatDocumentTest, TheInviteButtonOpensTheBuddyListsInvitePanelOfOnlineBuddies)
{
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    buddies.createGroupForID(QStringLiteral("1"))->setGroupName(QStringLiteral("Friends"));
    for (const auto &[cmn, status] : {std::pair{"b1", 1}, std::pair{"b2", 1}, std::pair{"b3", 0}}) {
        world.buddy(cmn, status);
        buddies.addBuddy(QLatin1String(cmn), QStringLiteral("1"));
    }
    world.setPreference("showMessage", false);
    ChatDocument *window = windowInRoom("b1");
    ASSERT_TRUE(window);
    window->show();
    window->inviteAction()->trigger();
    auto *panel = window->findChild<BuddyInviteController *>();
    ASSERT_TRUE(panel) << "the panel with groups and search";
    EXPECT_TRUE(panel->isVisible());
    QStringList offered;
    for (int row = 0; row < panel->searchTableView()->model()->rowCount(); ++row)
        offered << panel->searchTableView()->model()->index(row, 0).data().toString();
    EXPECT_EQ(offered.size(), 2) << "only buddies who are online: " << offered.join(',').toStdString();
    EXPECT_FALSE(offered.join(',').contains(QLatin1String("b3")));
    for (int row = 0; row < offered.size(); ++row)
        if (offered[row].contains(QLatin1String("b2")))
            panel->searchTableView()->selectRow(row);
    panel->insertBuddy();
    panel->okButton()->click();
    EXPECT_EQ(invited, QStringList{QStringLiteral("R1 ") + id("b2")});
}

TEST_F(ChatDocumentTest, ANewChatAskedForByAnotherProcessOpensTheInvitePanel)
{
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    buddies.createGroupForID(QStringLiteral("1"))->setGroupName(QStringLiteral("Friends"));
    world.buddy("b1");
    buddies.addBuddy(QStringLiteral("b1"), QStringLiteral("1"));
    manager.conversationWindowRequested(QString());
    BuddyInviteController *panel = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<BuddyInviteController *>(top); found && found->isVisible())
            panel = found;
    ASSERT_TRUE(panel);
    ASSERT_EQ(panel->searchTableView()->model()->rowCount(), 1);
    panel->searchTableView()->selectRow(0);
    panel->insertBuddy();
    panel->okButton()->click();
    EXPECT_EQ(asked, QStringList{id("b1")}) << "a room with the chosen buddy";
    EXPECT_EQ(manager.documents().size(), 1);
}

} // namespace
} // namespace chat::test
