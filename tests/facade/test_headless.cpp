// parley-headless as its users run it: the local service and two drivers as
// separate processes, commands written to their standard input, the JSON
// lines they print checked.
#include "FacadeFixture.h"
#include "HeadlessCommands.h"
#include "HeadlessOutput.h"
#include "NotificationServer.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using namespace facade::test;

namespace {

// One running program whose output is read line by line as JSON.
class Program {
public:
    explicit Program(QProcess::ProcessChannelMode mode = QProcess::SeparateChannels)
    {
        mProcess.setProcessChannelMode(mode);
    }
    ~Program()
    {
        if (mProcess.state() != QProcess::NotRunning) {
            mProcess.kill();
            mProcess.waitForFinished(5000);
        }
    }
    QProcess &process() { return mProcess; }
    void command(const QByteArray &line) { mProcess.write(line + '\n'); }

    // The first output line (from the start) that matches.
    std::optional<QJsonObject> waitFor(const std::function<bool(const QJsonObject &)> &matches, int timeoutMs = 15000)
    {
        std::optional<QJsonObject> found;
        parley::test::waitUntil(
            [&] {
                while (mProcess.canReadLine())
                    mLines.append(QJsonDocument::fromJson(mProcess.readLine()).object());
                for (const QJsonObject &line : mLines)
                    if (matches(line)) {
                        found = line;
                        return true;
                    }
                return false;
            },
            timeoutMs);
        return found;
    }
    std::optional<QJsonObject> waitForName(const QString &name, int timeoutMs = 15000)
    {
        return waitFor([&](const QJsonObject &o) { return o.value("name").toString() == name; }, timeoutMs);
    }

private:
    QProcess mProcess;
    QList<QJsonObject> mLines;
};

class HeadlessTest : public FacadeTest {
protected:
    void SetUp() override
    {
        FacadeTest::SetUp();
        const QString home = parley::test::isolatedHome();
        mEndpoints = QDir(home).filePath("headless-endpoints.conf");
        QFile::remove(mEndpoints);
        mService.process().start(LOCALSERVICE_PROGRAM,
                                 {"--endpoints", mEndpoints, "--cert-chain", QDir(home).filePath("chain.pem"), "--key",
                                  QDir(home).filePath("server.key")});
        ASSERT_TRUE(mService.process().waitForStarted(10000));
        ASSERT_TRUE(parley::test::waitUntil([&] { return mService.process().canReadLine(); }, 15000));
        ASSERT_TRUE(mService.process().readLine().startsWith("listening "));
    }

    std::unique_ptr<Program> driver(const QString &user, const QString &password)
    {
        auto program = std::make_unique<Program>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PARLEY_ENDPOINTS", mEndpoints);
        env.insert("PARLEY_PASSWORD", password);
        program->process().setProcessEnvironment(env);
        program->process().start(HEADLESS_PROGRAM, {"--user", user});
        EXPECT_TRUE(program->process().waitForStarted(10000));
        EXPECT_TRUE(program->waitForName("ParleyLoginCompleted")) << user.toStdString();
        return program;
    }

    Program mService;
    QString mEndpoints;
};

} // namespace

TEST_F(HeadlessTest, TwoDriversSeeEachOthersChangesAsJsonLines)
{
    auto alice = driver("alice@parley.test", "alice-pw");
    auto bob = driver("bob@parley.test", "bob-pw");
    const auto online = alice->waitFor([](const QJsonObject &o) {
        return o.value("name") == "ParleyBuddyManagerBuddyLoggedIn"
            && o.value("userInfo").toObject().value("velaID") == "bob@parley.test";
    });
    EXPECT_TRUE(online);

    bob->command("status 3");
    EXPECT_TRUE(bob->waitFor([](const QJsonObject &o) { return o.value("command") == "status" && o.value("sent") == true; }));
    EXPECT_TRUE(alice->waitFor([](const QJsonObject &o) {
        return o.value("name") == "ParleyBuddyManagerBuddyUpdated"
            && o.value("userInfo").toObject().value("velaID") == "bob@parley.test";
    }));

    alice->command("memo bob@parley.test \"see you at 5\"");
    const auto memo = bob->waitForName("ParleyMessageReceived");
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->value("userInfo").toObject().value("message").toString(), "see you at 5");

    alice->command("group-add \"Book club\"");
    const auto group = alice->waitFor([](const QJsonObject &o) {
        return o.value("name") == "ParleyBuddyManagerGroupUpdated"
            && o.value("userInfo").toObject().value("group").toObject().value("groupName") == "Book club";
    });
    EXPECT_TRUE(group);

    alice->command("quit");
    EXPECT_TRUE(alice->waitForName("ParleyLogoutCompleted"));
    // It may have ended already while the event loop ran.
    EXPECT_TRUE(alice->process().state() == QProcess::NotRunning || alice->process().waitForFinished(10000));
    EXPECT_EQ(alice->process().exitCode(), 0);
    EXPECT_TRUE(bob->waitFor([](const QJsonObject &o) {
        return o.value("name") == "ParleyBuddyManagerBuddyLogout"
            && o.value("userInfo").toObject().value("velaID") == "alice@parley.test";
    }));
}

