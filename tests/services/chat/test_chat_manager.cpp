// The chat-session manager's own rules, with its rooms' sessions connected to
// a stand-in switchboard and room events fed to them as wire text.
#include "ChatClient.h"
#include "TestSupport.h"
#include "Utils/KCUtilities.h"
#include "Utils/ParleyStringAdditions.h"
#include "WireCapture.h"

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;

namespace {

const QString kHost = QStringLiteral("127.0.0.1");

class ChatManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        client.manager.setChatWindows(&windows);
        client.manager.setBridgePage(&bridge);
        client.manager.setBuddyString(&buddyString);
    }
    QString ownRoom(const QString &key = QStringLiteral("room1"))
    {
        client.requestRoom(kHost, capture.port(), key, {QStringLiteral("u2")});
        EXPECT_TRUE(waitUntil([&] { return client.session(key) && client.session(key)->isConnected(); }));
        return key;
    }
    QString invitedRoom(const QString &key = QStringLiteral("room1"))
    {
        client.invited(kHost, capture.port(), key);
        EXPECT_TRUE(waitUntil([&] { return client.session(key) && client.session(key)->isConnected(); }));
        return key;
    }
    void feed(const QString &key, const QByteArray &bytes) { client.session(key)->dataReceived(bytes); }

    WireCapture capture;
    ChatClient client{QStringLiteral("me"), /*attachOnActivation=*/false};
    RecordingChatWindows windows;
    RecordingBridgePage bridge;
    RecordingBuddyString buddyString;
};

class MissingKeyTest : public ChatManagerTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(MissingKeyTest, SwitchboardAnswerWithoutAKeyMakesNoRoom)
{
    QVariantMap info{{QStringLiteral("tid"), 1},
                     {QStringLiteral("ip"), kHost},
                     {QStringLiteral("key"), QStringLiteral("room1")},
                     {QStringLiteral("port"), capture.port()},
                     {QStringLiteral("buddyIDs"), QStringList{QStringLiteral("u2")}},
                     {QStringLiteral("sessionUUID"), QStringLiteral("uuid")}};
    info.remove(QString::fromLatin1(GetParam()));
    client.manager.switchboardServerInfoReceived(info);
    EXPECT_TRUE(client.manager.sessionKeys().isEmpty());
    EXPECT_TRUE(client.notes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Keys, MissingKeyTest, ::testing::Values("tid", "ip", "key", "port", "buddyIDs", "sessionUUID"));

TEST_F(ChatManagerTest, OwnRequestIsAnnouncedBeforeItIsStoredAndActivatedAfter)
{
    QStringList seen;
    client.center.addObserver(QString::fromLatin1(notifications::kChatSessionCreated), nullptr, [&](const Notification &n) {
        const QString key = n.userInfo.value(QStringLiteral("sessionKey")).toString();
        seen.append(client.manager.sessionInfo(key) ? QStringLiteral("created:stored") : QStringLiteral("created:absent"));
    });
    client.center.addObserver(QString::fromLatin1(notifications::kChatSessionActivated), nullptr, [&](const Notification &n) {
        seen.append(client.manager.sessionInfo(QStringLiteral("room1")) ? QStringLiteral("activated:stored") : QStringLiteral("activated:absent"));
        EXPECT_EQ(n.userInfo.value(QStringLiteral("userIDs")).toStringList(), QStringList{QStringLiteral("u2")});
    });
    ownRoom();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("created:absent"), QStringLiteral("activated:stored")}));
    const QVariantMap created = client.noted(notifications::kChatSessionCreated)[0];
    EXPECT_EQ(created.value(QStringLiteral("sessionUUID")), QStringLiteral("uuid-room1"));
    EXPECT_EQ(created.value(QStringLiteral("tid")).toInt(), 7);
    EXPECT_EQ(client.manager.ipForSession(QStringLiteral("room1")), kHost);
    EXPECT_EQ(client.manager.portForSession(QStringLiteral("room1")), capture.port());
    EXPECT_TRUE(client.manager.isValidSessionKey(QStringLiteral("room1")));

    seen.clear();
    invitedRoom(QStringLiteral("room2"));
    EXPECT_EQ(seen, QStringList{QStringLiteral("created:stored")}) << "an invited room is stored first";
    EXPECT_EQ(client.noted(notifications::kChatSessionCreated).last(), (QVariantMap{{QStringLiteral("sessionKey"), QStringLiteral("room2")}}));
    EXPECT_EQ(client.noted(notifications::kChatSessionActivated).size(), 1) << "an invitation activates nothing";
}

