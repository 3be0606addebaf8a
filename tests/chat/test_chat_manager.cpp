// The chat-window manager: which window a chat with buddies finds, where a
// new window goes, the text colour's wire form, the paced log uploads, and
// the rooms' creation and activation re-keying and attaching real windows,
// with rooms of a chat-session manager connected to a stand-in switchboard.

#include "ChatTestSupport.h"

#include "../services/chat/WireCapture.h"

#include "Chat/ChatDocument.h"
#include "Chat/ChatManager.h"
#include "Chat/ChatWindowPlacement.h"
#include "ChatManagement/ChatManagerInterface.h"
#include "ChatManagement/PLChatSessionInfo.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Sessions/PLSSSession.h"
#include "Shell/ShellWindows.h"
#include "TestSupport.h"

#include <QColor>
#include <QCoreApplication>

namespace chat::test {
namespace {

namespace n = parley::notifications;
using parley::test::waitUntil;

TEST(ChatWindowPlacementTest, NewWindowsStepRightAndDownAndRestartAtTheTopLeft)
{
    struct Case {
        const char *name;
        std::optional<QRectF> saved;
        QRectF visible; // y-up
        int open;
        QPointF expected;
    } cases[] = {
        {"centred", std::nullopt, {0, 0, 1280, 800}, 0, {491, 219.5}},
        {"three open", std::nullopt, {0, 0, 1280, 800}, 3, {551, 147.5}},
        {"centred in a visible frame that starts past a panel", std::nullopt, {0, 40, 1280, 760}, 0, {491, 239.5}},
        {"the saved frame", QRectF(100, 300, 298, 361), {0, 0, 1280, 800}, 1, {120, 276}},
        {"off the bottom restarts at the top left", QRectF(100, 10, 298, 361), {0, 0, 1280, 800}, 1, {0, 439}},
        {"off the right restarts at the top left", QRectF(980, 300, 298, 361), {0, 0, 1280, 800}, 1, {0, 439}},
        {"the restart goes on stepping", QRectF(980, 300, 298, 361), {0, 0, 1280, 800}, 2, {20, 415}},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.name);
        const QRectF frame = ChatWindowPlacement::availableRecvMessageWindowRect(tc.saved, tc.visible, tc.open);
        EXPECT_EQ(frame.topLeft(), tc.expected);
        EXPECT_EQ(frame.size(), QSizeF(298, 361));
    }
    // Qt's top-left screen coordinates and back.
    const QRectF qt = ChatWindowPlacement::toScreen({491, 219.5, 298, 361}, 800);
    EXPECT_EQ(qt, QRectF(491, 219.5, 298, 361));
    EXPECT_EQ(ChatWindowPlacement::toScreen({0, 439, 298, 361}, 800).topLeft(), QPointF(0, 0));
    EXPECT_EQ(ChatWindowPlacement::fromScreen(ChatWindowPlacement::toScreen({7, 9, 10, 20}, 600), 600),
              QRectF(7, 9, 10, 20));
    EXPECT_EQ(ChatWindowPlacement::rectFromString(ChatWindowPlacement::stringFromRect({1.5, 2, 298, 361})),
              QRectF(1.5, 2, 298, 361));
    for (const char *bad : {"", "{{1, 2}, {0, 5}}", "{1, 2, 3, 4}", "{{a, 2}, {3, 4}}"})
        EXPECT_FALSE(ChatWindowPlacement::rectFromString(QLatin1String(bad))) << bad;
}

TEST(ChatColourTest, TheWireColourIsBlueGreenRedWithRedInTheLowByte)
{
    struct Case {
        QColor color;
        const char *expected;
    } cases[] = {
        {QColor::fromRgbF(1.0f, 0.5f, 0.0f), "32767"},
        {QColor::fromRgbF(0.0f, 0.0f, 1.0f), "16711680"},
        {QColor::fromRgbF(0.0f, 0.0f, 0.0f), "0"},
        {QColor::fromRgbF(1.0f, 1.0f, 1.0f), "16777215"},
    };
    for (const Case &tc : cases)
        EXPECT_EQ(ChatManager::colorString(tc.color), QLatin1String(tc.expected)) << tc.expected;

    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(QStringLiteral("ChatFontColorG"));
    EXPECT_EQ(ChatManager::fontColorString(), QStringLiteral("0")) << "a missing component is black";
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("ChatFontColorR")).toDouble(), 0.0);
    EXPECT_TRUE(defaults.objectForKey(QStringLiteral("ChatFontColorG")).isValid()) << "all three written";
    ChatManager::setFontColor(QColor::fromRgbF(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(ChatManager::fontColorString(), QStringLiteral("16711680"));
    ChatManager::setFontColor(Qt::black);
}

// A manager on rooms of its own; the account hands out "uuid-1", "uuid-2", ...
class ChatManagerTest : public ::testing::Test
{
protected:
    ChatManagerTest()
    {
        UserDefaults::standardUserDefaults().removeObjectForKey(QLatin1String(ChatManager::kWindowFrameKey));
        rooms.setIdentityProvider([] {
            return PLChatIdentity{QStringLiteral("me@parley.test"), {}};
        });
        rooms.setChatWindows(&manager.coreInterface());
    }
    ~ChatManagerTest() override { rooms.setChatWindows(nullptr); }
    ChatManager::Account account()
    {
        ChatManager::Account calls;
        calls.createRoom = [this](const QStringList &ids, QString *uuid) {
            asked << ids.join(',');
            if (!grantRooms)
                return false;
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
    // An invited room "key" on the stand-in switchboard.
    PLSSSession *room(const QString &key)
    {
        rooms.invitedToChat({{QStringLiteral("ip"), QStringLiteral("127.0.0.1")},
                             {QStringLiteral("key"), key},
                             {QStringLiteral("port"), capture.port()}});
        PLChatSessionInfo *info = rooms.sessionInfo(key);
        EXPECT_TRUE(info);
        EXPECT_TRUE(waitUntil([&] { return info && info->session() && info->session()->isConnected(); }));
        return info ? info->session() : nullptr;
    }

    ChatWorld world;
    parley::test::WireCapture capture;
    NotificationCenter center;
    PLChatSessionManager rooms{center};
    bool grantRooms = true;
    QStringList asked, invited, uploads;
    ChatManager manager{rooms, center, account()};
};

TEST_F(ChatManagerTest, AChatWithABuddyOpensOneWindowUnderTheProvisionalKeyAndFindsItAgain)
{
    world.buddy("b1");
    world.buddy("b2");
    ChatDocument *window = manager.openChatRoom({id("b1")});
    ASSERT_TRUE(window);
    EXPECT_EQ(asked, QStringList{id("b1")});
    EXPECT_EQ(manager.sessionKeys(), QStringList{QStringLiteral("uuid-1")});
    EXPECT_EQ(window->sessionKey(), QStringLiteral("uuid-1"));
    EXPECT_EQ(window->conversation().lastBuddyID(), id("b1"));
    EXPECT_EQ(window->conversation().selectedBuddyID(), id("b1"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Chat with Name b1"));
    EXPECT_TRUE(window->isVisible());

    // Before the buddy joined, by the awaited buddy; [b1, b2] too (its first).
    EXPECT_EQ(manager.openChatRoom({id("b1")}), window);
    EXPECT_EQ(manager.openChatRoom({id("b1"), id("b2")}), window);
    EXPECT_EQ(asked.size(), 1);
    // The core's rule is the members alone: nobody is in the room yet.
    EXPECT_FALSE(manager.coreInterface().chatDocumentForBuddyIDs({id("b1")}));
    EXPECT_FALSE(manager.chatDocumentForBuddyIDs({}));

    // The server names the room: the window is re-keyed.
    center.post(QLatin1String(n::kChatSessionCreated), nullptr,
                {{QStringLiteral("sessionUUID"), QStringLiteral("uuid-1")}, {QStringLiteral("sessionKey"), QStringLiteral("R1")}});
    EXPECT_EQ(manager.sessionKeys(), QStringList{QStringLiteral("R1")});
    EXPECT_EQ(window->sessionKey(), QStringLiteral("R1"));
    EXPECT_EQ(manager.chatDocumentForSessionKey(QStringLiteral("R1")), window);
    // One for a window closed meanwhile is ignored.
    center.post(QLatin1String(n::kChatSessionCreated), nullptr,
                {{QStringLiteral("sessionUUID"), QStringLiteral("uuid-9")}, {QStringLiteral("sessionKey"), QStringLiteral("R9")}});
    EXPECT_EQ(manager.sessionKeys(), QStringList{QStringLiteral("R1")});
}

TEST_F(ChatManagerTest, NoWindowForBuddiesWhoCannotChatOrWhenNoRoomCanBeAskedFor)
{
    world.buddy("off", 0);
    world.buddy("blocked", 1, "1110");
    world.buddy("on");
    EXPECT_FALSE(manager.openChatRoom({id("off")}));
    EXPECT_FALSE(manager.openChatRoom({id("blocked"), id("stranger")}));
    EXPECT_TRUE(asked.isEmpty());
    grantRooms = false;
    EXPECT_FALSE(manager.openChatRoom({id("on")}));
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(manager.documents().isEmpty());
}

TEST_F(ChatManagerTest, WindowsArePlacedOneStepApartAndTheLastClosedAloneIsRemembered)
{
    world.buddy("b1");
    world.buddy("b2");
    const QRect first = manager.newWindowFrame();
    ChatDocument *one = manager.openChatRoom({id("b1")});
    ASSERT_TRUE(one);
    EXPECT_EQ(manager.newWindowFrame().topLeft(), first.topLeft() + QPoint(20, 24));
    ChatDocument *two = manager.openChatRoom({id("b2")});
    ASSERT_TRUE(two);

    // Closing one of two remembers nothing; the last one alone its frame.
    two->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(UserDefaults::standardUserDefaults().objectForKey(QLatin1String(ChatManager::kWindowFrameKey)).isValid());
    one->move(one->x() + 33, one->y() + 10);
    const QPoint where = one->geometry().topLeft();
    one->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(manager.documents().isEmpty());
    EXPECT_TRUE(UserDefaults::standardUserDefaults().objectForKey(QLatin1String(ChatManager::kWindowFrameKey)).isValid());
    EXPECT_EQ(manager.newWindowFrame().topLeft(), where);
}

TEST_F(ChatManagerTest, SavedLogsArePostedOnePerTickOldestFirst)
{
    QStringList posted;
    center.addObserver(QLatin1String(n::kSaveChatMessage), nullptr,
                       [&](const Notification &note) { posted << note.userInfo.value(QStringLiteral("content")).toString(); });
    manager.setSaveInterval(20);
    manager.saveChatMessages();
    EXPECT_TRUE(posted.isEmpty()) << "an empty buffer posts nothing";
    for (const char *body : {"one", "two", "three", "four", "five"})
        manager.addSaveBuffer(QLatin1String(body));
    manager.saveChatMessages();
    EXPECT_EQ(posted, QStringList{QStringLiteral("one")}) << "one body per tick";
    EXPECT_EQ(manager.pendingSaves(), 4);
    ASSERT_TRUE(waitUntil([&] { return posted.size() == 5; }));
    EXPECT_EQ(posted, (QStringList{"one", "two", "three", "four", "five"}));
}

TEST_F(ChatManagerTest, ARoomReopenedForAWindowReKeysItAndAFailedOneChangesNothing)
{
    world.buddy("b1");
    ChatDocument *window = manager.openChatRoom({id("b1")});
    ASSERT_TRUE(window);
    EXPECT_TRUE(manager.openChatRoomWithDoc(window, {id("b1")}, QStringLiteral("uuid-1")));
    EXPECT_EQ(manager.sessionKeys(), QStringList{QStringLiteral("uuid-2")});
    EXPECT_EQ(window->sessionKey(), QStringLiteral("uuid-2"));
    grantRooms = false;
    EXPECT_FALSE(manager.openChatRoomWithDoc(window, {id("b1")}, QStringLiteral("uuid-2")));
    EXPECT_EQ(window->sessionKey(), QStringLiteral("uuid-2"));
    EXPECT_FALSE(manager.openChatRoomWithDoc(nullptr, {id("b1")}, QStringLiteral("uuid-2")));
    EXPECT_FALSE(manager.openChatRoomWithDoc(window, {}, QStringLiteral("uuid-2")));
}

TEST_F(ChatManagerTest, AFirstMessageOpensAHiddenWindowThatReceivesItAndLaterOnesFindIt)
{
    world.buddy("b1");
    world.setPreference("showMessage", false);
    PLSSSession *session = room(QStringLiteral("R1"));
    ASSERT_TRUE(session);
    session->dataReceived("JOIN 0 " + id("b1").toUtf8() + " n m\r\nMESG 0 " + id("b1").toUtf8()
                          + " MSG Gulim%090%09%09hello\r\n");
    ASSERT_EQ(manager.documents().size(), 1);
    ChatDocument *window = manager.documents().first();
    EXPECT_EQ(manager.sessionKeys(), QStringList{QStringLiteral("R1")});
    EXPECT_FALSE(window->isVisible()) << "a message shows no window by itself";
    EXPECT_EQ(window->conversation().selectedBuddyID(), id("b1"));
    EXPECT_TRUE(window->getChatText().contains(QLatin1String("hello"))) << window->getChatText().toStdString();
    // The chat with the buddy is this window now, also by the core's rule.
    EXPECT_EQ(manager.openChatRoom({id("b1")}), window);
    EXPECT_TRUE(manager.coreInterface().chatDocumentForBuddyIDs({id("b1")}));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(manager.getChatText(QStringLiteral("R1")), window->getChatText());
    EXPECT_TRUE(manager.getChatText(QStringLiteral("nope")).isNull());

    // The transfer window's lines reach the window of the room.
    manager.addFileMessage(QStringLiteral("R1"), QStringLiteral("a%@b <i>"), 1);
    EXPECT_TRUE(window->getChatText().endsWith(QLatin1String("a%@b <i>")));
    manager.addFileMessage(QStringLiteral("R9"), QStringLiteral("lost"), 1);
    EXPECT_FALSE(window->getChatText().contains(QLatin1String("lost")));
}

// Pop-up notices as the shell would show them.
class RecordingToasters final : public parley::shell::ToasterManager
{
public:
    void showToasterWindow(const QString &type, const QString &, const QString &text, QWidget *, const QString &,
                           const QVariantMap &) override
    {
        shown << type + " " + text;
    }
    void showToasterWindow(const QString &type, const QVariantMap &) override { shown << type; }
    bool isToastWindow(const QWidget *) override { return false; }
    void reset() override {}
    QStringList shown;
};

TEST_F(ChatManagerTest, AFirstMessageRaisesOnePopUpNotice)
{
    RecordingToasters toasters;
    parley::shell::ShellWindows::setToasterManager(&toasters);
    world.buddy("b1");
    world.setPreference("showMessage", true);
    PLSSSession *session = room(QStringLiteral("R1"));
    ASSERT_TRUE(session);
    session->dataReceived("JOIN 0 " + id("b1").toUtf8() + " n m\r\nMESG 0 " + id("b1").toUtf8()
                          + " MSG Gulim%090%09%09hello\r\n");
    ASSERT_EQ(manager.documents().size(), 1);
    // The window's own notice for an unseen line goes to the desktop, not to a second pop-up.
    EXPECT_EQ(toasters.shown, QStringList{QStringLiteral("CHAT hello")});
    parley::shell::ShellWindows::setToasterManager(nullptr);
}

TEST_F(ChatManagerTest, AnInvitedRoomWithTheMembersOfAnOpenWindowIsTakenOverByIt)
{
    world.buddy("b1");
    PLSSSession *first = room(QStringLiteral("R1"));
    ASSERT_TRUE(first);
    first->dataReceived("JOIN 0 " + id("b1").toUtf8() + " n m\r\nMESG 0 " + id("b1").toUtf8() + " MSG hi\r\n");
    ASSERT_EQ(manager.documents().size(), 1);
    ChatDocument *window = manager.documents().first();

    // A second room with the same member list: recreation, same window.
    PLSSSession *second = room(QStringLiteral("R2"));
    ASSERT_TRUE(second);
    second->dataReceived("USER 1 1 1 " + id("b1").toUtf8() + " n m\r\n");
    EXPECT_EQ(manager.documents().size(), 1);
    EXPECT_EQ(window->sessionKey(), QStringLiteral("R2"));
    EXPECT_EQ(manager.sessionKeys(), QStringList{QStringLiteral("R2")});
    second->dataReceived("MESG 0 " + id("b1").toUtf8() + " MSG again\r\n");
    EXPECT_TRUE(window->getChatText().contains(QLatin1String("again")));
}

TEST_F(ChatManagerTest, AConversationRequestFromAnotherProcessOpensOnlyABuddysChat)
{
    world.buddy("b1");
    QStringList panels;
    manager.setInvitePanel([&](QWidget *, std::function<void(QStringList)> done) {
        panels << QStringLiteral("panel");
        done({id("b1")});
    });
    manager.conversationWindowRequested(QStringLiteral("stranger@parley.test"));
    manager.conversationWindowRequested(QStringLiteral("../../etc"));
    EXPECT_TRUE(manager.documents().isEmpty());
    EXPECT_TRUE(panels.isEmpty());
    manager.conversationWindowRequested(id("b1"));
    EXPECT_EQ(manager.documents().size(), 1);
    manager.closeAllChatDocuments();
    QCoreApplication::processEvents();
    EXPECT_TRUE(manager.documents().isEmpty());
    manager.conversationWindowRequested(QString());
    EXPECT_EQ(panels, QStringList{QStringLiteral("panel")});
    EXPECT_EQ(manager.documents().size(), 1) << "the chosen buddies open a chat";
}

TEST_F(ChatManagerTest, UnreadWindowsComeForwardOnceAndResetForgetsWithoutClosing)
{
    world.buddy("b1");
    ChatDocument *window = manager.openChatRoom({id("b1")});
    ASSERT_TRUE(window);
    window->hide();
    manager.addNewMessageChat(window);
    manager.addNewMessageChat(window);
    manager.activeNewMessageChatRoom();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isExistNewMessage());
    manager.reset();
    EXPECT_TRUE(manager.documents().isEmpty());
    EXPECT_TRUE(window->isVisible());
    delete window;
}

} // namespace
} // namespace chat::test
