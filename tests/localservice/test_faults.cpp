// Misbehaviour on request (drop, silent, garbage, oversize, trickle) and the
// bounds every connection keeps.
#include "FaultPlan.h"
#include "LineConnection.h"
#include "ServiceFixture.h"

using namespace localservice;
using namespace localservice::test;

namespace {

class FaultTest : public ServiceTest {
protected:
    void startWithFault(const QString &rule)
    {
        ServiceOptions options;
        options.faults = {rule};
        startService(options);
    }
    // A full round trip on a fresh connection: the service has handled
    // everything sent before it on other connections.
    void roundTrip()
    {
        auto other = connectDispatch();
        other->send("PVER 1 1.0 3.0 ko.macm\r\n");
        ASSERT_EQ(other->readLine(), QByteArray("PVER 1 N"));
    }
};

} // namespace

TEST(FaultPlan, ParsesSpecsAndExplainsBadOnes)
{
    FaultPlan plan;
    EXPECT_TRUE(plan.isEmpty());
    EXPECT_EQ(plan.add(QStringLiteral("drop:LIN4, silent:CONF,garbage:GLST")), QString());
    EXPECT_EQ(plan.add(QStringLiteral("oversize:NCPT")), QString());
    EXPECT_EQ(plan.actionFor(QStringLiteral("LIN4")), FaultPlan::Action::Drop);
    EXPECT_EQ(plan.actionFor(QStringLiteral("CONF")), FaultPlan::Action::Silent);
    EXPECT_EQ(plan.actionFor(QStringLiteral("GLST")), FaultPlan::Action::Garbage);
    EXPECT_EQ(plan.actionFor(QStringLiteral("NCPT")), FaultPlan::Action::Oversize);
    EXPECT_EQ(plan.actionFor(QStringLiteral("LIST")), FaultPlan::Action::None);
    EXPECT_FALSE(plan.trickle());
    EXPECT_EQ(plan.add(QStringLiteral("trickle")), QString());
    EXPECT_TRUE(plan.trickle());

    struct Case {
        const char *rule;
        const char *error;
    } const cases[] = {
        {"explode:LIN4", "unknown kind \"explode\""},
        {"drop:lin4", "\"lin4\" is not a four-letter command word"},
        {"drop:", "is not a four-letter command word"},
        {"drop", "expected KIND:COMMAND or trickle"},
        {"oversize:PVER", "only the answers to NCPT, LIN4, CONF carry a body"},
        {"silent:LIST,bogus", "expected KIND:COMMAND or trickle"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rule);
        FaultPlan bad;
        const QString error = bad.add(QString::fromLatin1(c.rule));
        EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
        EXPECT_TRUE(bad.isEmpty()); // a bad rule adds nothing, not even its good parts
    }
}

