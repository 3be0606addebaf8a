// The service refuses what a real server refuses: every line of every
// server is checked for its form (one space between fields, no empty field,
// no stray CR, LF or TAB, a numeric tid, the command's number of fields)
// before a handler sees it, and answered as a malformed command. It also
// keeps, per connection, every line a client sent, for tests to read.
#include "ServiceFixture.h"

#include "NotificationServer.h"
#include "SignInText.h"
#include "TestSupport.h"
#include "WireCheck.h"

using namespace localservice;
using namespace localservice::test;

namespace {

class StrictTest : public ServiceTest {
protected:
    void SetUp() override { startService(); }
};

// Collects Qt's warnings (the service's log) while alive.
class MessageCapture {
public:
    MessageCapture() { mPrevious = qInstallMessageHandler(&MessageCapture::handle); }
    ~MessageCapture()
    {
        qInstallMessageHandler(mPrevious);
        lines().clear();
    }
    static QStringList &lines()
    {
        static QStringList captured;
        return captured;
    }
    bool contains(const QString &text) const
    {
        for (const QString &line : lines())
            if (line.contains(text))
                return true;
        return false;
    }
    QString all() const { return lines().join(QLatin1Char('\n')); }

private:
    static void handle(QtMsgType, const QMessageLogContext &, const QString &message) { lines().append(message); }
    QtMessageHandler mPrevious = nullptr;
};

struct LineCase {
    const char *what;
    QByteArray sent;
    QByteArray answer;
};

} // namespace

TEST_F(StrictTest, NotificationServerRefusesMalformedLines)
{
    const LineCase cases[] = {
        {"two spaces", "PONG  5\r\n", "501 0"},
        {"an empty field in the middle", "CONF 5  0\r\n", "501 5"},
        {"a space at the end", "PONG 5 \r\n", "501 5"},
        {"a space at the start", " PONG 5\r\n", "501 0"},
        {"a bare line feed", "PONG 5\nPONG 6\r\n", "501 0"},
        {"a bare carriage return", "PONG 5\rX\r\n", "501 0"},
        {"a tab", "PONG\t5\r\n", "501 0"},
        {"tid not a number", "PONG five\r\n", "501 0"},
        {"a field too many", "PONG 5 x\r\n", "501 5"},
        {"a field short", "GLST 5\r\n", "501 5"},
        {"CTOC without its length", "CTOC 5 bob@parley.test\r\n", "501 5"},
        {"ADDB with one field too many", "ADDB 5 FL 1 a 0 x\r\n", "501 5"},
        {"LOUT with a field", "LOUT 5 now\r\n", "501 5"},
        {"not UTF-8", "PONG 5 \xc3\r\n", "501 5"},
    };
    for (const LineCase &c : cases) {
        SCOPED_TRACE(c.what);
        auto client = connectNotification();
        client->send(c.sent);
        EXPECT_EQ(client->readLine(), c.answer);
        // The connection stays usable: the next good line is answered.
        client->send("PONG 9\r\n");
        EXPECT_EQ(client->readLine(), QByteArray("PONG 9"));
    }
}

TEST_F(StrictTest, DispatchAndSwitchboardRefuseMalformedLines)
{
    {
        SCOPED_TRACE("dispatch");
        auto client = connectDispatch();
        client->send("PVER 1 1.0  ko.macm\r\n");
        EXPECT_EQ(client->readLine(), QByteArray("501 1"));
        client->send("PVER 2 1.0 3.0 ko.macm \r\n");
        EXPECT_EQ(client->readLine(), QByteArray("501 2"));
        client->send("PVER 3 1.0 3.0 ko.macm\r\n");
        EXPECT_EQ(client->readLine(), QByteArray("PVER 3 N"));
    }
    {
        SCOPED_TRACE("switchboard");
        RawClient client(mService->switchboardPort());
        ASSERT_TRUE(client.isConnected());
        client.send("MESG 4 MSG  hi\r\n");
        EXPECT_EQ(client.readLine(), QByteArray("501 4"));
        client.send("NCPT 5 u PRM\r\n");
        EXPECT_EQ(client.readLine(), QByteArray("501 5"));
    }
}