TEST_F(ChatManagerTest, ASecondAnswerForAHeldRoomKeepsTheFirst)
{
    ownRoom();
    PLSSSession *first = client.session(QStringLiteral("room1"));
    client.invited(kHost, capture.port(), QStringLiteral("room1"));
    EXPECT_EQ(client.session(QStringLiteral("room1")), first);
}

struct ProxyCase {
    int mode;
    const char *ip;
    int port;
    int expectedMode;
    const char *expectedIP;
    int expectedPort;
};

class ProxyModeTest : public ChatManagerTest, public ::testing::WithParamInterface<ProxyCase> {};

TEST_P(ProxyModeTest, KeepsOnlyValidSettings)
{
    client.manager.setProxyMode(2, QStringLiteral("proxy.test"), 1080);
    const ProxyCase &c = GetParam();
    client.manager.setProxyMode(c.mode, c.ip ? QString::fromLatin1(c.ip) : QString(), c.port);
    EXPECT_EQ(client.manager.mProxyMode(), c.expectedMode);
    EXPECT_EQ(client.manager.mProxyServerIP(), c.expectedIP ? QString::fromLatin1(c.expectedIP) : QString());
    EXPECT_EQ(client.manager.mProxyServerPortNo(), c.expectedPort);
}

INSTANTIATE_TEST_SUITE_P(Modes, ProxyModeTest,
                         ::testing::Values(ProxyCase{1, nullptr, 80, 2, "proxy.test", 1080},
                                           ProxyCase{0, nullptr, 0, 0, nullptr, 0},
                                           ProxyCase{4, "h", 1, 2, "proxy.test", 1080},
                                           ProxyCase{-1, "h", 1, 2, "proxy.test", 1080},
                                           ProxyCase{3, "socks.test", 1081, 3, "socks.test", 1081}));

struct MemberListCase {
    QList<QStringList> openWindows;
    bool activates;
};

class MemberListTest : public ChatManagerTest, public ::testing::WithParamInterface<MemberListCase> {};

TEST_P(MemberListTest, LastLineHandsTheRoomToAnOpenWindowOfTheseMembers)
{
    windows.openWindows = GetParam().openWindows;
    const QString key = invitedRoom();
    feed(key, "USER 1 1 3 u1 n1 m1\r\nUSER 1 2 3 u2 n2 m2\r\n");
    EXPECT_TRUE(client.noted(notifications::kChatSessionActivated).isEmpty());
    feed(key, "USER 1 3 3 u3 n3 m3\r\n");
    const QList<QVariantMap> activated = client.noted(notifications::kChatSessionActivated);
    ASSERT_EQ(activated.size(), GetParam().activates ? 1 : 0);
    if (GetParam().activates)
        EXPECT_EQ(activated[0], (QVariantMap{{QStringLiteral("activateType"), QStringLiteral("recreation")},
                                             {QStringLiteral("sessionKey"), key}}));
    EXPECT_EQ(client.noted(notifications::kChatSessionUserInfoReceived).size(), 3);
    EXPECT_EQ(client.manager.userCountForSession(key), 3);
    ASSERT_FALSE(windows.asked.isEmpty());
    EXPECT_EQ(windows.asked.size(), 1) << "only the last line asks";
}

INSTANTIATE_TEST_SUITE_P(Windows, MemberListTest,
                         ::testing::Values(MemberListCase{{{QStringLiteral("u1"), QStringLiteral("u2"), QStringLiteral("u3")}}, true},
                                           MemberListCase{{{QStringLiteral("u1"), QStringLiteral("u2")}}, false},
                                           MemberListCase{{}, false}));

