// Chat rooms end to end: clients in this process, each with its own manager,
// in rooms on the local service's switchboard over loopback.
#include "ChatClient.h"
#include "ChatManagement/PLEncrypUtilChatCrypto.h"
#include "Sessions/PLCertAlert.h"
#include "ServiceFixture.h"
#include "SwitchboardServer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>

using namespace parley;
using namespace parley::test;
using localservice::SwitchboardServer;

namespace {

const QString kHost = QStringLiteral("127.0.0.1");

class ChatRoomTest : public localservice::test::ServiceTest
{
protected:
    void SetUp() override
    {
        startService();
        mSwitchboard = mService->switchboardServer();
        ASSERT_NE(mSwitchboard, nullptr);
        mSwitchboard->setRecordTraffic(true);
    }

    // A room requested by `owner`, who is in it when this returns.
    QString openRoom(ChatClient &owner, const QStringList &buddies)
    {
        const QString key = mSwitchboard->createRoom();
        owner.requestRoom(kHost, mSwitchboard->port(), key, buddies);
        EXPECT_TRUE(waitUntil([&] { return mSwitchboard->memberIDs(key).contains(owner.loginID); }));
        return key;
    }

    // `guest` is invited into the room and has its member list.
    void invite(ChatClient &guest, const QString &key)
    {
        const int present = int(mSwitchboard->memberIDs(key).size());
        guest.invited(kHost, mSwitchboard->port(), key);
        EXPECT_TRUE(waitUntil([&] { return guest.manager.userCountForSession(key) == present; }));
        EXPECT_TRUE(waitUntil([&] { return mSwitchboard->memberIDs(key).contains(guest.loginID); }));
    }

    static bool waitUntil(const std::function<bool()> &condition) { return parley::test::waitUntil(condition); }

    SwitchboardServer *mSwitchboard = nullptr;
};

QStringList texts(const QList<QVariantMap> &infos, const char *key = "message")
{
    QStringList list;
    for (const QVariantMap &info : infos)
        list.append(info.value(QString::fromLatin1(key)).toString());
    return list;
}

TEST_F(ChatRoomTest, OneToOneChatInBothDirections)
{
    ChatClient alice(QStringLiteral("alice")), bob(QStringLiteral("bob"));
    const QString key = openRoom(alice, {QStringLiteral("bob")});
    // The own request opened a window at once.
    ASSERT_EQ(alice.noted(notifications::kChatSessionActivated).size(), 1);
    EXPECT_EQ(alice.noted(notifications::kChatSessionActivated)[0].value(QStringLiteral("activateType")), QStringLiteral("creation"));

    invite(bob, key);
    ASSERT_TRUE(waitUntil([&] { return alice.manager.userCountForSession(key) == 1; }));
    // Bob has no window yet: his member list arrives as notifications.
    const QList<QVariantMap> list = bob.noted(notifications::kChatSessionUserInfoReceived);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].value(QStringLiteral("velaID")), QStringLiteral("alice"));
    EXPECT_EQ(list[0].value(QStringLiteral("name")), QStringLiteral("Name alice"));
    EXPECT_EQ(list[0].value(QStringLiteral("index")).toInt(), 1);
    EXPECT_EQ(list[0].value(QStringLiteral("count")).toInt(), 1);
    ASSERT_EQ(alice.receiver.named(QStringLiteral("userJoined")).size(), 1);
    EXPECT_EQ(alice.receiver.named(QStringLiteral("userJoined"))[0].value(QStringLiteral("nickName")), QStringLiteral("nick bob"));

    ASSERT_TRUE(alice.manager.sendMessage(QStringLiteral("Arial\t0\t\thello there %41"), key));
    ASSERT_TRUE(waitUntil([&] { return bob.receiver.messages().size() == 1; }));
    // The first message opened Bob's window, which then received it.
    const QList<QVariantMap> activated = bob.noted(notifications::kChatSessionActivated);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated[0].value(QStringLiteral("activateType")), QStringLiteral("message"));
    EXPECT_EQ(activated[0].value(QStringLiteral("senderID")), QStringLiteral("alice"));
    EXPECT_EQ(bob.receiver.messages(), QStringList{QStringLiteral("Arial\t0\t\thello there %41")});
    EXPECT_EQ(bob.receiver.named(QStringLiteral("messageReceived"))[0].value(QStringLiteral("velaID")), QStringLiteral("alice"));
    EXPECT_TRUE(bob.noted(notifications::kChatSessionMessageReceived).isEmpty());

    ASSERT_TRUE(bob.manager.sendMessage(QStringLiteral("hi back"), key));
    ASSERT_TRUE(bob.manager.leaveMessage(QStringLiteral("gone fishing"), key));
    ASSERT_TRUE(waitUntil([&] { return alice.receiver.named(QStringLiteral("awayMessageReceived")).size() == 1; }));
    EXPECT_EQ(alice.receiver.messages(), QStringList{QStringLiteral("hi back")});
    EXPECT_EQ(texts(alice.receiver.named(QStringLiteral("awayMessageReceived"))), QStringList{QStringLiteral("gone fishing")});
    EXPECT_EQ(bob.noted(notifications::kChatSessionActivated).size(), 1) << "a second message activates nothing";
}

