#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "RawHttpServer.h"
#include "ServicesTestSupport.h"
#include "UserDefaults.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLUtils.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;

namespace {

QMutex gLogLock;
QStringList gLogged;
void captureLog(const QString &line)
{
    QMutexLocker lock(&gLogLock);
    gLogged << line;
}
bool logged(const QString &text)
{
    QMutexLocker lock(&gLogLock);
    return gLogged.contains(text);
}

class MyInfoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standardUserDefaults().setPath(mFolder.filePath("defaults.plist"));
        QFile::remove(PLConfFilePath());
        PLConfManager::sharedManager().resetForTesting();
        me.resetForTesting();
    }
    void TearDown() override
    {
        setLogSink(nullptr);
        me.resetForTesting();
        QFile::remove(PLConfFilePath());
        PLConfManager::sharedManager().resetForTesting();
        UserDefaults::standardUserDefaults().setPath(UserDefaults::defaultPath());
    }
    QTemporaryDir mFolder;
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
};

} // namespace

TEST(PLMyInfoProfile, ParsesTheProfileSection)
{
    using Map = PLProfileDict;
    const struct {
        const char *name;
        QString reply;
        Map profile;
    } cases[] = {
        {"the documented example", "[profile]\nallow_buddy_only = Y\nchat_save_opt=N\n[other]\nx=1\n[Test]",
         Map{{"allow_buddy_only", "Y"}, {"chat_save_opt", "N"}}},
        {"CR LF lines do not open the section", "[profile]\r\nallow_buddy_only=Y\r\n[Test]", Map{}},
        {"a carriage return stays in the value", "[profile]\na=Y\r\n[Test]", Map{{"a", "Y\r"}}},
        {"two equals signs are ignored", "[profile]\na=b=c\nd=e\n[Test]", Map{{"d", "e"}}},
        {"tabs and spaces are trimmed", "[profile]\n\t k \t=\t v w \n[Test]", Map{{"k", "v w"}}},
        {"a later key wins, empty lines skipped", "\n[profile]\n\na=1\n\na=2\n[Test]", Map{{"a", "2"}}},
        {"lines before the section are ignored", "a=1\nnoise\n[profile]\nb=2\n[Test]", Map{{"b", "2"}}},
        {"a line without = not starting with [ is ignored", "[profile]\nnoise\nb=2\n[Test]", Map{{"b", "2"}}},
        {"the section opens again", "[profile]\na=1\n[x]\nb=2\n[profile]\nc=3\n[Test]",
         Map{{"a", "1"}, {"c", "3"}}},
        {"empty key and value", "[profile]\n=\n[Test]", Map{{"", ""}}},
        {"no section", "a=1\n[Test]", Map{}},
        {"empty", "", Map{}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PLMyInfoManager::profileDictFrom(c.reply), c.profile);
    }
}

TEST_F(MyInfoTest, LoginTypeEmptyFieldsAndOrchardID)
{
    const struct {
        QString type;
        bool loginType;
    } cases[] = {{"n", false}, {"N", false}, {"Y", true}, {"", true}, {QString(), true}, {"NN", true}};
    for (const auto &c : cases) {
        me.setLoginType(c.type);
        EXPECT_EQ(me.loginType(), c.loginType) << c.type.toStdString();
    }
    me.setOrchardCMN(QStringLiteral("%00"));
    EXPECT_TRUE(me.orchardCMN().isNull());
    me.setQ7CMN(QStringLiteral("%00"));
    EXPECT_TRUE(me.q7CMN().isNull());
    me.setOrchardID(QStringLiteral("%00"));
    EXPECT_TRUE(me.orchardID().isNull());
    me.setProfileValue(QStringLiteral("abc"), QStringLiteral("orchard_id"));
    EXPECT_EQ(me.orchardID(), QStringLiteral("abc"));
    me.setOrchardID(QStringLiteral("own"));
    EXPECT_EQ(me.orchardID(), QStringLiteral("own"));
    me.setProfileValue(QString(), QStringLiteral("k"));
    EXPECT_TRUE(me.profileValueForKey(QStringLiteral("k")).isNull());
}