TEST_F(ChatManagerTest, LastMemberLeavingMakesTheRoomAlone)
{
    const QString key = ownRoom();
    feed(key, "JOIN 0 u2 n2 m2\r\nJOIN 0 u3 n3 m3\r\n");
    ASSERT_FALSE(client.session(key)->isAlone());
    feed(key, "QUIT 0 u2\r\n");
    feed(key, "QUIT 0 u3\r\n");
    const QList<QVariantMap> quits = client.noted(notifications::kChatSessionUserQuit);
    ASSERT_EQ(quits.size(), 2);
    EXPECT_EQ(quits[0], (QVariantMap{{QStringLiteral("velaID"), QStringLiteral("u2")}, {QStringLiteral("isLast"), false}, {QStringLiteral("sessionKey"), key}}));
    EXPECT_EQ(quits[1].value(QStringLiteral("isLast")), true);
    EXPECT_TRUE(client.session(key)->isAlone());
    EXPECT_EQ(client.manager.userCountForSession(key), 0);
}

TEST_F(ChatManagerTest, AJoinOfAMemberAlreadyPresentDeliversNothing)
{
    const QString key = ownRoom();
    feed(key, "JOIN 0 u2 n2 m2\r\nJOIN 0 u2 other other\r\n");
    const QList<QVariantMap> joins = client.noted(notifications::kChatSessionUserJoin);
    ASSERT_EQ(joins.size(), 1);
    EXPECT_EQ(joins[0].value(QStringLiteral("name")), QStringLiteral("m2"));
    EXPECT_EQ(client.manager.userInfosInSession(key).value(0).toMap().value(QStringLiteral("name")), QStringLiteral("m2"));
}

TEST_F(ChatManagerTest, FileOffersActivateEvenAnActiveRoomAndReachTheTransferManager)
{
    const QString key = ownRoom();
    ASSERT_TRUE(client.session(key)->isActivated());
    feed(key, "WHSP 0 u2|x|y FILE REQUEST%092%09a.txt|3|k1%09b.txt|4|k2\r\n");
    const QList<QVariantMap> activated = client.noted(notifications::kChatSessionActivated);
    ASSERT_EQ(activated.size(), 2);
    EXPECT_EQ(activated[1].value(QStringLiteral("activateType")), QStringLiteral("fileTransfer"));
    EXPECT_EQ(activated[1].value(QStringLiteral("fileCookies")).toStringList(), (QStringList{QStringLiteral("k1"), QStringLiteral("k2")}));
    EXPECT_EQ(activated[1].value(QStringLiteral("senderID")), QStringLiteral("u2"));
    ASSERT_EQ(client.files.offers.size(), 1);
    EXPECT_EQ(client.files.offers[0].value(QStringLiteral("dpKey")), QStringLiteral("x|y"));
    EXPECT_EQ(client.files.offers[0].value(QStringLiteral("sessionKey")), key);

    feed(key, "WHSP 0 u2 FILE CANCEL%092%09k1%09k2\r\nWHSP 0 u2 FILE NACK%091%09c.txt|5|k3\r\n");
    EXPECT_EQ(client.files.cancelled, (QStringList{QStringLiteral("k1"), QStringLiteral("k2")}));
    EXPECT_EQ(client.files.rejected, QStringList{QStringLiteral("k3")});
}