TEST_F(ChatRoomTest, MessagesSentWhileAloneAreDeliveredOnceTheBuddyJoins)
{
    ChatClient alice(QStringLiteral("alice")), bob(QStringLiteral("bob"));
    const QString key = openRoom(alice, {QStringLiteral("bob")});
    EXPECT_TRUE(alice.manager.sendMessage(QStringLiteral("first"), key));
    EXPECT_TRUE(alice.manager.leaveMessage(QStringLiteral("away"), key));
    EXPECT_TRUE(alice.manager.sendMessage(QStringLiteral("second"), key));
    EXPECT_FALSE(alice.manager.sendTypingInfo(1, key)) << "typing while alone sends nothing";
    EXPECT_EQ(alice.session(key)->messageQueue().size(), 3);
    EXPECT_EQ(mSwitchboard->messageCount(), 0);

    invite(bob, key);
    ASSERT_TRUE(waitUntil([&] { return bob.receiver.messages().size() == 2; }));
    EXPECT_EQ(bob.receiver.messages(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_EQ(texts(bob.receiver.named(QStringLiteral("awayMessageReceived"))), QStringList{QStringLiteral("away")});
    // Order across kinds: first, away, second.
    QStringList order;
    for (const Call &call : bob.receiver.calls)
        if (call.first == QLatin1String("messageReceived") || call.first == QLatin1String("awayMessageReceived"))
            order.append(call.second.value(QStringLiteral("message")).toString());
    EXPECT_EQ(order, (QStringList{QStringLiteral("first"), QStringLiteral("away"), QStringLiteral("second")}));
    EXPECT_TRUE(alice.session(key)->messageQueue().isEmpty());
    EXPECT_EQ(mSwitchboard->messageCount(), 3);
}

TEST_F(ChatRoomTest, InvitationIntoARunningRoomWithThreeMembers)
{
    ChatClient alice(QStringLiteral("alice")), bob(QStringLiteral("bob")), carol(QStringLiteral("carol"));
    const QString key = openRoom(alice, {QStringLiteral("bob")});
    invite(bob, key);
    ASSERT_TRUE(alice.manager.sendMessage(QStringLiteral("before carol"), key));
    ASSERT_TRUE(waitUntil([&] { return bob.receiver.messages().size() == 1; }));

    invite(carol, key);
    ASSERT_TRUE(waitUntil([&] {
        return alice.manager.userCountForSession(key) == 2 && bob.manager.userCountForSession(key) == 2;
    }));
    const QList<QVariantMap> list = carol.noted(notifications::kChatSessionUserInfoReceived);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(texts(list, "velaID"), (QStringList{QStringLiteral("alice"), QStringLiteral("bob")}));
    EXPECT_EQ(list[1].value(QStringLiteral("index")).toInt(), 2);
    EXPECT_EQ(list[1].value(QStringLiteral("count")).toInt(), 2);
    EXPECT_EQ(texts(alice.receiver.named(QStringLiteral("userJoined")), "velaID"),
              (QStringList{QStringLiteral("bob"), QStringLiteral("carol")}));
    EXPECT_EQ(texts(bob.receiver.named(QStringLiteral("userJoined")), "velaID"), QStringList{QStringLiteral("carol")});

    ASSERT_TRUE(carol.manager.sendMessage(QStringLiteral("hello all"), key));
    ASSERT_TRUE(waitUntil([&] { return alice.receiver.messages().size() == 1 && bob.receiver.messages().size() == 2; }));
    EXPECT_EQ(alice.receiver.messages(), QStringList{QStringLiteral("hello all")});
    EXPECT_EQ(bob.receiver.messages().last(), QStringLiteral("hello all"));
    EXPECT_TRUE(carol.receiver.messages().isEmpty()) << "nobody hears their own message back";

    // An animicon goes to every member, one whisper each.
    alice.manager.sendAnimicon(QStringLiteral("smile%0901"), key);
    ASSERT_TRUE(waitUntil([&] {
        return bob.receiver.named(QStringLiteral("animiconReceived")).size() == 1
            && carol.receiver.named(QStringLiteral("animiconReceived")).size() == 1;
    }));
    EXPECT_EQ(bob.receiver.named(QStringLiteral("animiconReceived"))[0].value(QStringLiteral("userID")),
              QStringLiteral("alice|dp|alice"));
}

TEST_F(ChatRoomTest, EncryptedRoomSendsNothingInClear)
{
    ChatClient alice(QStringLiteral("alice")), bob(QStringLiteral("bob"));
    alice.setEncrypted(true);
    bob.setEncrypted(true);
    const QString key = openRoom(alice, {QStringLiteral("bob")});
    invite(bob, key);
    EXPECT_EQ(alice.session(key)->encryptKey(), MirrorChatCrypto::clientKey());

    ASSERT_TRUE(alice.manager.sendMessage(QStringLiteral("secret from alice"), key));
    ASSERT_TRUE(bob.manager.sendMessage(QStringLiteral("secret from bob"), key));
    ASSERT_TRUE(bob.manager.sendTypingInfo(1, key));
    ASSERT_TRUE(alice.manager.requestTransferFiles(
        {QVariantMap{{QStringLiteral("fileName"), QStringLiteral("plans.txt")},
                     {QStringLiteral("fileSize"), 12},
                     {QStringLiteral("fileCookie"), QStringLiteral("k1")}}},
        key, QStringLiteral("bob")));
    ASSERT_TRUE(waitUntil([&] {
        return bob.receiver.messages().size() == 1 && alice.receiver.messages().size() == 1 && bob.files.offers.size() == 1
            && alice.receiver.named(QStringLiteral("typingInfoReceived")).size() == 1;
    }));
    EXPECT_EQ(bob.receiver.messages(), QStringList{QStringLiteral("secret from alice")});
    EXPECT_EQ(alice.receiver.messages(), QStringList{QStringLiteral("secret from bob")});
    EXPECT_EQ(bob.files.offers[0].value(QStringLiteral("fileInfos")).toList()[0].toMap().value(QStringLiteral("fileName")),
              QStringLiteral("plans.txt"));

    // A new key offered by the switchboard is taken, and the room goes on.
    mSwitchboard->offerNewKey(key);
    ASSERT_TRUE(waitUntil([&] { return alice.crypto.offered.size() == 2 && bob.crypto.offered.size() == 2; }));
    ASSERT_TRUE(alice.manager.sendMessage(QStringLiteral("after the new key"), key));
    ASSERT_TRUE(waitUntil([&] { return bob.receiver.messages().size() == 2; }));

    const QByteArray wire = mSwitchboard->traffic();
    for (const char *clear : {"secret", "plans", "after the new key", "after%20the", "ENTR ", "MESG ", "WHSP ", "USER ", "JOIN "})
        EXPECT_FALSE(wire.contains(clear)) << clear;
    EXPECT_TRUE(wire.contains("CRPT ")) << "the room did travel, in envelopes";
    EXPECT_TRUE(wire.contains("NCPT ") && wire.contains("PRVK ") && wire.contains("ESSK "))
        << "the key exchange itself travels in clear";
}

TEST_F(ChatRoomTest, MemberLeavingMakesTheRoomAloneAndUnsentMessagesComeBack)
{
    ChatClient alice(QStringLiteral("alice")), bob(QStringLiteral("bob"));
    const QString key = openRoom(alice, {QStringLiteral("bob")});
    invite(bob, key);
    ASSERT_TRUE(waitUntil([&] { return alice.manager.userCountForSession(key) == 1; }));

    ASSERT_TRUE(bob.manager.disconnectSession(key));
    EXPECT_EQ(bob.manager.sessionInfo(key), nullptr);
    ASSERT_TRUE(waitUntil([&] { return alice.receiver.named(QStringLiteral("userQuited")).size() == 1; }));
    const QVariantMap quit = alice.receiver.named(QStringLiteral("userQuited"))[0];
    EXPECT_EQ(quit.value(QStringLiteral("velaID")), QStringLiteral("bob"));
    EXPECT_TRUE(quit.value(QStringLiteral("isLast")).toBool());
    EXPECT_TRUE(alice.session(key)->isAlone());

    const int sentBefore = mSwitchboard->messageCount();
    ASSERT_TRUE(alice.manager.sendMessage(QStringLiteral("anyone there?"), key));
    ASSERT_TRUE(alice.manager.leaveMessage(QStringLiteral("back soon"), key));
    EXPECT_EQ(mSwitchboard->messageCount(), sentBefore);

    // Closing the window closes the room: the waiting messages come back.
    ASSERT_TRUE(alice.manager.disconnectSession(key));
    const QList<QVariantMap> undelivered = alice.receiver.named(QStringLiteral("messagesUndelivered"));
    ASSERT_EQ(undelivered.size(), 1);
    EXPECT_EQ(undelivered[0].value(QStringLiteral("sessionKey")), key);
    const QVariantList messages = undelivered[0].value(QStringLiteral("messages")).toList();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].toMap().value(QStringLiteral("message")), QStringLiteral("anyone there?"));
    EXPECT_FALSE(messages[0].toMap().value(QStringLiteral("absence")).toBool());
    EXPECT_EQ(messages[1].toMap().value(QStringLiteral("message")), QStringLiteral("back soon"));
    EXPECT_TRUE(messages[1].toMap().value(QStringLiteral("absence")).toBool());
}