TEST_F(FaultTest, DropClosesAtTheNamedDispatchStep)
{
    startWithFault(QStringLiteral("drop:REQS"));
    auto client = connectDispatch();
    client->send("PVER 1 1.0 3.0 ko.macm\r\nAUTH 2 DES\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("PVER 1 N"));
    EXPECT_EQ(client->readLine(), QByteArray("AUTH 2 DES"));
    client->send("REQS 3 DES alice@parley.test\r\n");
    EXPECT_TRUE(client->waitClosed());
    EXPECT_TRUE(client->pending().isEmpty());
}

TEST_F(FaultTest, DropClosesAtTheNamedSignInStep)
{
    startWithFault(QStringLiteral("drop:LIN4"));
    auto client = connectNotification();
    client->send(lin4(1, "alice@parley.test", "PLN", signInText("alice-pw", "PLN")));
    EXPECT_TRUE(client->waitClosed());
    EXPECT_TRUE(client->pending().isEmpty());
}

TEST_F(FaultTest, SilentAnswersNothingFromTheNamedStepOn)
{
    startWithFault(QStringLiteral("silent:AUTH"));
    auto client = connectDispatch();
    client->send("PVER 1 1.0 3.0 ko.macm\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("PVER 1 N"));
    client->send("AUTH 2 DES\r\nREQS 3 DES alice@parley.test\r\n");
    roundTrip();
    roundTrip();
    EXPECT_TRUE(client->isConnected());
    EXPECT_TRUE(client->pending().isEmpty());
}

TEST_F(FaultTest, GarbageLinesComeBeforeTheRealAnswer)
{
    startWithFault(QStringLiteral("garbage:PVER"));
    auto client = connectDispatch();
    client->send("PVER 1 1.0 3.0 ko.macm\r\n");
    const QByteArray garbage = FaultPlan::garbageLines();
    EXPECT_EQ(client->readBytes(garbage.size()), garbage);
    EXPECT_EQ(client->readLine(), QByteArray("PVER 1 N"));
    // The other steps are not touched.
    client->send("AUTH 2 DES\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("AUTH 2 DES"));
}

TEST_F(FaultTest, OversizeAnnouncesAnImpossibleBodyLength)
{
    startWithFault(QStringLiteral("oversize:CONF,oversize:NCPT"));
    auto client = connectNotification();
    client->send("NCPT 1 alice@parley.test PRM 0\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("NCPT 1 PRM BASE64 2147483647"));

    auto signedIn = connectNotification();
    signedIn->send(lin4(1, "alice@parley.test", "PLN", signInText("alice-pw", "PLN")));
    const auto lin4Answer = signedIn->readLine();
    ASSERT_TRUE(lin4Answer);
    EXPECT_TRUE(lin4Answer->endsWith(" PLN 146")) << lin4Answer->toStdString(); // not oversized
    ASSERT_TRUE(signedIn->readBytes(146));
    signedIn->send("CONF 2 0 0\r\n");
    EXPECT_EQ(signedIn->readLine(),
              "CONF 2 " + QByteArray::number(mService->accounts().confVersion()) + " 2147483647");
}

TEST_F(FaultTest, OversizeStrikesOnlyTheAnswerToItsOwnCommand)
{
    ServiceOptions options;
    options.faults = {QStringLiteral("oversize:NCPT")};
    startService(options, /*mirrorCipher=*/false);
    auto client = connectNotification();
    client->send("NCPT 1 alice@parley.test PRM 0\r\n"); // refused: no key exchange
    EXPECT_EQ(client->readLine(), QByteArray("502 1"));
    client->send(lin4(2, "alice@parley.test", "PLN", signInText("alice-pw", "PLN")));
    EXPECT_EQ(client->readLine(), QByteArray("LIN4 2 alice@parley.test PLN 146"));
}

TEST_F(FaultTest, TrickleDeliversTheSameAnswersByteByByte)
{
    startWithFault(QStringLiteral("trickle"));
    auto client = connectDispatch();
    client->send("PVER 1 1.0 3.0 ko.macm\r\nAUTH 2 DES\r\nREQS 3 DES alice@parley.test\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("PVER 1 N"));
    EXPECT_EQ(client->readLine(), QByteArray("AUTH 2 DES"));
    EXPECT_EQ(client->readLine(),
              "REQS 3 ns-local 127.0.0.1 " + QByteArray::number(mService->notificationPort()));
    EXPECT_GT(client->chunks(), 3);
    // A counted body trickles too, and the connection closes only after it.
    auto ns = connectNotification();
    ns->send(lin4(1, "alice@parley.test", "PLN", signInText("alice-pw", "PLN")) + "LOUT 2\r\n");
    EXPECT_EQ(ns->readLine(), QByteArray("LIN4 1 alice@parley.test PLN 146"));
    EXPECT_TRUE(ns->waitClosed());
    EXPECT_EQ(ns->pending().size(), 146);
}

TEST_F(FaultTest, LinesAndBodiesBeyondTheBoundsCutTheConnection)
{
    startService();
    struct Case {
        const char *what;
        QByteArray sent;
    } const cases[] = {
        {"endless line", QByteArray(LineConnection::kMaxLine + 1, 'x')},
        {"long line", QByteArray(LineConnection::kMaxLine + 1, 'x') + "\r\n"},
        {"huge body", "LOPT 0 TXT " + QByteArray::number(LineConnection::kMaxBody + 1) + "\r\n"},
        {"oversized body", "PRVK 1 BASE64 2147483647\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto client = connectNotification();
        client->send(c.sent);
        EXPECT_TRUE(client->waitClosed());
    }
}

TEST_F(FaultTest, LinesWithinTheBoundsAndBadTextAreHandled)
{
    startService();
    auto client = connectNotification();
    // A nickname as long as a line may be, before sign-in: taken, and refused for the state.
    const QByteArray longLine = "CNIK 1 " + QByteArray(LineConnection::kMaxLine - 7, 'x') + "\r\n";
    client->send(longLine + QByteArray("\xff\xfe 2\r\n") + QByteArray("PONG\0 3\r\n", 9)
                 + "PONG 4\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("500 1"));
    // The line that is not UTF-8 and the one with a zero byte are malformed.
    EXPECT_EQ(client->readLine(), QByteArray("501 2"));
    EXPECT_EQ(client->readLine(), QByteArray("501 3"));
    EXPECT_EQ(client->readLine(), QByteArray("PONG 4"));
}