TEST_F(ChatManagerTest, WarningOfTypeOneLinksTheReportPage)
{
    const QString key = ownRoom();
    RecordingReceiver window;
    client.manager.setMessageReceiver(&window, key);
    feed(key, "JOIN 0 stranger n m\r\n"); // not a buddy: left out of the report
    const QString text = QString(88, QLatin1Char('a')) + QString(512, QLatin1Char('b'));
    windows.chatTexts.insert(key, text);
    feed(key, "SPSH 0 BANKWARN careful\r\nSPSH 0 HARDWARN stop\r\n");
    const QStringList messages = window.messages();
    ASSERT_EQ(messages.size(), 2);
    ASSERT_EQ(bridge.parameters.size(), 1);
    EXPECT_EQ(bridge.parameters[0], QLatin1String("buddy%3d%26text%3d") + base64Encode(QString(512, QLatin1Char('b'))));
    EXPECT_EQ(messages[0], QStringLiteral("careful<br><br><a href='https://report.parley.test/?p=%1' target=\"_blank\">%2</a>")
                               .arg(bridge.parameters[0], KCLocalizedString(QStringLiteral("Reporting"))));
    EXPECT_EQ(messages[1], QStringLiteral("stop"));
    EXPECT_EQ(window.named(QStringLiteral("messageReceived"))[1].value(QStringLiteral("activateType")), QStringLiteral("spshMessage"));
}

struct AckCase {
    const char *line;
    bool reported;
};

class AnimiconAckTest : public ChatManagerTest, public ::testing::WithParamInterface<AckCase> {};

TEST_P(AnimiconAckTest, ReportsOnlyAMissingAnimicon)
{
    const QString key = ownRoom();
    RecordingReceiver window;
    client.manager.setMessageReceiver(&window, key);
    feed(key, QByteArray(GetParam().line) + "\r\n");
    const QList<QVariantMap> acks = window.named(QStringLiteral("ackAnimicon"));
    ASSERT_EQ(acks.size(), GetParam().reported ? 1 : 0);
    if (GetParam().reported)
        EXPECT_EQ(acks[0], (QVariantMap{{QStringLiteral("sessionKey"), key},
                                        {QStringLiteral("userID"), QStringLiteral("u2")},
                                        {QStringLiteral("message"), QStringLiteral("u2 ") + KCLocalizedString(QStringLiteral("NotInstallAnimicon"))}}));
}

INSTANTIATE_TEST_SUITE_P(Acks, AnimiconAckTest,
                         ::testing::Values(AckCase{"WHSP 0 u2 ANIMICON ACK%090", true},
                                           AckCase{"WHSP 0 u2 ANIMICON ACK%091", false},
                                           AckCase{"WHSP 0 u2 ANIMICON ACK", false},
                                           AckCase{"WHSP 0 u2 ANIMICON ACK%09x", true}));

struct KeyCase {
    const char *name;
    MirrorChatCrypto::Mode mode;
    const char *notification; // null: the exchange goes on
};

class KeyExchangeTest : public ChatManagerTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyExchangeTest, ServerKeyIsAnsweredOrTheFailureNamed)
{
    client.setEncrypted(true);
    client.crypto.mode = GetParam().mode;
    const QString key = ownRoom();
    ASSERT_TRUE(waitUntil([&] { return capture.received.startsWith("NCPT 1 me ro 0\r\n"); }));
    feed(key, "NCPT 1 ro BASE64 " + QByteArray::number(MirrorChatCrypto::serverKey().size()) + "\r\n" + MirrorChatCrypto::serverKey());
    if (GetParam().notification) {
        ASSERT_EQ(client.notes.last().first, QString::fromLatin1(GetParam().notification));
        EXPECT_TRUE(client.session(key)->encryptKey().isNull());
        return;
    }
    EXPECT_EQ(client.session(key)->encryptKey(), MirrorChatCrypto::clientKey());
    ASSERT_TRUE(waitUntil([&] { return capture.received.contains("PRVK 2 BASE64 16\r\n" + MirrorChatCrypto::clientKey().toLatin1()); }));
    // A later public key is answered with ESSK.
    feed(key, "PBLK 0 " + MirrorChatCrypto::serverKey() + "\r\n");
    ASSERT_TRUE(waitUntil([&] { return capture.received.endsWith("ESSK 3 " + MirrorChatCrypto::clientKey().toLatin1() + " BASE64\r\n"); }));
}

