// The crypto glue: the host-name check, message encryption that fails closed,
// and the certificate alert's one-at-a-time rule.
#include "SignInFixture.h"

#include "Sessions/PLEncrypUtil.h"
#include "TestSupport.h"

using namespace parley;
using namespace parley::test;

TEST(HostNameCheck, TheDomainMustStartAtALabelBoundary)
{
    const struct {
        const char *host;
        bool valid;
    } cases[] = {
        {"parley.test", true},       {"ns.parley.test", true},  {"a.b.parley.test", true},
        {"NS.Parley.Test", true},    {"evilparley.test", false}, {"ns.evilparley.test", false},
        {"parley.test.evil", false}, {"arley.test", false},      {"", false},
        {".parley.test", false},      {"test", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.host);
        EXPECT_EQ(isHostInPortalDomain(QLatin1String(c.host), QStringLiteral("parley.test")), c.valid);
    }
    EXPECT_FALSE(isHostInPortalDomain(QStringLiteral("ns.parley.test"), QString()));
}

TEST(EncrypUtil, AKeyThatWasNeverExportedEnciphersNothing)
{
    EXPECT_TRUE(PLEncrypUtil::shared().enCryptMessage(QStringLiteral("secret"), QStringLiteral("no-such-key")).isNull());
    EXPECT_FALSE(PLEncrypUtil::shared().deCryptMessage(QStringLiteral("c2VjcmV0"), QStringLiteral("no-such-key")));
    PLEncrypUtil::shared().clearSessionDicForSSK(QStringLiteral("no-such-key"));
}

TEST(EncrypUtil, ServerKeyInformationThatDoesNotDecodeGivesNoKey)
{
    for (const QByteArray &info : {QByteArray(), QByteArray("not base64 at all"), QByteArray("QUJDRA==")}) {
        SCOPED_TRACE(info.toStdString());
        EXPECT_TRUE(PLEncrypUtil::shared().encryptSessionKey(info, false).isEmpty());
    }
}

TEST_F(SignInTest, AnAgreedSessionEnciphersAndAFailedDecipheringIsReported)
{
    startService();
    auto driver = makeDriver(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"));
    driver->start();
    ASSERT_TRUE(waitUntil([&] { return driver->signedIn(); }, 15000));
    const QString key = driver->dpSession()->encryptKey();
    PLEncrypUtil &util = PLEncrypUtil::shared();
    ASSERT_TRUE(util.hasSession(key));

    const QString enciphered = util.enCryptMessage(QStringLiteral("héllo wörld"), key);
    ASSERT_FALSE(enciphered.isEmpty());
    EXPECT_NE(enciphered, QStringLiteral("héllo wörld"));
    EXPECT_EQ(util.deCryptMessage(enciphered, key), std::optional<QString>(QStringLiteral("héllo wörld")));
    // Never the input handed back as if it were the plain text.
    QString damaged = enciphered;
    damaged[damaged.size() / 2] = damaged[damaged.size() / 2] == u'A' ? u'B' : u'A';
    for (const QString &bad : {damaged, QStringLiteral("!!not base64!!"), enciphered.left(4)}) {
        SCOPED_TRACE(bad.toStdString());
        const std::optional<QString> plain = util.deCryptMessage(bad, key);
        EXPECT_TRUE(!plain || *plain != bad);
        EXPECT_NE(plain, std::optional<QString>(QStringLiteral("héllo wörld")));
    }

    util.clearSessionDicForSSK(key);
    EXPECT_FALSE(util.hasSession(key));
    EXPECT_TRUE(util.enCryptMessage(QStringLiteral("again"), key).isNull());
}

namespace {

// An alert that, while open, asks for a second one.
class NestingAlert : public PLCertAlert
{
public:
    int showWindowWithMessage(const QString &message, const QList<QByteArray> &chain, int code) override
    {
        ++shown;
        if (shown == 1)
            nestedAnswer = PLCertAlert::ask(message, chain, code);
        return Continue;
    }
    int shown = 0;
    int nestedAnswer = 0;
};

} // namespace

TEST(CertAlert, OneAlertAtATimeAndStopWithoutAWindow)
{
    EXPECT_EQ(PLCertAlert::ask(QStringLiteral("m"), {}, -2), PLCertAlert::Stop);
    NestingAlert alert;
    PLCertAlert::setShared(&alert);
    EXPECT_EQ(PLCertAlert::ask(QStringLiteral("m"), {}, -2), PLCertAlert::Continue);
    EXPECT_EQ(alert.shown, 1);
    EXPECT_EQ(alert.nestedAnswer, PLCertAlert::Stop);
    // Closed again: the next request is shown.
    EXPECT_EQ(PLCertAlert::ask(QStringLiteral("m"), {}, -2), PLCertAlert::Continue);
    EXPECT_EQ(alert.shown, 2);
    PLCertAlert::setShared(nullptr);
}
