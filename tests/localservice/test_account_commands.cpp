// The notification server after sign-in, over raw sockets: presence between
// accounts, group batches, messages to users who are not signed in, ending
// other logins, and the web endpoints' replies.
#include "ServiceFixture.h"

#include "AccountDirectory.h"
#include "NotificationServer.h"
#include "WebServer.h"

using namespace localservice;
using namespace localservice::test;

namespace {

class AccountCommandsTest : public ServiceTest {
protected:
    void SetUp() override { startService(); }

    // Signed in, status set and sign-in completed.
    std::unique_ptr<RawClient> online(const QByteArray &user, const QByteArray &password)
    {
        auto client = connectNotification();
        EXPECT_TRUE(signIn(*client, user, password));
        client->send("ONST 4 O 0 %00 1\r\n");
        EXPECT_TRUE(lineStartingWith(*client, "ONST 4 "));
        client->send("CPRM 23 0\r\n");
        return client;
    }

    static std::optional<QByteArray> lineStartingWith(RawClient &client, const QByteArray &prefix)
    {
        for (int i = 0; i < 50; ++i) {
            const auto line = client.readLine();
            if (!line || line->startsWith(prefix))
                return line;
        }
        return std::nullopt;
    }
};

TEST_F(AccountCommandsTest, StatusChangesReachTheAccountsThatListTheUser)
{
    auto alice = online("alice@parley.test", "alice-pw");
    EXPECT_EQ(lineStartingWith(*alice, "MCNT "), QByteArray("MCNT 0 O 1"));
    auto bob = online("bob@parley.test", "bob-pw");
    // bob lists alice: his sign-in ends with her presence.
    EXPECT_EQ(lineStartingWith(*bob, "INFY "), QByteArray("INFY 0 alice@parley.test O 0 %00 1 ko.macm"));
    EXPECT_EQ(lineStartingWith(*alice, "NTFY "), QByteArray("NTFY 0 bob@parley.test O 0 %00 1 ko.macm"));

    bob->send("CNIK 5 Big%20Bob\r\n");
    EXPECT_EQ(lineStartingWith(*bob, "CNIK "), QByteArray("CNIK 5"));
    EXPECT_EQ(lineStartingWith(*alice, "NNIK "), QByteArray("NNIK 0 bob@parley.test Big%20Bob"));

    bob.reset(); // the connection closes: bob goes offline
    EXPECT_EQ(lineStartingWith(*alice, "NTFY "), QByteArray("NTFY 0 bob@parley.test X 0 %00 1 ko.macm"));
}

TEST_F(AccountCommandsTest, ASignInAnswersWithTheDisplayNameAsLastChanged)
{
    auto alice = online("alice@parley.test", "alice-pw");
    alice->send("CNIK 5 Ally%20K\r\n");
    ASSERT_EQ(lineStartingWith(*alice, "CNIK "), QByteArray("CNIK 5"));
    alice.reset();

    auto again = connectNotification();
    again->send("NCPT 1 alice@parley.test PRM 0\r\n");
    ASSERT_TRUE(again->readLine());
    ASSERT_TRUE(again->readBytes(MirrorKeyExchange::serverKey().size()));
    again->send("PRVK 2 BASE64 " + QByteArray::number(MirrorKeyExchange::clientKey().size()) + "\r\n"
                + MirrorKeyExchange::clientKey());
    ASSERT_EQ(again->readLine(), QByteArray("PRVK 2 OK"));
    again->send(lin4(3, "alice@parley.test", "PLN", signInText("alice-pw", "PLN")));
    const auto answer = again->readLine();
    ASSERT_TRUE(answer && answer->startsWith("LIN4 3 "));
    const auto words = again->readBytes(answer->split(' ').last().toInt());
    ASSERT_TRUE(words);
    // cmn, name, then the display name.
    EXPECT_EQ(words->split(' ').value(2), QByteArray("Ally%20K"));
}

TEST_F(AccountCommandsTest, BatchMoveAnswersOneCodePerEntry)
{
    auto alice = online("alice@parley.test", "alice-pw");
    // bob is in group 1, carol is not; group 9 does not exist.
    const QByteArray body = "0 100002 bob@parley.test 1 2\r\n"
                            "1 100003 carol@parley.test 1 2\r\n"
                            "2 100002 bob@parley.test 2 9\r\n";
    alice->send("MVBG 6 3 " + QByteArray::number(body.size()) + "\r\n" + body);
    const auto line = lineStartingWith(*alice, "MVBG 6 ");
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, "MVBG 6 4 " + QByteArray::number(QByteArray("0 100\r\n1 205\r\n2 206\r\n").size()));
    EXPECT_EQ(alice->readBytes(line->split(' ').last().toInt()), QByteArray("0 100\r\n1 205\r\n2 206\r\n"));
}

TEST_F(AccountCommandsTest, MessagesToUsersWhoAreNotSignedInAreRefused)
{
    auto alice = online("alice@parley.test", "alice-pw");
    alice->send("CTOC 7 bob@parley.test N 4\r\nIMSG");
    EXPECT_EQ(lineStartingWith(*alice, "205 "), QByteArray("205 7"));
    alice->send("CMSG 8 Y 16\r\nnobody\r\nIMSG\r\n\r\n");
    EXPECT_EQ(lineStartingWith(*alice, "205 "), QByteArray("205 8"));
}

