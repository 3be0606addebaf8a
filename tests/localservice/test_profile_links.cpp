// Profile changes on the notification server: linking and unlinking the
// sister-service and portal accounts, the 309 refusal, the options kept, the
// account's other logins hearing the change, and the password scrambler
// undone against the client's own.
#include "ServiceFixture.h"

#include "AccountDirectory.h"
#include "NotificationServer.h"
#include "ProfileChange.h"
#include "Utils/ParleyStringAdditions.h"
#include "WebServer.h"

#include <QCryptographicHash>

using namespace localservice;
using namespace localservice::test;

namespace {

class ProfileLinksTest : public ServiceTest {
protected:
    void SetUp() override { startService(); }

    std::unique_ptr<RawClient> signedIn(const QByteArray &user, const QByteArray &password)
    {
        auto client = connectNotification();
        EXPECT_TRUE(signIn(*client, user, password));
        return client;
    }
    static QByteArray cprf(int tid, const QByteArray &body)
    {
        return "CPRF " + QByteArray::number(tid) + ' ' + QByteArray::number(body.size()) + "\r\n" + body;
    }
    const Account &alice() { return *mService->notificationServer()->directory().account("alice@parley.test"); }
};

TEST_F(ProfileLinksTest, SisterServiceAccountIsLinkedWithItsPasswordAndUnlinked)
{
    auto alice1 = signedIn("alice@parley.test", "alice-pw");
    auto alice2 = signedIn("alice@parley.test", "alice-pw");
    const QByteArray scrambled = parley::tkEncode3A(QStringLiteral("carol-pw")).toLatin1();

    alice1->send(cprf(5, "orchard_id=carol@parley.test&orchard_pw=" + parley::tkEncode3A("nope").toLatin1()));
    EXPECT_EQ(alice1->readLine(), QByteArray("309 5"));
    EXPECT_EQ(alice().orchardCMN, QStringLiteral("900001")) << "a refused link changes nothing";

    alice1->send(cprf(6, "orchard_id=carol@parley.test&orchard_pw=" + scrambled));
    EXPECT_EQ(alice1->readLine(),
              QByteArray("CPRF 6 111111 1 010-1111-0001 1 alice@parley.test O 100003 1 %00 1 N 1 %00 0"));
    EXPECT_EQ(alice().orchardID, QStringLiteral("carol@parley.test"));
    // The other login hears the change, without the password.
    EXPECT_EQ(alice2->readLine(),
              QByteArray("CPRF 0 111111 1 010-1111-0001 1 alice@parley.test O 100003 1 %00 1 N 1 %00 28"));
    EXPECT_EQ(alice2->readBytes(28), QByteArray("orchard_id=carol@parley.test"));

    alice1->send(cprf(7, "orchard_id="));
    EXPECT_EQ(alice1->readLine(), QByteArray("CPRF 7 111111 1 010-1111-0001 1 alice@parley.test O %00 1 %00 1 N 1 %00 0"));
    EXPECT_TRUE(alice().orchardCMN.isEmpty());
    EXPECT_TRUE(alice().orchardID.isEmpty());
}

TEST_F(ProfileLinksTest, PortalAccountIsLinkedByItsDigest)
{
    auto carol = signedIn("carol@parley.test", "carol-pw");
    const auto digest = [](const char *password, const char *id) {
        return QCryptographicHash::hash(QByteArray(password) + id, QCryptographicHash::Md5).toHex();
    };
    carol->send(cprf(3, "vela_id=bob&vela_pw2=" + digest("wrong", "bob")));
    EXPECT_EQ(carol->readLine(), QByteArray("309 3"));
    carol->send(cprf(4, "vela_id=BOB&vela_pw2=" + digest("bob-pw", "bob")));
    ASSERT_TRUE(carol->readLine().value_or("").startsWith("CPRF 4 "));
    const Account *account = mService->notificationServer()->directory().account("carol@parley.test");
    EXPECT_EQ(account->velaID, QStringLiteral("bob@parley.test"));
    EXPECT_EQ(account->velaCMN, QStringLiteral("100002"));
    carol->send(cprf(5, "vela_id="));
    ASSERT_TRUE(carol->readLine().value_or("").startsWith("CPRF 5 "));
    EXPECT_TRUE(account->velaID.isEmpty());
}

TEST_F(ProfileLinksTest, OptionsAreKeptAndTheOpenModeTravelsWithTheSisterServicesNumber)
{
    auto alice1 = signedIn("alice@parley.test", "alice-pw");
    alice1->send(cprf(8, "orchard_open_mode=B&allow_buddy_only=Y"));
    EXPECT_EQ(alice1->readLine(), QByteArray("CPRF 8 111111 1 010-1111-0001 1 alice@parley.test B 900001 1 %00 1 N 1 %00 0"));
    EXPECT_EQ(alice().profile.value("allow_buddy_only"), QStringLiteral("Y"));
}

TEST(ProfileChange, UnscramblesWhatTheClientScrambles)
{
    for (const QString &password : {QString(), QStringLiteral("a"), QStringLiteral("carol-pw"),
                                    QStringLiteral("23-bytes-long-password!"), QStringLiteral("비밀번호")}) {
        SCOPED_TRACE(password.toStdString());
        EXPECT_EQ(profile::unscramblePassword(parley::tkEncode3A(password)), password);
    }
    for (const char *bad : {"", "zz", "00112233", "ff0000000000000000000000000000000000000000000000"})
        EXPECT_TRUE(profile::unscramblePassword(QLatin1String(bad)).isNull()) << bad;
}

TEST(ProfileChange, SisterServicePagesNameThemselves)
{
    EXPECT_EQ(WebServer::sisterPagePaths().size(), 3);
    for (const QString &path : WebServer::sisterPagePaths())
        EXPECT_TRUE(WebServer::sisterPage(path).contains(path.toUtf8())) << path.toStdString();
}

} // namespace
