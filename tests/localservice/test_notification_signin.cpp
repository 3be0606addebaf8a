// The notification server's sign-in over a raw socket, with the demo data:
// key exchange, LIN4, LOPT, CONF, GLST, LIST, keepalive, CPRM and LOUT.
#include "ServiceFixture.h"
#include "WebServer.h"

#include "NotificationServer.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace localservice;
using namespace localservice::test;

namespace {

const QByteArray kAliceWords =
    "100001 Alice%20Kim Ally Y 1 %00 %00 alice@parley.test 100001 alice.orchard 900001 "
    "010-1111-0001 "
    "alice@parley.test %00 N token-alice ticket-alice\r\n";

const QByteArray kDemoConf = "get_profile_url=http://127.0.0.1/profile\r\n"
                             "memo_ipml=http://127.0.0.1/memo/box.jsp\r\n";

class SignInTest : public ServiceTest {
protected:
    void SetUp() override { startService(); }

    std::unique_ptr<RawClient> signedIn(const QByteArray &user, const QByteArray &password)
    {
        auto client = connectNotification();
        EXPECT_TRUE(signIn(*client, user, password));
        return client;
    }
    // Runs key exchange, then one LIN4; answers the first answer line.
    std::optional<QByteArray> lin4Answer(const QByteArray &lin4Bytes)
    {
        auto client = connectNotification();
        client->send("NCPT 1 u PRM 0\r\nPRVK 2 BASE64 16\r\n" + MirrorKeyExchange::clientKey());
        if (!client->readLine() || !client->readBytes(16) || client->readLine() != "PRVK 2 OK")
            return std::nullopt;
        client->send(lin4Bytes);
        return client->readLine();
    }
};

} // namespace

TEST_F(SignInTest, EncipheredSignInFromKeyExchangeToAccountDetails)
{
    auto client = connectNotification();
    client->send("NCPT 1 alice@parley.test PRM 0\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("NCPT 1 PRM BASE64 16"));
    EXPECT_EQ(client->readBytes(16), MirrorKeyExchange::serverKey());

    client->send("PRVK 2 BASE64 16\r\n" + MirrorKeyExchange::clientKey());
    EXPECT_EQ(client->readLine(), QByteArray("PRVK 2 OK"));

    // The password is enciphered on its own, then the whole text again.
    const QByteArray text = signInText(MirrorKeyExchange::encipher("alice-pw"), "NE3");
    const QByteArray body = MirrorKeyExchange::encipher(text);
    client->send(lin4(3, "alice@parley.test", "NE3", body));
    const QByteArray expected = MirrorKeyExchange::encipher(kAliceWords);
    EXPECT_EQ(client->readLine(),
              "LIN4 3 alice@parley.test NE3 " + QByteArray::number(expected.size()));
    const auto answer = client->readBytes(expected.size());
    ASSERT_TRUE(answer);
    EXPECT_EQ(MirrorKeyExchange::decipher(*answer), kAliceWords);
}

TEST(LocalServiceRuns, AConfigurationWithThisRunsAddressesIsNewerThanAnEarlierRunsOnOtherPorts)
{
    // A client keeps its copy of the configuration until a newer version
    // comes, and an earlier run's animicon address is dead now.
    const auto run = [] {
        LocalService service;
        QString error;
        EXPECT_TRUE(service.start(ServiceOptions(), &error)) << error.toStdString();
        return service.accounts().confVersion();
    };
    const int earlier = run();
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(parley::test::waitUntil([&] { return QDateTime::currentSecsSinceEpoch() > second; }, 2000));
    EXPECT_GT(run(), earlier);

    // A data file that names the address keeps its own version.
    QTemporaryDir folder;
    const QString data = folder.filePath(QStringLiteral("accounts.json"));
    QFile file(data);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"accounts": [], "configuration": {"version": 7, "values": {"animicon_file_url": "http://a/b"}}})");
    file.close();
    LocalService fixed;
    ServiceOptions options;
    options.dataFile = data;
    QString error;
    ASSERT_TRUE(fixed.start(options, &error)) << error.toStdString();
    EXPECT_EQ(fixed.accounts().confVersion(), 7);
}