INSTANTIATE_TEST_SUITE_P(Exchanges, KeyExchangeTest,
                         ::testing::Values(KeyCase{"Agreed", MirrorChatCrypto::Mode::Agree, nullptr},
                                           KeyCase{"CertificateRefused", MirrorChatCrypto::Mode::RefuseCertificate, notifications::kCertError},
                                           KeyCase{"NoContext", MirrorChatCrypto::Mode::NoContext, notifications::kCertInitError}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ChatManagerTest, DetachedReceiverLeavesEventsToNotifications)
{
    const QString key = ownRoom();
    RecordingReceiver window;
    client.manager.setMessageReceiver(&window, key);
    feed(key, "JOIN 0 u2 n m\r\nMESG 0 u2 MSG one\r\n");
    client.manager.setMessageReceiver(nullptr, key);
    feed(key, "MESG 0 u2 MSG two\r\n");
    EXPECT_EQ(window.messages(), QStringList{QStringLiteral("one")});
    ASSERT_EQ(client.noted(notifications::kChatSessionMessageReceived).size(), 1);
    EXPECT_EQ(client.noted(notifications::kChatSessionMessageReceived)[0].value(QStringLiteral("message")), QStringLiteral("two"));
}

TEST_F(ChatManagerTest, UnknownRoomsAreRefused)
{
    EXPECT_FALSE(client.manager.sendMessage(QStringLiteral("x"), QStringLiteral("nowhere")));
    EXPECT_FALSE(client.manager.leaveMessage(QStringLiteral("x"), QStringLiteral("nowhere")));
    EXPECT_FALSE(client.manager.sendTypingInfo(1, QStringLiteral("nowhere")));
    EXPECT_FALSE(client.manager.disconnectSession(QStringLiteral("nowhere")));
    EXPECT_FALSE(client.manager.isValidSessionKey(QStringLiteral("nowhere")));
    EXPECT_FALSE(client.manager.cancelUploadFile({{QStringLiteral("fileCookie"), QStringLiteral("k")}}, QStringLiteral("nowhere"), QStringLiteral("u2")));
    EXPECT_EQ(client.manager.ipForSession(QStringLiteral("nowhere")), QString());
}

TEST_F(ChatManagerTest, ResetForgetsRoomsWithoutClosingThem)
{
    const QString key = ownRoom();
    client.manager.reset();
    EXPECT_TRUE(client.manager.sessionKeys().isEmpty());
    EXPECT_TRUE(client.noted(notifications::kChatSessionWillClose).isEmpty());
}

} // namespace

namespace {

TEST_F(ChatManagerTest, OwnRequestThroughTheRelayEntersOnlyAfterTheRelayAnswers)
{
    WireCapture relay;
    client.manager.setRelayInfoProvider([&] {
        return QVariantMap{{QStringLiteral("host"), kHost}, {QStringLiteral("portNo"), relay.port()}};
    });
    client.requestRoom(QStringLiteral("10.1.2.3"), 7001, QStringLiteral("room1"), {QStringLiteral("u2")});
    ASSERT_TRUE(waitUntil([&] { return relay.received.endsWith("\r\n"); }));
    EXPECT_EQ(relay.received, QByteArray("RCON 1 10.1.2.3 7001\r\n")) << "no ENTR before the relay has connected the room";
    EXPECT_FALSE(client.session(QStringLiteral("room1"))->isEnterPending());
    relay.write("RCON 1\r\n");
    ASSERT_TRUE(waitUntil([&] { return relay.received.contains("ENTR 2 "); }));
}

TEST_F(ChatManagerTest, InvitationNeverGoesThroughTheRelay)
{
    WireCapture relay;
    client.manager.setRelayInfoProvider([&] {
        return QVariantMap{{QStringLiteral("host"), kHost}, {QStringLiteral("portNo"), relay.port()}};
    });
    const QString key = invitedRoom();
    ASSERT_TRUE(waitUntil([&] { return capture.received.startsWith("ENTR 1 "); }));
    EXPECT_FALSE(relay.connected());
    EXPECT_FALSE(client.session(key)->isPRSMode());
}

} // namespace
