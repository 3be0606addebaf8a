// Chat rooms through the account-session facade: alice signed in here, bob
// and carol as parley-headless processes driven by their chat commands, all
// against the in-process local service over loopback.
#include "ChatManagement/PLChatSessionManager.h"
#include "FacadeFixture.h"
#include "HeadlessPeer.h"
#include "NotificationNames.h"
#include "Sessions/PLManagerRegistry.h"
#include "TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <cstdio>

using namespace facade::test;
using parley::PLChatSessionManager;

namespace {

std::function<bool(const QVariantMap &)> with(const char *key, const QVariant &value)
{
    return [key, value](const QVariantMap &info) { return info.value(QString::fromLatin1(key)) == value; };
}

class ChatThroughFacadeTest : public FacadeTest
{
protected:
    void SetUp() override
    {
        FacadeTest::SetUp();
        parley::PLManagerRegistry::setChatSessionManager(&PLChatSessionManager::sharedManager());
    }
    void TearDown() override
    {
        PLChatSessionManager::resetShared();
        parley::PLManagerRegistry::setChatSessionManager(nullptr);
        FacadeTest::TearDown();
    }
    std::optional<QVariantMap> waitForPosted(const char *name, const std::function<bool(const QVariantMap &)> &match)
    {
        std::optional<QVariantMap> found;
        parley::test::waitUntil(
            [&] {
                for (const Posted &posted : std::as_const(mPosted))
                    if (posted.name == QLatin1String(name) && (!match || match(posted.userInfo))) {
                        found = posted.userInfo;
                        return true;
                    }
                return false;
            },
            10000);
        return found;
    }
    PLChatSessionManager &chats() { return PLChatSessionManager::sharedManager(); }
};

TEST_F(ChatThroughFacadeTest, OneToOneChatWithAHeadlessBuddy)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"));
    ASSERT_TRUE(bob.waitFor(parley::notifications::kLoginCompleted));

    QString uuid;
    ASSERT_TRUE(mSession->createNewChattingRoomWithBuddies({QStringLiteral("bob@parley.test")}, &uuid));
    const auto created = waitForPosted(parley::notifications::kChatSessionCreated, with("sessionUUID", uuid));
    ASSERT_TRUE(created);
    const QString key = created->value(QStringLiteral("sessionKey")).toString();

    // The facade invites bob once the room is entered; bob's member list names alice.
    ASSERT_TRUE(bob.waitFor(parley::notifications::kInvitedToChat, with("key", key)));
    ASSERT_TRUE(bob.waitFor(parley::notifications::kChatSessionUserInfoReceived, with("velaID", QStringLiteral("alice@parley.test"))));
    ASSERT_TRUE(waitForPosted(parley::notifications::kChatSessionUserJoin, with("velaID", QStringLiteral("bob@parley.test"))));

    ASSERT_TRUE(chats().sendMessage(QStringLiteral("Helvetica\t000000\t\thello bob"), key));
    const auto received = bob.waitFor(parley::notifications::kChatSessionMessageReceived, with("sessionKey", key));
    ASSERT_TRUE(received);
    EXPECT_EQ(received->value(QStringLiteral("message")), QStringLiteral("Helvetica\t000000\t\thello bob"));
    EXPECT_EQ(received->value(QStringLiteral("velaID")), QStringLiteral("alice@parley.test"));

    // A TAB typed into the text never splits the message string's fields.
    bob.command(QStringLiteral("say %1 \"reply\twith a tab\"").arg(key));
    const auto reply = waitForPosted(parley::notifications::kChatSessionMessageReceived, with("velaID", QStringLiteral("bob@parley.test")));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->value(QStringLiteral("message")), QStringLiteral("Helvetica\t000000\t\treply with a tab"));

    bob.command(QStringLiteral("leave %1").arg(key));
    const auto quit = waitForPosted(parley::notifications::kChatSessionUserQuit, with("velaID", QStringLiteral("bob@parley.test")));
    ASSERT_TRUE(quit);
    EXPECT_TRUE(quit->value(QStringLiteral("isLast")).toBool());
}

TEST_F(ChatThroughFacadeTest, HeadlessRoomWithThreeMembersAndUndeliveredMessages)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), QStringLiteral("bob@parley.test"), QStringLiteral("bob-pw"));
    HeadlessPeer carol(mService->dispatchPort(), QStringLiteral("carol@parley.test"), QStringLiteral("carol-pw"));
    ASSERT_TRUE(bob.waitFor(parley::notifications::kLoginCompleted));
    ASSERT_TRUE(carol.waitFor(parley::notifications::kLoginCompleted));

    bob.command(QStringLiteral("chat alice@parley.test carol@parley.test"));
    const auto created = bob.waitFor(parley::notifications::kChatSessionCreated);
    ASSERT_TRUE(created);
    const QString key = created->value(QStringLiteral("sessionKey")).toString();
    ASSERT_TRUE(waitForPosted(parley::notifications::kInvitedToChat, with("key", key)));
    ASSERT_TRUE(carol.waitFor(parley::notifications::kInvitedToChat, with("key", key)));
    ASSERT_TRUE(parley::test::waitUntil([&] { return chats().userCountForSession(key) == 2; }, 10000));
    ASSERT_TRUE(bob.waitFor(parley::notifications::kChatSessionUserJoin, with("velaID", QStringLiteral("carol@parley.test"))));
    ASSERT_TRUE(bob.waitFor(parley::notifications::kChatSessionUserJoin, with("velaID", QStringLiteral("alice@parley.test"))));

    carol.command(QStringLiteral("say %1 \"hi all\"").arg(key));
    ASSERT_TRUE(bob.waitFor(parley::notifications::kChatSessionMessageReceived, with("velaID", QStringLiteral("carol@parley.test"))));
    const auto atAlice = waitForPosted(parley::notifications::kChatSessionMessageReceived, with("velaID", QStringLiteral("carol@parley.test")));
    ASSERT_TRUE(atAlice);
    EXPECT_EQ(atAlice->value(QStringLiteral("message")), QStringLiteral("Helvetica\t000000\t\thi all"));

    // A room nobody joins: what was said into it comes back when it closes.
    bob.command(QStringLiteral("chat nobody@parley.test"));
    const auto lonely = bob.waitFor(parley::notifications::kChatSessionCreated,
                                    [&](const QVariantMap &info) { return info.value(QStringLiteral("sessionKey")) != key; });
    ASSERT_TRUE(lonely);
    const QString lonelyKey = lonely->value(QStringLiteral("sessionKey")).toString();
    bob.command(QStringLiteral("say %1 \"anyone?\"").arg(lonelyKey));
    bob.command(QStringLiteral("leave %1").arg(lonelyKey));
    const auto undelivered = bob.waitFor(parley::notifications::kChatSessionUndelivered, with("sessionKey", lonelyKey));
    ASSERT_TRUE(undelivered);
    const QVariantList messages = undelivered->value(QStringLiteral("messages")).toList();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].toMap().value(QStringLiteral("message")), QStringLiteral("Helvetica\t000000\t\tanyone?"));
}

} // namespace