TEST_F(StrictTest, EveryRefusalIsLoggedWithItsReason)
{
    MessageCapture messages;
    auto client = connectNotification();
    client->send("CONF 5  0\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("501 5"));
    EXPECT_TRUE(messages.contains(QStringLiteral("notification server refused a line (field 2 is empty")))
        << messages.all().toStdString();
    client->send("GLST 6\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("501 6"));
    EXPECT_TRUE(messages.contains(QStringLiteral("2 fields where GLST takes 3"))) << messages.all().toStdString();
}

TEST_F(StrictTest, TheVersionOfTheSignInIsTheOneOfPVER)
{
    const auto dispatch = [&](const QByteArray &version) {
        auto client = connectDispatch();
        client->send("PVER 1 " + version + " 3.0 ko.macm\r\nAUTH 2 DES\r\nREQS 3 DES alice@parley.test\r\n");
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(client->readLine());
    };
    const auto signInAnswer = [&](const QByteArray &version) {
        auto client = connectNotification();
        client->send(lin4(3, "alice@parley.test", "PLN",
                          signInText("alice-pw", "PLN").replace("ko.macm 1.0 ", "ko.macm " + version + ' ')));
        return client->readLine().value_or("(nothing)").left(6);
    };
    dispatch("2.5.1");
    EXPECT_EQ(signInAnswer("1.0"), QByteArray("501 3"));
    dispatch("2.5.1");
    EXPECT_EQ(signInAnswer("2.5.1"), QByteArray("LIN4 3"));
    // A client that came straight to the notification server names its own.
    EXPECT_EQ(signInAnswer("1.0"), QByteArray("LIN4 3"));
}

TEST_F(StrictTest, KeepsEveryLineEachConnectionSentInOrder)
{
    auto alice = connectNotification();
    ASSERT_TRUE(signIn(*alice, "alice@parley.test", "alice-pw"));
    alice->send("PONG 7\r\nPONG  8\r\nLOUT 9\r\n");
    EXPECT_EQ(alice->readLine(), QByteArray("PONG 7"));
    EXPECT_EQ(alice->readLine(), QByteArray("501 0"));
    EXPECT_TRUE(alice->waitClosed());
    auto bob = connectNotification();
    ASSERT_TRUE(signIn(*bob, "bob@parley.test", "bob-pw"));

    const auto records = mService->notificationServer()->received().of(QStringLiteral("alice@parley.test"));
    ASSERT_EQ(records.size(), 1);
    const ReceivedRecord &record = *records.first();
    EXPECT_TRUE(record.closed);
    // Bodies are left out; a refused line is kept as it came.
    const QString lin4Line = QStringLiteral("LIN4 3 alice@parley.test PLN %1").arg(signInText("alice-pw", "PLN").size());
    EXPECT_EQ(record.lines, QStringList({"NCPT 1 alice@parley.test PRM 0", "PRVK 2 BASE64 16", lin4Line, "PONG 7",
                                         "PONG  8", "LOUT 9"}));
    EXPECT_FALSE(mService->notificationServer()->received().of(QStringLiteral("bob@parley.test")).first()->closed);
}

TEST(SignInTextReading, ReadsTheFieldsAServerChecks)
{
    const QByteArray good = signInText("pw", "PLN");
    QString why;
    const auto text = SignInText::read(good, &why);
    ASSERT_TRUE(text) << why.toStdString();
    EXPECT_EQ(text->password, "pw");
    EXPECT_EQ(text->passwordType, "PLN");
    EXPECT_EQ(text->clientVersion, "1.0");
    EXPECT_EQ(text->pcid, "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(text->locKey, "Ab3G");
    // "%00" is a word like any other: an empty value as the client writes it.
    EXPECT_TRUE(SignInText::read(QByteArray(good).replace("pw PLN", "%00 PLN"), &why)) << why.toStdString();
    EXPECT_FALSE(SignInText::read(QByteArray(good).replace("0123456789abcdef\r", "0123456789ABCDEF\r"), &why));
    EXPECT_EQ(why, "the PC ID \"0123456789abcdef0123456789ABCDEF\" is not 32 lower-case hex digits");
}

TEST(WireCheck, CountsFieldsByCommand)
{
    struct Case {
        QString line;
        QString fault;
    } const cases[] = {
        {"ADDB 1 FL 1 a 0", ""},
        {"ADDB 1 AL 1 a", ""},
        {"ADDB 1 AL 1", "4 fields where ADDB takes 5 to 6"},
        {"CTOC 1 me 12", ""},
        {"CTOC 1 bob N key 12", ""},
        {"CTOC 1 bob N key 12 x", "7 fields where CTOC takes 4 to 6"},
        {"ZZZZ 1 a b c", ""}, // not a command of this server: its handler answers it
        {"LIST", "no tid"},
        {"LIST 1  ", "field 2 is empty (two spaces, or a space at an end)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        EXPECT_EQ(lineFault(c.line, c.line.split(QLatin1Char(' ')), notificationShapes()), c.fault);
    }
}
