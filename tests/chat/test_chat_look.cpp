// How the chat window looks and calls for attention: its palette buttons are
// our images, the absence banner and the members menu draw emoticons, a new
// chat colour recolours what is typed, and a line the user has not seen runs
// the dock manager's attention loop.

#include "ChatTestSupport.h"

#include "../services/chat/WireCapture.h"

#include "Chat/ChatDocument.h"
#include "Chat/ChatManager.h"
#include "Chat/ChatMemberMenuItem.h"
#include "ChatManagement/PLChatSessionInfo.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "EmoticonManager.h"
#include "ImageRegistry.h"
#include "KCEmoticonView.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ScriptedAlerts.h"
#include "Sessions/PLSSSession.h"
#include "Shell/ShellWindows.h"
#include "TestSupport.h"

#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QWidgetAction>

namespace chat::test {
namespace {

using parley::test::waitUntil;

class ChatLookTest : public ::testing::Test
{
protected:
    ChatLookTest()
    {
        rooms.setIdentityProvider([] { return PLChatIdentity{QStringLiteral("me@parley.test"), {}}; });
        rooms.setChatWindows(&manager.coreInterface());
    }
    ~ChatLookTest() override { rooms.setChatWindows(nullptr); }

    static ChatManager::Account account()
    {
        ChatManager::Account calls;
        calls.createRoom = [](const QStringList &, QString *uuid) {
            *uuid = QStringLiteral("uuid-1");
            return true;
        };
        return calls;
    }
    // A window on invited room "R1" that these members joined.
    ChatDocument *windowInRoom(const QList<const char *> &members)
    {
        rooms.invitedToChat({{QStringLiteral("ip"), QStringLiteral("127.0.0.1")},
                             {QStringLiteral("key"), QStringLiteral("R1")},
                             {QStringLiteral("port"), capture.port()}});
        PLChatSessionInfo *info = rooms.sessionInfo(QStringLiteral("R1"));
        if (!info || !waitUntil([&] { return info->session() && info->session()->isConnected(); }))
            return nullptr;
        QByteArray lines;
        for (const char *member : members)
            lines += "JOIN 0 " + id(member).toUtf8() + " n m\r\n";
        lines += "MESG 0 " + id(members.first()).toUtf8() + " MSG Gulim%09255%09%09first%20line\r\n";
        info->session()->dataReceived(lines);
        return manager.documents().value(0);
    }
    // A token of the shared catalogue that has an image.
    static QString emoticonToken()
    {
        const EmoticonManager &emoticons = EmoticonManager::sharedManager();
        for (const QString &token : emoticons.emoticonArray()) {
            if (!emoticons.emoticonImageSize(token).isEmpty())
                return token;
        }
        return {};
    }
    static int images(const KCEmoticonView *view)
    {
        int count = 0;
        for (const KCEmoticonLayoutItem &item : view->layoutInRect(QRectF(0, 0, 600, 200)).items)
            count += item.kind == KCEmoticonLayoutItem::Kind::Image;
        return count;
    }

