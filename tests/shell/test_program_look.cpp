// The assembled program (ParleyProgram) when a buddy's chat arrives with its
// window kept hidden: the dock manager's attention loop runs, the main
// window's Window menu offers the chat with a bullet and its unread count,
// and the chat window, once opened from there, shows our images.
#include "EndToEndSupport.h"

#include "Chat/ChatDocument.h"
#include "Chat/ChatInstallation.h"
#include "ImageRegistry.h"
#include "NotificationNames.h"
#include "TrayDockManager.h"
#include "Utils/KCUtilities.h"

#include "../facade/HeadlessPeer.h"

#include <QMenu>
#include <QToolButton>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

TEST_F(ShellEndToEnd, AChatThatArrivesHiddenAsksForAttentionAndIsInTheWindowMenu)
{
    startService();
    program();
    typeAndSignIn();
    ASSERT_TRUE(waitForBuddyView());
    const QString alice = QStringLiteral("alice@parley.test");
    facade::test::HeadlessPeer bob(mService->dispatchPort(), QStringLiteral("bob@parley.test"),
                                   QStringLiteral("bob-pw"), {QStringLiteral("--p2p-port"), QStringLiteral("0")});
    ASSERT_TRUE(bob.waitFor("ParleyLoginCompleted").has_value());
    bob.command(QStringLiteral("chat %1").arg(alice));
    const auto created = bob.waitFor(notifications::kChatSessionCreated);
    ASSERT_TRUE(created);
    const QString key = created->value(QStringLiteral("sessionKey")).toString();
    ASSERT_TRUE(bob.waitFor(notifications::kChatSessionUserJoin, [&](const QVariantMap &info) {
        return info.value(QStringLiteral("velaID")) == alice;
    }));
    bob.command(QStringLiteral("say %1 \"are you there?\"").arg(key));
    bob.command(QStringLiteral("say %1 \"hello?\"").arg(key));
    parley::ChatManager &chats = mProgram->chats().manager();
    ASSERT_TRUE(parley::test::waitUntil(
        [&] { return chats.documents().size() == 1 && chats.documents().first()->unviewedCount() == 2; }, 10000));
    parley::ChatDocument *chat = chats.documents().first();
    ASSERT_FALSE(chat->isVisible()) << "a message alone shows no window";

    auto *dock = dynamic_cast<TrayDockManager *>(&ShellWindows::dockManager());
    ASSERT_TRUE(dock);
    EXPECT_TRUE(dock->isBouncing()) << "the attention loop runs while the chat is unread";

    QMenu *windows = current().window()->menuAt(MainWindow::WindowMenu);
    emit windows->aboutToShow();
    const QString entryTitle = QStringLiteral("\u2022 %1 (2)").arg(chat->windowTitle());
    QAction *entry = nullptr;
    for (QAction *action : windows->actions()) {
        if (action->text() == entryTitle)
            entry = action;
    }
    ASSERT_TRUE(entry) << entryTitle.toStdString();
    entry->trigger();
    EXPECT_TRUE(chat->isVisible());

    const QToolButton *emoticons = chat->emoticonButton();
    EXPECT_TRUE(emoticons->text().isEmpty());
    EXPECT_EQ(emoticons->icon().pixmap(emoticons->iconSize()).toImage().convertToFormat(QImage::Format_ARGB32),
              ImageRegistry::image(QStringLiteral("ChatEmoticonButton")).convertToFormat(QImage::Format_ARGB32));
}
