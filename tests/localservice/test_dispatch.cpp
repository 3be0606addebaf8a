// The login-dispatch server over a raw socket: the PVER, AUTH, REQS sequence,
// its order rules, and the relay mode (RCON).
#include "ServiceFixture.h"

#include "NotificationServer.h"

using namespace localservice;
using namespace localservice::test;

namespace {

class DispatchTest : public ServiceTest {
protected:
    void SetUp() override { startService(); }
    QByteArray reqsAnswer(int tid)
    {
        return "REQS " + QByteArray::number(tid) + " ns-local 127.0.0.1 "
             + QByteArray::number(mService->notificationPort());
    }
};

} // namespace

TEST_F(DispatchTest, AnswersTheSequenceWithTheNotificationServer)
{
    auto client = connectDispatch();
    client->send("PVER 1 1.0 3.0 ko.macm\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("PVER 1 N"));
    client->send("AUTH 2 DES\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("AUTH 2 DES"));
    client->send("REQS 3 DES alice@parley.test\r\n");
    EXPECT_EQ(client->readLine(), reqsAnswer(3));
}

TEST_F(DispatchTest, SequenceArrivingInOneChunkIsAnsweredInOrder)
{
    auto client = connectDispatch();
    client->send("PVER 7 %00 %00 %00\r\nAUTH 8 DES\r\nREQS 9 DES a%20b\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("PVER 7 N"));
    EXPECT_EQ(client->readLine(), QByteArray("AUTH 8 DES"));
    EXPECT_EQ(client->readLine(), reqsAnswer(9));
}

TEST_F(DispatchTest, RefusesCommandsOutOfOrderOrMalformed)
{
    struct Case {
        const char *sent;
        const char *answer;
    } const cases[] = {
        {"AUTH 1 DES\r\n", "500 1"},                     // before PVER
        {"REQS 2 DES alice@parley.test\r\n", "500 2"},   // before AUTH
        {"PVER 3 1.0 3.0\r\n", "501 3"},                 // a field short
        {"PVER\r\n", "501 0"},                           // no tid
        {"PVER x 1.0 3.0 ko.macm\r\n", "501 0"},         // tid not a number
        {"XYZW 4\r\n", "503 4"},                         // unknown command
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sent);
        auto client = connectDispatch();
        client->send(c.sent);
        EXPECT_EQ(client->readLine(), QByteArray(c.answer));
    }
}

TEST_F(DispatchTest, RefusesASecondPverAndAuthWithoutType)
{
    auto client = connectDispatch();
    client->send("PVER 1 1.0 3.0 ko.macm\r\nPVER 2 1.0 3.0 ko.macm\r\nAUTH 3 %00\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("PVER 1 N"));
    EXPECT_EQ(client->readLine(), QByteArray("500 2"));
    EXPECT_EQ(client->readLine(), QByteArray("501 3"));
}

TEST_F(DispatchTest, RelayToItselfThenServesTheSequence)
{
    auto client = connectDispatch();
    client->send("RCON 1 127.0.0.1 " + QByteArray::number(mService->dispatchPort()) + "\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("RCON 1"));
    client->send("PVER 2 1.0 3.0 ko.macm\r\nAUTH 3 DES\r\nREQS 4 DES bob@parley.test\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("PVER 2 N"));
    EXPECT_EQ(client->readLine(), QByteArray("AUTH 3 DES"));
    EXPECT_EQ(client->readLine(), reqsAnswer(4));
}

TEST_F(DispatchTest, RelayToTheNotificationServerHandsTheConnectionOver)
{
    auto client = connectDispatch();
    client->send("RCON 5 127.0.0.1 " + QByteArray::number(mService->notificationPort()) + "\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("RCON 5"));
    // Now the notification server answers on this connection.
    EXPECT_TRUE(signIn(*client, "alice@parley.test", "alice-pw"));
    client->send("PONG 6\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("PONG 6"));
}

TEST_F(DispatchTest, RelayRefusesForeignTargetsAndLateRequests)
{
    const QByteArray dispatch = QByteArray::number(mService->dispatchPort());
    struct Case {
        QByteArray sent;
        QByteArray answer;
    } const cases[] = {
        {"RCON 1 10.0.0.1 " + dispatch + "\r\n", "500 1"},  // not one of ours
        {"RCON 2 127.0.0.1 1\r\n", "500 2"},                // no server there
        {"RCON 3 127.0.0.1 port\r\n", "500 3"},
        {"RCON 4 127.0.0.1\r\n", "501 4"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sent.toStdString());
        auto client = connectDispatch();
        client->send(c.sent);
        EXPECT_EQ(client->readLine(), c.answer);
    }
    auto late = connectDispatch();
    late->send("PVER 1 1.0 3.0 ko.macm\r\nRCON 2 127.0.0.1 " + dispatch + "\r\n");
    EXPECT_EQ(late->readLine(), QByteArray("PVER 1 N"));
    EXPECT_EQ(late->readLine(), QByteArray("500 2"));
}