    ChatWorld world;
    parley::test::ScriptedAlerts alerts;
    parley::test::WireCapture capture;
    NotificationCenter center;
    PLChatSessionManager rooms{center};
    ChatManager manager{rooms, center, account()};
};

struct RecordingDock final : parley::shell::DockManager {
    QMenu *dockMenu() override { return nullptr; }
    void dockIconUpdate() override { ++updates; }
    void dockIconBounce() override { ++bounces; }
    int updates = 0;
    int bounces = 0;
};

} // namespace

TEST_F(ChatLookTest, ThePaletteButtonsShowOurImages)
{
    world.buddy("b1");
    ChatDocument *window = manager.openChatRoom({id("b1")});
    ASSERT_TRUE(window);
    const struct {
        const char *tip;
        const char *image;
    } buttons[] = {{"ToolTipEmoticon", "ChatEmoticonButton"},
                   {"ToolTipAnimicon", "ChatAnimiconButton"},
                   {"ToolTipFont", "ChatFontButton"}};
    for (const auto &b : buttons) {
        SCOPED_TRACE(b.tip);
        QToolButton *found = nullptr;
        for (QToolButton *button : window->findChildren<QToolButton *>()) {
            if (button->toolTip() == KCLocalizedString(QLatin1String(b.tip)))
                found = button;
        }
        ASSERT_TRUE(found);
        EXPECT_TRUE(found->text().isEmpty()) << found->text().toStdString();
        EXPECT_EQ(found->icon().pixmap(found->iconSize()).toImage().convertToFormat(QImage::Format_ARGB32),
                  ImageRegistry::image(QLatin1String(b.image)).convertToFormat(QImage::Format_ARGB32));
    }
}

// A line for a window the user is not looking at asks for attention through
// the dock manager, whose loop repeats until the line is read; without the
// setting only the badge is redrawn.
TEST_F(ChatLookTest, AnUnseenLineStartsTheDocksAttentionLoop)
{
    RecordingDock dock;
    parley::shell::ShellWindows::setDockManager(&dock);
    world.buddy("b1");
    world.setPreference("showMessage", false);
    for (const bool bounce : {true, false}) {
        SCOPED_TRACE(bounce);
        world.setPreference("showBounce", bounce);
        dock.bounces = dock.updates = 0;
        ChatDocument *window = manager.openChatRoom({id("b1")});
        ASSERT_TRUE(window);
        window->hide();
        window->messageReceived({{QStringLiteral("velaID"), id("b1")},
                                 {QStringLiteral("message"), QStringLiteral("Gulim\t0\t\thello")}});
        EXPECT_EQ(dock.bounces, bounce ? 1 : 0);
        EXPECT_GE(dock.updates, bounce ? 0 : 1);
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    parley::shell::ShellWindows::setDockManager(nullptr);
}

TEST_F(ChatLookTest, ANewChatColourRecoloursWhatIsTypedWithoutATypingNotice)
{
    world.buddy("b1");
    ChatDocument *window = manager.openChatRoom({id("b1")});
    ASSERT_TRUE(window);
    ChatManager::setFontColor(QColor(Qt::blue));
    QTest::keyClicks(window->input(), QStringLiteral("typed before"));
    int changes = 0;
    QObject::connect(window->input(), &QTextEdit::textChanged, [&changes] { ++changes; });
    ChatManager::setFontColor(QColor(Qt::red));
    center.post(QLatin1String(notifications::kChatManagerColorChanged), nullptr, {});
    QTest::keyClicks(window->input(), QStringLiteral(" after"));
    const int typedAfter = 6;
    EXPECT_EQ(changes, typedAfter) << "the recolouring itself is no change of text";
    int characters = 0;
    for (QTextBlock block = window->input()->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            characters += it.fragment().length();
            EXPECT_EQ(it.fragment().charFormat().foreground().color(), QColor(Qt::red))
                << it.fragment().text().toStdString();
        }
    EXPECT_EQ(characters, QStringLiteral("typed before after").size());
    ChatManager::setFontColor(QColor(Qt::black));
}

TEST_F(ChatLookTest, TheBannerAndTheMembersMenuDrawEmoticons)
{
    const QString token = emoticonToken();
    ASSERT_FALSE(token.isEmpty());
    PLBuddyPtr b1 = world.buddy("b1");
    b1->setName(QStringLiteral("Ann ") + token);
    world.buddy("b2")->setName(QStringLiteral("Ben ") + token);
    ChatDocument *window = windowInRoom({"b1", "b2"});
    ASSERT_TRUE(window);
    window->show();

    // The members menu: one emoticon label per member, its title kept for readers.
    QMenu *menu = window->membersMenu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 2);
    for (QAction *action : menu->actions()) {
        auto *item = qobject_cast<QWidgetAction *>(action);
        ASSERT_TRUE(item);
        QWidget *row = item->requestWidget(menu);
        ASSERT_TRUE(row);
        auto *label = row->findChild<KCEmoticonView *>();
        ASSERT_TRUE(label);
        EXPECT_TRUE(label->emoticonString().endsWith(token));
        EXPECT_EQ(images(label), 1);
        EXPECT_EQ(label->textFont().pointSizeF(), 12);
        EXPECT_EQ(action->text(), label->emoticonString());
        item->releaseWidget(row);
    }
    // Choosing a member selects it.
    menu->actions().at(1)->trigger();
    EXPECT_EQ(window->conversation().selectedBuddyID(), id("b2"));

    // The banner of the member who is away: with the emoticon drawn, and as
    // tall as its lines.
    b1->setStatus(3);
    center.post(QLatin1String(notifications::kBuddyManagerBuddyUpdated), nullptr, {});
    KCEmoticonView *banner = window->banner();
    ASSERT_TRUE(banner->isVisible());
    EXPECT_TRUE(banner->emoticonString().contains(token));
    EXPECT_GE(images(banner), 1);
    QCoreApplication::processEvents();
    EXPECT_GE(banner->height(), banner->heightForWidth(banner->width()) - 1);
}

} // namespace chat::test