TEST_F(MyInfoTest, ResetClearsTheIdentityOnly)
{
    me.setLoginID("a@vela.test");
    me.setCMN("1");
    me.setTicket("t");
    me.setVelaCMN("v");
    me.setOrchardCMN("o");
    me.setQ7CMN("q");
    me.setLoginType("N");
    me.setStatus(3);
    me.setDpIP("10.0.0.1");
    me.setDpKey("key");
    me.setQ7Mode(true);
    me.setGlobalMode(true);
    me.setProfileValue("Y", "allow_buddy_only");
    me.setMUserConfPath("/x");
    me.reset();
    EXPECT_TRUE(me.loginID().isNull());
    EXPECT_TRUE(me.cmn().isNull());
    EXPECT_TRUE(me.ticket().isNull());
    EXPECT_TRUE(me.velaCMN().isNull());
    EXPECT_TRUE(me.orchardCMN().isNull());
    EXPECT_TRUE(me.mProfileDict().isEmpty());
    EXPECT_TRUE(me.userConfPath().isNull());
    EXPECT_FALSE(me.isQ7Mode() || me.isGlobalMode());
    EXPECT_EQ(me.q7CMN(), QStringLiteral("q"));
    EXPECT_EQ(me.mLoginType(), QStringLiteral("N"));
    EXPECT_EQ(me.status(), 3);
    EXPECT_EQ(me.dpIP(), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(me.dpKey(), QStringLiteral("key"));
}

TEST_F(MyInfoTest, TokenIsKeptInThePrivateDefaultsFile)
{
    me.setToken(QStringLiteral("secret-token"));
    EXPECT_EQ(me.mToken(), QStringLiteral("secret-token"));
    UserDefaults fromDisk(UserDefaults::standardUserDefaults().path());
    EXPECT_EQ(fromDisk.stringForKey(QStringLiteral("accountToken")), QStringLiteral("secret-token"));
    EXPECT_EQ(QFile(UserDefaults::standardUserDefaults().path()).permissions()
                  & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());
    me.setToken(QString());
    EXPECT_FALSE(UserDefaults(UserDefaults::standardUserDefaults().path())
                     .objectForKey(QStringLiteral("accountToken"))
                     .isValid());
}

TEST_F(MyInfoTest, CertificateAlertSwitchNeedsTheUsersDictionary)
{
    me.setLoginID(QStringLiteral("a@vela.test"));
    me.setDisableCertAlert(true);
    EXPECT_FALSE(me.disableCertAlert());
    EXPECT_FALSE(UserDefaults::standardUserDefaults().hasUserDictionary(QStringLiteral("a@vela.test")));

    UserDefaults::standardUserDefaults().setUserDictionary(QStringLiteral("a@vela.test"), {{"showMail", true}});
    me.setDisableCertAlert(true);
    EXPECT_TRUE(me.disableCertAlert());
    EXPECT_EQ(UserDefaults::standardUserDefaults().userDictionary(QStringLiteral("a@vela.test")),
              (QVariantMap{{"showMail", true}, {"disableCertAlert", true}}));

    // A stored choice alone does not hide the alert in a new run.
    me.resetForTesting();
    me.setLoginID(QStringLiteral("a@vela.test"));
    EXPECT_FALSE(me.disableCertAlert());
}

TEST_F(MyInfoTest, ProfileDownloadPostsEscapedValuesAndReplacesTheProfile)
{
    RawHttpServer server;
    // No final line feed: the last value must not pick up the closing line.
    server.answer("/profile", "[profile]\nallow_buddy_only = Y\nchat_save_opt=N");
    PLConfManager::sharedManager().setConf(("get_profile_url=" + server.url("/profile") + "\r\n").toUtf8(), 1);
    me.setCMN(QStringLiteral("12&3"));
    me.setTicket(QStringLiteral("a=b&c d+/"));
    me.setProfileValue("old", "stale");
    me.downloadProfile();
    ASSERT_TRUE(waitUntil([&] { return me.profileValueForKey("stale").isNull(); }, 20000));
    ASSERT_EQ(server.receivedCount(), 1);
    const ReceivedRequest request = server.received().first();
    EXPECT_EQ(request.method, QByteArray("POST"));
    EXPECT_EQ(request.body, QByteArray("type=service&cmn=12%263&ticket=a%3Db%26c%20d%2B%2F"));
    EXPECT_EQ(request.header("Content-Type"), QByteArray("application/x-www-form-urlencoded;charset=UTF-8"));
    EXPECT_EQ(me.mProfileDict(), (PLProfileDict{{"allow_buddy_only", "Y"}, {"chat_save_opt", "N"}}));
}

TEST_F(MyInfoTest, ProfileDownloadNeedsItsValues)
{
    RawHttpServer server;
    server.answer("/profile", "[profile]\na=1\n");
    setLogSink(captureLog);
    me.setCMN("1");
    me.setTicket("t");
    me.downloadProfile(); // no address configured: nothing is sent
    PLConfManager::sharedManager().setConf(("get_profile_url=" + server.url("/profile") + "\r\n").toUtf8(), 1);
    me.setTicket(QString());
    {
        QMutexLocker lock(&gLogLock);
        gLogged.clear();
    }
    me.downloadProfile(); // no ticket: the worker stops
    ASSERT_TRUE(waitUntil([] {
        QMutexLocker lock(&gLogLock);
        return !gLogged.isEmpty();
    }));
    EXPECT_EQ(server.receivedCount(), 0);
}

TEST_F(MyInfoTest, AProfileForAnEarlierSignInIsDropped)
{
    RawHttpServer server;
    server.answer("/profile", "[profile]\nallow_buddy_only=Y\n");
    PLConfManager::sharedManager().setConf(("get_profile_url=" + server.url("/profile") + "\r\n").toUtf8(), 1);
    setLogSink(captureLog);
    me.setCMN("1");
    me.setTicket("t");
    me.downloadProfile();
    // The account signs out before the reply can reach the main thread.
    me.reset();
    me.setLoginID(QStringLiteral("b@vela.test"));
    ASSERT_TRUE(waitUntil([] { return logged(QStringLiteral("profile of a previous sign-in dropped")); }, 20000));
    EXPECT_TRUE(me.mProfileDict().isEmpty());
}