TEST_F(HeadlessTest, BadCommandsGetAnErrorLineAndChangeNothing)
{
    auto alice = driver("alice@parley.test", "alice-pw");
    struct Case {
        const char *line;
        const char *error;
    };
    const Case cases[] = {
        {"fly away", "unknown command \"fly\" (try help)"},
        {"status", "usage: status CODE"},
        {"status 9", "status code must be 0 to 6"},
        {"group-add \"unterminated", "unterminated quote"},
        {"remove bob@parley.test XL", "list must be FL, AL or BL"},
        {"move nobody@parley.test 1 2", "unknown buddy \"nobody@parley.test\""},
        {"move bob@parley.test 1", "usage: move ID FROM TO [ID FROM TO]..."},
        {"move bob@parley.test 1 2 carol@parley.test", "expected groups of 3 words"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        alice->command(c.line);
        const auto error = alice->waitFor([&](const QJsonObject &o) { return o.value("line") == QLatin1String(c.line); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->value("error").toString(), QLatin1String(c.error));
    }
    // Nothing went to the server: the next command's reply is still the first one.
    alice->command("status 2");
    EXPECT_TRUE(alice->waitFor([](const QJsonObject &o) { return o.value("command") == "status"; }));
    EXPECT_FALSE(alice->waitFor([](const QJsonObject &o) { return o.value("command") == "move"; }, 0));
}

TEST_F(HeadlessTest, BuddyRequestAcceptanceAndAForcedLogout)
{
    auto alice = driver("alice@parley.test", "alice-pw");
    auto carol = driver("carol@parley.test", "carol-pw");
    carol->command("request alice@parley.test 0 \"hi Alice\"");
    const auto request = alice->waitForName("ParleyBuddyManagerRequestedAddBuddy");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->value("userInfo").toObject().value("fromID").toString(), "carol@parley.test");
    EXPECT_EQ(request->value("userInfo").toObject().value("message").toString(), "hi Alice");
    EXPECT_TRUE(carol->waitForName("ParleyBuddyManagerAddBuddyResultReceived"));

    alice->command("accept carol@parley.test 1");
    EXPECT_TRUE(alice->waitFor([](const QJsonObject &o) { return o.value("command") == "accept" && o.value("sent") == true; }));

    // A second login of alice ends the first.
    auto again = driver("alice@parley.test", "alice-pw");
    again->command("end-sessions");
    const auto ended = again->waitForName("ParleySessionReceiveKill");
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->value("userInfo").toObject().value("result").toString(), "100");
    EXPECT_TRUE(alice->waitForName("ParleyMyIDLoggedInOtherPlace"));
    EXPECT_TRUE(alice->waitForName("ParleySessionKilled"));
}

// Every way out of the driver signs out: LOUT is the last line the service
// hears on the driver's line, and the program ends by itself where it should.
TEST_F(FacadeTest, HeadlessSignsOutWithLOUTOnEveryWayOut)
{
    const QString endpoints = QDir(parley::test::isolatedHome()).filePath("sign-out-endpoints.conf");
    ASSERT_TRUE(startService({}, endpoints));
    struct Case {
        const char *how;
        std::function<void(Program &)> leave;
        bool ends;
    } const cases[] = {
        {"logout", [](Program &p) { p.command("logout"); }, false},
        {"quit", [](Program &p) { p.command("quit"); }, true},
        {"end of input", [](Program &p) { p.process().closeWriteChannel(); }, true},
    };
    const QString alice = QStringLiteral("alice@parley.test");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.how);
        Program driver;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PARLEY_ENDPOINTS", endpoints);
        env.insert("PARLEY_PASSWORD", "alice-pw");
        driver.process().setProcessEnvironment(env);
        driver.process().start(HEADLESS_PROGRAM, {"--user", alice});
        ASSERT_TRUE(driver.waitForName("ParleyLoginCompleted"));
        const auto record = mService->notificationServer()->received().of(alice).last();
        ASSERT_FALSE(record->closed);
        c.leave(driver);
        ASSERT_TRUE(parley::test::waitUntil([&] { return record->closed; }, 10000));
        EXPECT_TRUE(record->lines.last().startsWith("LOUT ")) << record->lines.last().toStdString();
        EXPECT_EQ(record->lines.last().split(' ').size(), 2);
        if (c.ends) {
            EXPECT_TRUE(driver.process().state() == QProcess::NotRunning || driver.process().waitForFinished(10000));
            EXPECT_EQ(driver.process().exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(driver.process().exitCode(), 0) << driver.process().readAllStandardError().toStdString();
        }
    }
}

TEST(HeadlessGrammar, SplitsWordsAndQuotedText)
{
    using headless::HeadlessCommands;
    struct Case {
        QString line;
        std::optional<QStringList> words;
    };
    const Case cases[] = {
        {"status 2", QStringList{"status", "2"}},
        {"  memo   bob  hi ", QStringList{"memo", "bob", "hi"}},
        {"memo bob \"two words\"", QStringList{"memo", "bob", "two words"}},
        {"memo bob \"say \\\"hi\\\" \\\\ now\"", QStringList{"memo", "bob", "say \"hi\" \\ now"}},
        {"group-add \"\"", QStringList{"group-add", ""}},
        {"memo bob \"open", std::nullopt},
        {"", QStringList{}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        EXPECT_EQ(HeadlessCommands::split(c.line), c.words);
    }
}

TEST(HeadlessOutput, ValuesBecomeJson)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    headless::HeadlessOutput output(&buffer);
    output.notification("N", {{"text", "a\"b"},
                              {"number", 7},
                              {"flag", true},
                              {"bytes", QByteArray("\x00\xff", 2)},
                              {"list", QStringList{"x", "y"}},
                              {"map", QVariantMap{{"k", 1.5}}}});
    EXPECT_EQ(buffer.data(), QByteArray("{\"name\":\"N\",\"userInfo\":{\"bytes\":\"AP8=\",\"flag\":true,\"list\":[\"x\",\"y\"],"
                                        "\"map\":{\"k\":1.5},\"number\":7,\"text\":\"a\\\"b\"}}\n"));
}