TEST_F(SignInTest, DownloadsOptionsConfigurationGroupsAndBuddies)
{
    auto client = signedIn("alice@parley.test", "alice-pw");

    client->send("LOPT 0 TXT 18\r\nmemo_wnd_show=true");
    EXPECT_EQ(client->readLine(), QByteArray("LOPT 0 OK"));

    client->send("CONF 4 0 0\r\n");
    // The animicon site's address is known only once the web server listens.
    const QByteArray conf = "animicon_file_url=" + mService->web()->animiconBaseURL().toUtf8() + "\r\n" + kDemoConf;
    EXPECT_EQ(client->readLine(), "CONF 4 " + QByteArray::number(mService->accounts().confVersion()) + ' '
                                      + QByteArray::number(conf.size()));
    EXPECT_EQ(client->readBytes(conf.size()), conf);

    client->send("GLST 5 0\r\n");
    const char *const groups[] = {
        "GLST 5 3",
        "GLST 5 0 4 Y 1 Friends 0",
        "GLST 5 1 4 Y 2 Work 0",
        "GLST 5 2 4 N 100002 1",
        "GLST 5 3 4 N 100003 2",
    };
    for (const char *line : groups)
        EXPECT_EQ(client->readLine(), QByteArray(line));

    client->send("LIST 6\r\n");
    EXPECT_EQ(client->readLine(),
              QByteArray("LIST 6 0 2 1101 bob@parley.test 100002 Bob%20Lee Bobby %00 %00 %00 %00 "
                         "%00 Y %00 %00 N"));
    EXPECT_EQ(client->readLine(),
              QByteArray("LIST 6 1 2 1100 carol@parley.test 100003 Carol%20Park Carol%20Park "
                         "%00 %00 %00 %00 %00 Y %00 %00 N"));

    QStringList completed;
    QObject::connect(mService->notificationServer(), &NotificationServer::signInCompleted,
                     [&](const QString &user) { completed.append(user); });
    // The client sets its status, then ends the sign-in.
    client->send("ONST 22 O 0 %00 1\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("ONST 22 O"));
    client->send("CPRM 23 0\r\nPONG 24\r\n");
    // CPRM is answered by the presence of the buddies signed in (none) and
    // the count of the account's logins; then comes the keepalive's answer.
    EXPECT_EQ(client->readLine(), QByteArray("MCNT 0 O 1"));
    EXPECT_EQ(client->readLine(), QByteArray("PONG 24"));
    EXPECT_EQ(completed, QStringList{QStringLiteral("alice@parley.test")});

    client->send("LOUT 25\r\nPONG 26\r\n"); // nothing after LOUT is answered
    EXPECT_TRUE(client->waitClosed());
    EXPECT_TRUE(client->pending().isEmpty());
}

TEST_F(SignInTest, CurrentGroupCacheGetsOnlyTheCacheLine)
{
    auto client = signedIn("alice@parley.test", "alice-pw");
    client->send("GLST 5 3\r\nPONG 6\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("GLST 5 3"));
    EXPECT_EQ(client->readLine(), QByteArray("PONG 6"));
}

TEST_F(SignInTest, AccountWithoutGroupsOrBuddiesGetsEmptyLists)
{
    auto client = signedIn("carol@parley.test", "carol-pw");
    client->send("GLST 5 0\r\nLIST 6\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("GLST 5 1"));
    EXPECT_EQ(client->readLine(), QByteArray("GLST 5 0 0 %00 %00 %00 %00"));
    EXPECT_EQ(client->readLine(), QByteArray("LIST 6 0 0"));
}

TEST_F(SignInTest, ChecksThePasswordByItsType)
{
    // The n-th login of the account since the service started has its own
    // session key (the dpKey word): the first the account's dpKey, later
    // ones "<cmn>-<n>".
    int logins = 0;
    const QByteArray ok = "LIN4 3 alice@parley.test PLN ";
    const auto expectedAnswer = [&](const QByteArray &answer) -> QByteArray {
        if (answer != ok)
            return answer;
        ++logins;
        QByteArray words = kAliceWords;
        if (logins > 1)
            words.replace(" Y 1 %00 ", " Y 1 100001-" + QByteArray::number(logins) + ' ');
        return ok + QByteArray::number(words.size());
    };
    struct Case {
        QByteArray user, password, type, answer;
    } const cases[] = {
        {"alice@parley.test", "alice-pw", "PLN", ok},
        {"alice@parley.test", "alice-PW", "PLN", "301 3"},
        {"alice@parley.test", "%00", "PLN", "301 3"}, // an empty password, as the client writes it
        {"alice@parley.test", "", "PLN", "501 3"},    // an empty word: malformed
        {"nobody@parley.test", "alice-pw", "PLN", "201 3"},
        {"alice@parley.test", "token-alice", "TKN", ok},
        {"alice@parley.test", "alice-pw", "TKN", "301 3"},
        {"alice@parley.test", MirrorKeyExchange::encipher("alice-pw"), "NE3", ok},
        {"alice@parley.test", MirrorKeyExchange::encipher("bob-pw"), "NE3", "301 3"},
        {"alice@parley.test", "alice-pw", "NE3", "301 3"}, // not enciphered
        {"alice@parley.test", "alice-pw", "OTP", "301 3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.password + " " + c.type).toStdString());
        const std::optional<QByteArray> got = lin4Answer(lin4(3, c.user, "PLN", signInText(c.password, c.type)));
        EXPECT_EQ(got, expectedAnswer(c.answer));
    }
}

TEST_F(SignInTest, RefusesMalformedSignIns)
{
    const QByteArray good = signInText("alice-pw", "PLN");
    struct Case {
        const char *what;
        QByteArray sent, answer;
    } const cases[] = {
        {"three lines", lin4(3, "alice@parley.test", "PLN", "alice-pw PLN N Ab3G\r\nx\r\ny\r\n"),
         "501 3"},
        {"no final CR LF", lin4(3, "alice@parley.test", "PLN", good.chopped(2)), "501 3"},
        {"a word short", lin4(3, "alice@parley.test", "PLN", QByteArray(good).replace(" N Ab3G", " N")),
         "501 3"},
        {"unknown type", lin4(3, "alice@parley.test", "XYZ", good), "501 3"},
        {"length not a number", "LIN4 3 alice@parley.test PLN x\r\n", "501 3"},
        {"field missing", "LIN4 3 alice@parley.test 5\r\n", "501 3"},
        {"not deciphered", lin4(3, "alice@parley.test", "NE3", "***"), "502 3"},
        {"not UTF-8", lin4(3, "alice@parley.test", "PLN", "\xff\xfe\r\n"), "501 3"},
        // Each line has its count of words, and none of them is empty.
        {"an empty version",
         lin4(3, "alice@parley.test", "PLN", QByteArray(good).replace("ko.macm 1.0 UTF8", "ko.macm  UTF8")), "501 3"},
        {"a space at the end of a line",
         lin4(3, "alice@parley.test", "PLN", QByteArray(good).replace("Y N N N", "Y N N N ")), "501 3"},
        {"a word too many", lin4(3, "alice@parley.test", "PLN", QByteArray(good).replace(" host ", " my host ")),
         "501 3"},
        {"a bare line feed", lin4(3, "alice@parley.test", "PLN", QByteArray(good).replace(" host ", " ho\nst ")),
         "501 3"},
        // The machine's identity in its forms.
        {"PC ID too short", lin4(3, "alice@parley.test", "PLN", QByteArray(good).replace("0123456789abcdef\r", "0123\r")),
         "501 3"},
        {"PC ID not hex",
         lin4(3, "alice@parley.test", "PLN", QByteArray(good).replace("0123456789abcdef\r", "0123456789abcdeg\r")),
         "501 3"},
        {"location key outside its alphabet (no Z)",
         lin4(3, "alice@parley.test", "PLN", QByteArray(good).replace("Ab3G", "Ab3Z")), "501 3"},
        {"location key too long", lin4(3, "alice@parley.test", "PLN", QByteArray(good).replace("Ab3G", "Ab3GG")),
         "501 3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(lin4Answer(c.sent), c.answer);
    }
}

TEST_F(SignInTest, RefusesEachStepOutOfTurn)
{
    struct Case {
        const char *what;
        QByteArray sent, answer;
    } const cases[] = {
        {"LOPT before sign-in", "LOPT 0 TXT 3\r\n%00", "500 0"},
        {"CONF before sign-in", "CONF 4 0 0\r\n", "500 4"},
        {"GLST before sign-in", "GLST 5 0\r\n", "500 5"},
        {"LIST before sign-in", "LIST 6\r\n", "500 6"},
        {"CPRM before sign-in", "CPRM 23 0\r\n", "500 23"},
        {"ONST before sign-in", "ONST 8 O 0 %00 1\r\n", "500 8"},
        {"ONST without status", "ONST 9 %00 0 %00 1\r\n", "501 9"},
        {"PRVK before NCPT", "PRVK 2 BASE64 16\r\n" + MirrorKeyExchange::clientKey(), "500 2"},
        {"enciphered LIN4 before the key",
         lin4(3, "alice@parley.test", "NE3", MirrorKeyExchange::encipher("x")), "500 3"},
        {"unknown command", "ABCD 7\r\n", "503 7"},
        {"no tid", "LIST\r\n", "501 0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto client = connectNotification();
        client->send(c.sent);
        EXPECT_EQ(client->readLine(), c.answer);
    }
}

TEST_F(SignInTest, KeyExchangeRefusesAWrongKeyAndASecondOffer)
{
    auto client = connectNotification();
    client->send("NCPT 1 u PRM 0\r\n");
    ASSERT_TRUE(client->readLine());
    ASSERT_TRUE(client->readBytes(16));
    client->send("PRVK 2 BASE64 5\r\nWRONGNCPT 3 u PRM 0\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("502 2"));
    EXPECT_EQ(client->readLine(), QByteArray("500 3"));
    // The offer still stands for the right key.
    client->send("PRVK 4 BASE64 16\r\n" + MirrorKeyExchange::clientKey());
    EXPECT_EQ(client->readLine(), QByteArray("PRVK 4 OK"));
}

TEST_F(SignInTest, SecondSignInOnTheSameConnectionIsRefused)
{
    auto client = signedIn("alice@parley.test", "alice-pw");
    client->send(lin4(8, "bob@parley.test", "PLN", signInText("bob-pw", "PLN")));
    EXPECT_EQ(client->readLine(), QByteArray("500 8"));
}

TEST_F(SignInTest, ServerPingIsAnsweredByTheClient)
{
    auto signedInClient = signedIn("alice@parley.test", "alice-pw");
    auto stranger = connectNotification(); // not signed in: gets no PING
    mService->notificationServer()->pingSignedIn();
    EXPECT_EQ(signedInClient->readLine(), QByteArray("PING 0"));
    signedInClient->send("PING 0\r\n");
    EXPECT_TRUE(parley::test::waitUntil(
        [&] { return mService->notificationServer()->pingAnswers() == 1; }));
    stranger->send("PONG 1\r\n");
    EXPECT_EQ(stranger->readLine(), QByteArray("PONG 1"));
}

namespace {

class WithoutCryptoTest : public ServiceTest {
protected:
    void SetUp() override { startService({}, /*mirrorCipher=*/false); }
};

} // namespace

TEST_F(WithoutCryptoTest, KeyExchangeIsRefusedAndPlainSignInStillWorks)
{
    auto client = connectNotification();
    client->send("NCPT 1 alice@parley.test PRM 0\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("502 1"));
    client->send(lin4(2, "alice@parley.test", "PLN", signInText("alice-pw", "PLN")));
    EXPECT_EQ(client->readLine(),
              "LIN4 2 alice@parley.test PLN " + QByteArray::number(kAliceWords.size()));
    EXPECT_EQ(client->readBytes(kAliceWords.size()), kAliceWords);
}

namespace {

class ListFilingTest : public ServiceTest {
protected:
    void SetUp() override
    {
        // Fay lists Gus without a group; Hal lists Fay, but Fay does not list
        // Hal (only the reverse bit), so Hal is in no group of hers.
        const QByteArray json = R"({"accounts": [
          {"id": "fay", "password": "pw", "cmn": "11", "name": "Fay", "groupCache": 4,
           "buddies": [{"id": "gus", "flags": "1100"}, {"id": "hal", "flags": "0001"}]},
          {"id": "gus", "password": "pw", "cmn": "12", "name": "Gus"},
          {"id": "hal", "password": "pw", "cmn": "13", "name": "Hal",
           "buddies": [{"id": "fay"}]}
        ]})";
        const QString path = QDir(parley::test::isolatedHome()).filePath(QStringLiteral("fay.json"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
        file.close();
        ServiceOptions options;
        options.dataFile = path;
        startService(options);
    }
};

} // namespace

TEST_F(ListFilingTest, OnlyTheOwnListIsFiledAndUngroupedBuddiesGoToTheDefaultGroup)
{
    auto client = connectNotification();
    ASSERT_TRUE(signIn(*client, "fay", "pw"));
    client->send("GLST 5 0\r\nLIST 6\r\n");
    EXPECT_EQ(client->readLine(), QByteArray("GLST 5 4"));
    EXPECT_EQ(client->readLine(), QByteArray("GLST 5 0 1 N 12 0"));
    // The buddy list still carries both, each with its own flags.
    EXPECT_EQ(client->readLine(),
              QByteArray("LIST 6 0 2 1100 gus 12 Gus Gus %00 %00 %00 %00 %00 Y %00 %00 N"));
    EXPECT_EQ(client->readLine(),
              QByteArray("LIST 6 1 2 0001 hal 13 Hal Hal %00 %00 %00 %00 %00 Y %00 %00 N"));
}

namespace {

// An account that needs a one-time password after its password.
class OneTimePasswordTest : public ServiceTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mDir.isValid());
        const QString path = mDir.filePath(QStringLiteral("accounts.json"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"accounts": [
            {"id": "otto@parley.test", "password": "otto-pw", "cmn": "100010", "name": "Otto", "otp": "424242"},
            {"id": "plain@parley.test", "password": "plain-pw", "cmn": "100011", "name": "Plain"}]})");
        file.close();
        ServiceOptions options;
        options.dataFile = path;
        startService(options);
    }
    // Key exchange, then the LIN4s in turn on one connection; their first answer lines.
    QList<QByteArray> answers(const QList<QByteArray> &lin4s)
    {
        auto client = connectNotification();
        client->send("NCPT 1 u PRM 0\r\nPRVK 2 BASE64 16\r\n" + MirrorKeyExchange::clientKey());
        QList<QByteArray> out;
        if (!client->readLine() || !client->readBytes(16) || client->readLine() != "PRVK 2 OK")
            return out;
        for (const QByteArray &sent : lin4s) {
            client->send(sent);
            const auto line = client->readLine();
            out.append(line.value_or("(nothing)"));
            if (line && line->startsWith("LIN4"))
                client->readBytes(line->split(' ').last().toInt());
        }
        return out;
    }
    QTemporaryDir mDir;
};

QByteArray plainLin4(int tid, const QByteArray &user, const QByteArray &password, const QByteArray &type)
{
    return lin4(tid, user, "PLN", signInText(password, type));
}

} // namespace

TEST_F(OneTimePasswordTest, TheRightPasswordAsksForTheOneTimePasswordWhichThenSignsIn)
{
    struct Case {
        const char *what;
        QList<QByteArray> sent;
        QList<QByteArray> expected;
    } const cases[] = {
        {"right password, then the number",
         {plainLin4(3, "otto@parley.test", "otto-pw", "PLN"), plainLin4(4, "otto@parley.test", "424242", "OTP")},
         {"395 3", "LIN4 4 otto@parley.test PLN"}},
        {"a wrong number, then the right one",
         {plainLin4(3, "otto@parley.test", "otto-pw", "PLN"), plainLin4(4, "otto@parley.test", "000000", "OTP"),
          plainLin4(5, "otto@parley.test", "424242", "OTP")},
         {"395 3", "395 4", "LIN4 5 otto@parley.test PLN"}},
        {"the number without the password first",
         {plainLin4(3, "otto@parley.test", "424242", "OTP")},
         {"395 3"}},
        {"a wrong password is refused as before",
         {plainLin4(3, "otto@parley.test", "otto-PW", "PLN")},
         {"301 3"}},
        {"an account without one signs in at once",
         {plainLin4(3, "plain@parley.test", "plain-pw", "PLN")},
         {"LIN4 3 plain@parley.test PLN"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QList<QByteArray> got = answers(c.sent);
        // The answer's length field varies with the account words.
        for (QByteArray &line : got) {
            if (line.startsWith("LIN4"))
                line = line.left(line.lastIndexOf(' '));
        }
        EXPECT_EQ(got, c.expected);
    }
}