TEST_F(AccountCommandsTest, EndingOtherLoginsSendsThemKill)
{
    auto first = online("alice@parley.test", "alice-pw");
    auto second = online("alice@parley.test", "alice-pw");
    second->send("KILS 9 A alice@parley.test\r\n");
    EXPECT_EQ(lineStartingWith(*second, "KILS "), QByteArray("KILS 9 100"));
    EXPECT_EQ(lineStartingWith(*first, "KILL "), QByteArray("KILL 0"));
    EXPECT_TRUE(first->waitClosed());
    second->send("KILS 10 A alice@parley.test\r\n");
    EXPECT_EQ(lineStartingWith(*second, "KILS "), QByteArray("KILS 10 200"));
}

TEST_F(AccountCommandsTest, TheLoginListNamesEachOtherLoginAndKilsEndsOnlyTheNamedOne)
{
    auto first = online("alice@parley.test", "alice-pw");
    auto second = online("alice@parley.test", "alice-pw");
    // The earlier login hears the new count.
    EXPECT_EQ(lineStartingWith(*first, "MCNT "), QByteArray("MCNT 0 O 1"));
    EXPECT_EQ(lineStartingWith(*first, "MCNT "), QByteArray("MCNT 0 O 2"));
    auto third = online("alice@parley.test", "alice-pw");
    third->send("ONST 5 O 0 %00 2\r\n"); // the third says it is a mobile phone
    EXPECT_TRUE(lineStartingWith(*third, "ONST 5 "));

    first->send("MLST 6 alice@parley.test 0\r\n");
    const auto header = lineStartingWith(*first, "MLST 6 ");
    ASSERT_TRUE(header);
    const QList<QByteArray> words = header->split(' ');
    ASSERT_EQ(words.size(), 5);
    EXPECT_EQ(words[3], "2");
    // Key, media type, equipment type, language/OS, computer name; never the asker.
    EXPECT_EQ(first->readBytes(words[4].toInt()),
              QByteArray("100001-2 1 0 ko.macm host\r\n100001-3 2 0 ko.macm host\r\n"));

    // "U" ends only the login of that key.
    first->send("KILS 7 U 100001-3\r\n");
    EXPECT_EQ(lineStartingWith(*first, "KILS 7 "), QByteArray("KILS 7 100"));
    EXPECT_EQ(lineStartingWith(*third, "KILL "), QByteArray("KILL 0"));
    EXPECT_TRUE(third->waitClosed());
    EXPECT_EQ(lineStartingWith(*second, "MCNT 0 O 2"), QByteArray("MCNT 0 O 2"));
    first->send("KILS 8 U 100001-3\r\n");
    EXPECT_EQ(lineStartingWith(*first, "KILS 8 "), QByteArray("KILS 8 200"));
    first->send("KILS 9 X alice@parley.test\r\n");
    EXPECT_EQ(lineStartingWith(*first, "501 "), QByteArray("501 9"));
    // "E" ends every other login.
    first->send("KILS 10 E 100001-2\r\n");
    EXPECT_EQ(lineStartingWith(*first, "KILS 10 "), QByteArray("KILS 10 100"));
    EXPECT_EQ(lineStartingWith(*second, "KILL "), QByteArray("KILL 0"));
    EXPECT_EQ(lineStartingWith(*first, "MCNT 0 O 1"), QByteArray("MCNT 0 O 1"));
}

TEST_F(AccountCommandsTest, GroupChangesNeedAGroupOfTheAccount)
{
    auto alice = online("alice@parley.test", "alice-pw");
    alice->send("RENG 11 3 42 New\r\n");
    EXPECT_EQ(lineStartingWith(*alice, "206 "), QByteArray("206 11"));
    alice->send("RENG 12 3 1 Best%20friends\r\n");
    EXPECT_EQ(lineStartingWith(*alice, "RENG "), QByteArray("RENG 12 4"));
    alice->send("ADDG 13 4 %00\r\n");
    EXPECT_EQ(lineStartingWith(*alice, "501 "), QByteArray("501 13"));
}

TEST_F(AccountCommandsTest, WebEndpointsAnswerFromTheAccounts)
{
    AccountDirectory &directory = mService->notificationServer()->directory();
    WebServer web(directory);
    EXPECT_EQ(web.mailCount("alice"), "unseen:0");
    EXPECT_EQ(web.mailCount("nobody"), "error:unknown");
    EXPECT_EQ(web.memoCount("owner_cmn=100001&ticket=ticket-alice"), "OK\n\nresult=cnt=0");
    directory.countMemo("alice@parley.test");
    EXPECT_EQ(web.memoCount("owner_cmn=100001&ticket=ticket-alice"), "OK\n\nresult=cnt=1");
    EXPECT_EQ(web.memoCount("owner_cmn=100001&ticket=wrong"), "ERROR\n\nresult=denied");
    EXPECT_EQ(web.mainAccount("encoded_value=&buddy_list=o1%3bo2"), "own:own:1<BR>o1:o1:1<BR>o2:o2:1<BR>");
    EXPECT_EQ(web.newPosts("encoded_value=x&buddy_list=o1%3ao1%3a1\r\n"), "ERROR<BR>o1:0:0<BR>");
}

} // namespace