TEST_F(ChatRoomTest, TypingNoticesReachTheOtherMember)
{
    ChatClient alice(QStringLiteral("alice")), bob(QStringLiteral("bob"));
    const QString key = openRoom(alice, {QStringLiteral("bob")});
    invite(bob, key);
    ASSERT_TRUE(waitUntil([&] { return alice.manager.userCountForSession(key) == 1; }));

    ASSERT_TRUE(alice.manager.sendTypingInfo(1, key));
    ASSERT_TRUE(alice.manager.sendTypingInfo(0, key));
    ASSERT_TRUE(waitUntil([&] { return bob.noted(notifications::kChatSessionTypingInfoReceived).size() == 2; }));
    const QList<QVariantMap> typing = bob.noted(notifications::kChatSessionTypingInfoReceived);
    EXPECT_EQ(texts(typing, "flag"), (QStringList{QStringLiteral("1"), QStringLiteral("0")}));
    EXPECT_EQ(typing[0].value(QStringLiteral("velaID")), QStringLiteral("alice"));
    EXPECT_EQ(typing[0].value(QStringLiteral("sessionKey")), key);
    EXPECT_TRUE(bob.noted(notifications::kChatSessionActivated).isEmpty()) << "typing opens no window";
}

TEST_F(ChatRoomTest, SwitchboardDroppingTheConnectionClosesTheRoom)
{
    ChatClient alice(QStringLiteral("alice"), /*attachOnActivation=*/false);
    const QString key = openRoom(alice, {QStringLiteral("bob")});
    ASSERT_TRUE(alice.manager.sendMessage(QStringLiteral("lost words"), key));

    mSwitchboard->dropRoom(key);
    ASSERT_TRUE(waitUntil([&] { return alice.manager.sessionInfo(key) == nullptr; }));
    ASSERT_EQ(alice.noted(notifications::kChatSessionWillClose).size(), 1);
    const QList<QVariantMap> undelivered = alice.noted(notifications::kChatSessionUndelivered);
    ASSERT_EQ(undelivered.size(), 1);
    EXPECT_EQ(undelivered[0].value(QStringLiteral("sessionKey")), key);
    EXPECT_EQ(undelivered[0].value(QStringLiteral("messages")).toList().value(0).toMap().value(QStringLiteral("message")),
              QStringLiteral("lost words"));
}

// The server's own ways to end a room; each hands the waiting messages back.
struct ServerEnding {
    const char *name;
    void (SwitchboardServer::*end)(const QString &);
    bool roomDropped; // the manager forgets the room
};

class ServerEndingTest : public ChatRoomTest, public ::testing::WithParamInterface<ServerEnding> {};

TEST_P(ServerEndingTest, EndsTheRoomAndHandsBackTheQueue)
{
    ChatClient alice(QStringLiteral("alice"));
    const QString key = openRoom(alice, {QStringLiteral("bob")});
    ASSERT_TRUE(alice.manager.sendMessage(QStringLiteral("still here"), key));
    (mSwitchboard->*GetParam().end)(key);
    ASSERT_TRUE(waitUntil([&] { return alice.receiver.named(QStringLiteral("messagesUndelivered")).size() == 1; }));
    EXPECT_FALSE(alice.manager.isValidSessionKey(key));
    EXPECT_EQ(alice.manager.sessionInfo(key) == nullptr, GetParam().roomDropped);
    EXPECT_EQ(alice.noted(notifications::kChatSessionWillClose).size(), GetParam().roomDropped ? 1 : 0);
    EXPECT_TRUE(alice.receiver.named(QStringLiteral("userQuited")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Endings, ServerEndingTest,
                         ::testing::Values(ServerEnding{"DSEL", &SwitchboardServer::closeRoom, true},
                                           ServerEnding{"TimeOut", &SwitchboardServer::timeOutRoom, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ChatRoomTest, AllDisconnectSessionClosesEveryRoom)
{
    ChatClient alice(QStringLiteral("alice"));
    const QString first = openRoom(alice, {QStringLiteral("bob")});
    const QString second = openRoom(alice, {QStringLiteral("carol")});
    alice.manager.allDisconnectSession();
    EXPECT_EQ(alice.noted(notifications::kChatSessionWillClose).size(), 2);
    EXPECT_TRUE(alice.manager.sessionKeys().isEmpty());
    ASSERT_TRUE(waitUntil([&] { return mSwitchboard->memberIDs(first).isEmpty() && mSwitchboard->memberIDs(second).isEmpty(); }));
}

TEST_F(ChatRoomTest, RoomRequestedThroughTheNotificationServer)
{
    auto raw = connectNotification();
    ASSERT_TRUE(signIn(*raw, "alice@parley.test", "alice-pw"));
    raw->send("RESS 9\r\n");
    const auto answer = raw->readLine();
    ASSERT_TRUE(answer.has_value());
    const QList<QByteArray> fields = answer->split(' ');
    ASSERT_EQ(fields.size(), 5) << answer->toStdString();
    EXPECT_EQ(fields[0], "RESS");
    EXPECT_EQ(fields[1], "9");
    EXPECT_EQ(fields[2], "127.0.0.1");
    EXPECT_EQ(fields[3].toInt(), mSwitchboard->port());

    ChatClient alice(QStringLiteral("alice")), bob(QStringLiteral("bob"));
    const QString key = QString::fromLatin1(fields[4]);
    alice.requestRoom(kHost, fields[3].toInt(), key, {QStringLiteral("bob")});
    ASSERT_TRUE(waitUntil([&] { return mSwitchboard->memberIDs(key) == QStringList{QStringLiteral("alice")}; }));
    invite(bob, key);
    ASSERT_TRUE(bob.manager.sendMessage(QStringLiteral("through RESS"), key));
    ASSERT_TRUE(waitUntil([&] { return alice.receiver.messages() == QStringList{QStringLiteral("through RESS")}; }));
}

TEST_F(ChatRoomTest, RessBeforeSignInIsRefused)
{
    auto raw = connectNotification();
    raw->send("RESS 4\r\n");
    EXPECT_EQ(raw->readLine(), QByteArray("500 4"));
}

TEST_F(ChatRoomTest, UnknownRoomKeyIsNotEntered)
{
    ChatClient alice(QStringLiteral("alice"));
    alice.requestRoom(kHost, mSwitchboard->port(), QStringLiteral("no-such-room"), {QStringLiteral("bob")});
    ASSERT_TRUE(waitUntil([&] { return mSwitchboard->traffic().contains("ENTR "); }));
    ASSERT_TRUE(waitUntil([&] { return mSwitchboard->traffic().contains("501 "); }));
    EXPECT_TRUE(mSwitchboard->roomKeys().isEmpty());
}

} // namespace

// The same room on libcoffer3 at both ends: the service's server side, and
// the client's crypto glue with a certificate alert that lets the test's own
// certificate through.
class ContinuingCertAlert : public PLCertAlert
{
public:
    int showWindowWithMessage(const QString &, const QList<QByteArray> &, int) override
    {
        ++shown;
        return Continue;
    }
    int shown = 0;
};

class CofferChatRoomTest : public ChatRoomTest
{
protected:
    void SetUp() override
    {
        const QString dir = parley::test::isolatedHome();
        localservice::ServiceOptions options;
        options.keyFile = dir + QStringLiteral("/sb.key");
        options.certChainFile = dir + QStringLiteral("/sb.pem");
        QProcess tool;
        tool.start(QStringLiteral(PARLEY_OPENSSL_TOOL),
                   {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", options.keyFile, "-out",
                    options.certChainFile, "-subj", "/CN=sb.parley.test", "-days", "2"});
        ASSERT_TRUE(tool.waitForFinished(60000) && tool.exitCode() == 0) << "the openssl tool made no certificate";
        startService(options, /*mirrorCipher=*/false);
        mSwitchboard = mService->switchboardServer();
        mSwitchboard->setRecordTraffic(true);
        PLCertAlert::setShared(&mAlert);
    }
    void TearDown() override { PLCertAlert::setShared(nullptr); }

    ContinuingCertAlert mAlert;
    PLEncrypUtilChatCrypto mGlue;
};

TEST_F(CofferChatRoomTest, EncryptedRoomWithTheClientsCryptoGlue)
{
    ChatClient alice(QStringLiteral("alice")), bob(QStringLiteral("bob"));
    for (ChatClient *client : {&alice, &bob}) {
        client->manager.setCrypto(&mGlue);
        client->setEncrypted(true);
    }
    const QString key = openRoom(alice, {QStringLiteral("bob")});
    invite(bob, key);
    ASSERT_TRUE(alice.manager.sendMessage(QStringLiteral("coffer secret"), key));
    ASSERT_TRUE(bob.manager.sendMessage(QStringLiteral("coffer reply"), key));
    ASSERT_TRUE(waitUntil([&] { return bob.receiver.messages().size() == 1 && alice.receiver.messages().size() == 1; }));
    EXPECT_EQ(bob.receiver.messages(), QStringList{QStringLiteral("coffer secret")});
    EXPECT_EQ(alice.receiver.messages(), QStringList{QStringLiteral("coffer reply")});
    EXPECT_NE(alice.session(key)->encryptKey(), bob.session(key)->encryptKey()) << "one key per member";
    const QByteArray wire = mSwitchboard->traffic();
    EXPECT_FALSE(wire.contains("coffer")) ;
    EXPECT_FALSE(wire.contains("MESG "));
    EXPECT_TRUE(wire.contains("CRPT "));
}

namespace {

// The switchboard's own rules, spoken to in raw lines.
TEST_F(ChatRoomTest, SwitchboardRefusesWhatDoesNotFitTheConnection)
{
    const QString key = mSwitchboard->createRoom();
    localservice::test::RawClient plain(mSwitchboard->port());
    ASSERT_TRUE(plain.isConnected());
    plain.send("MESG 3 MSG early\r\n");
    EXPECT_EQ(plain.readLine(), QByteArray("500 3")) << "no message before entering";
    plain.send("ENTR 4 dan|k dan Dan " + key.toLatin1() + " UTF8 C 3.0 1 1.0 ko.macm %00 cmn %00\r\n");
    EXPECT_EQ(plain.readLine(), QByteArray("502 4")) << "an encrypted entry needs a key first";

    localservice::test::RawClient sealed(mSwitchboard->port());
    sealed.send("NCPT 1 eve ro 0\r\n");
    ASSERT_TRUE(sealed.readLine().has_value());
    ASSERT_TRUE(sealed.readBytes(localservice::test::MirrorKeyExchange::serverKey().size()).has_value());
    sealed.send("PRVK 2 BASE64 16\r\n" + localservice::test::MirrorKeyExchange::clientKey());
    EXPECT_EQ(sealed.readLine(), QByteArray("PRVK 2 OK"));
    sealed.send("ENTR 3 eve|k eve Eve " + key.toLatin1() + " UTF8 C 3.0 1 1.0 ko.macm %00 cmn %00\r\n");
    // Refused, and the refusal itself comes in an envelope.
    const auto header = sealed.readLine();
    ASSERT_TRUE(header.has_value());
    ASSERT_TRUE(header->startsWith("CRPT 3 "));
    const auto body = sealed.readBytes(header->split(' ').value(2).toInt());
    ASSERT_TRUE(body.has_value());
    EXPECT_EQ(localservice::test::MirrorKeyExchange::decipher(*body), QByteArray("500 3\r\n"));
    EXPECT_TRUE(mSwitchboard->memberIDs(key).isEmpty());
}

} // namespace
