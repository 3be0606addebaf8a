// The shell's widget-free decisions: retry delays, versions of the message
// box, the global defaults, the certificate alert's explanations and what
// the certificate dialog reads of a certificate.
#include "CertificateSummary.h"
#include "ApplicationFolders.h"
#include "GlobalDefaults.h"
#include "KCCertAlertWindow.h"
#include "RetrySchedule.h"
#include "TestPki.h"
#include "UserDefaults.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::shell;

namespace {

RetrySchedule::Random fixed(int value)
{
    return [value] { return value; };
}

QByteArray opensslBytes(const QStringList &arguments, const QByteArray &input)
{
    QProcess tool;
    tool.start(QStringLiteral(PARLEY_OPENSSL_TOOL), arguments);
    tool.write(input);
    tool.closeWriteChannel();
    tool.waitForFinished(30000);
    return tool.readAllStandardOutput();
}

QString openssl(const QStringList &arguments, const QByteArray &input)
{
    return QString::fromUtf8(opensslBytes(arguments, input)).trimmed();
}

} // namespace

TEST(RetrySchedule, DelaysGrowWithTheNumberOfTheAttempt)
{
    struct Case {
        int random;
        int expected[10]; // attempts 1..10
    };
    const Case cases[] = {
        {0, {2, 2, 2, 6, 6, 10, 10, 10, 60, 60}},
        {7, {5, 5, 5, 9, 9, 17, 17, 17, 60, 60}},
        {13, {3, 3, 3, 7, 7, 13, 13, 13, 60, 60}},
    };
    for (const Case &c : cases) {
        for (int attempt = 1; attempt <= 10; ++attempt) {
            SCOPED_TRACE(testing::Message() << "random " << c.random << ", attempt " << attempt);
            EXPECT_EQ(RetrySchedule::delaySeconds(attempt, fixed(c.random)), c.expected[attempt - 1]);
        }
    }
    // Whatever the random source says, each step stays in its range.
    for (int r = 0; r < 200; ++r) {
        EXPECT_GE(RetrySchedule::delaySeconds(1, fixed(r)), 2);
        EXPECT_LE(RetrySchedule::delaySeconds(1, fixed(r)), 5);
        EXPECT_GE(RetrySchedule::delaySeconds(5, fixed(r)), 6);
        EXPECT_LE(RetrySchedule::delaySeconds(5, fixed(r)), 9);
        EXPECT_GE(RetrySchedule::delaySeconds(8, fixed(r)), 10);
        EXPECT_LE(RetrySchedule::delaySeconds(8, fixed(r)), 19);
    }
}

TEST(RetrySchedule, RandForRangeTakesEqualBoundsAsTheLowerBound)
{
    EXPECT_EQ(RetrySchedule::randForRange(4, 4, fixed(12345)), 4);
    EXPECT_EQ(RetrySchedule::randForRange(4, 3, fixed(12345)), 4);
    EXPECT_EQ(RetrySchedule::randForRange(2, 6, fixed(9)), 3);
    EXPECT_EQ(RetrySchedule::randForRange(10, 20, fixed(19)), 19);
}

TEST(ApplicationFolders, VersionsCompareByTheirLeadingDecimalNumber)
{
    const struct {
        const char *version;
        double value;
    } cases[] = {
        {"1.1", 1.1}, {"1.2", 1.2}, {"1.10", 1.1}, {"1.9", 1.9}, {"2.0.1", 2.0}, {"2.0", 2.0},
        {"10", 10.0}, {" 3.5beta", 3.5}, {"", 0.0},  {"abc", 0.0}, {".5", 0.5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.version);
        EXPECT_DOUBLE_EQ(ApplicationFolders::leadingDecimalValue(QLatin1String(c.version)), c.value);
    }
    EXPECT_LT(ApplicationFolders::leadingDecimalValue(QStringLiteral("1.10")),
              ApplicationFolders::leadingDecimalValue(QStringLiteral("1.9")));
}

TEST(GlobalDefaults, WritesEveryMissingKeyOnceAndDropsTheSavedPassword)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("defaults.plist")));
    defaults.setString(QStringLiteral("1234"), QStringLiteral("P2PPort"));
    defaults.setString(QStringLiteral("secret"), QStringLiteral("accountPassword"));
    shell::registerGlobalDefaults(defaults);

    // Read back from the file: the values persist, the ports as strings.
    UserDefaults reread(dir.filePath(QStringLiteral("defaults.plist")));
    const struct {
        const char *key;
        QVariant value;
    } expected[] = {
        {"accountname", QString(QLatin1String(""))},
        {"PlugIns", QVariantList{}},
        {"autoStart", true},
        {"autoUpdateCheck", true},
        {"UseProxy", false},
        {"ProxyIndex", qint64(2)},
        {"ProxyServer", QString(QLatin1String(""))},
        {"ProxyPortSocks4", QStringLiteral("1080")},
        {"ProxyPortSocks5", QStringLiteral("1080")},
        {"ProxyPortHTTP", QStringLiteral("80")},
        {"ProxyUser", QString(QLatin1String(""))},
        {"ProxyPassword", QString(QLatin1String(""))},
        {"P2PPort", QStringLiteral("1234")}, // kept
    };
    for (const auto &e : expected) {
        SCOPED_TRACE(e.key);
        const QVariant stored = reread.objectForKey(QLatin1String(e.key));
        ASSERT_TRUE(stored.isValid());
        EXPECT_EQ(stored.typeId(), e.value.typeId());
        EXPECT_EQ(stored, e.value);
    }
    EXPECT_EQ(reread.objectForKey(QStringLiteral("DefaultDomains")).toStringList().size(), 12);
    EXPECT_FALSE(reread.objectForKey(QStringLiteral("accountPassword")).isValid());

    // A second run changes nothing the user set.
    defaults.setBool(false, QStringLiteral("autoStart"));
    shell::registerGlobalDefaults(defaults);
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("autoStart")));
}

TEST(KCCertAlertWindow, EachTrustResultHasItsExplanation)
{
    const struct {
        int code;
        const char *key;
    } cases[] = {
        {-2, "NameCertErr"},        {0, "InvalidCertErr"}, {1, "NoCertErr"},    {4, "NoCertErr"},
        {2, "ConfirmCertErr"},      {3, "DenyCertErr"},    {5, "RecoverableCertErr"},
        {6, "FatalCertErr"},        {7, "OtherCertErr"},   {-1, "UnknownCertErr"}, {42, "UnknownCertErr"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(KCCertAlertWindow::explanationKeyForCode(c.code), QLatin1String(c.key));
    }
}

TEST(CertificateSummary, ReadsWhatTheOpensslToolReads)
{
    const parley::test::TestPki &pki = parley::test::TestPki::shared();
    ASSERT_TRUE(pki.made);
    QFile pem(pki.goodChain);
    ASSERT_TRUE(pem.open(QIODevice::ReadOnly));
    const QByteArray chain = pem.readAll();
    const QByteArray der = opensslBytes({"x509", "-outform", "DER"}, chain);
    ASSERT_FALSE(der.isEmpty());

    const auto summary = CertificateSummary::fromDer(der);
    ASSERT_TRUE(summary.has_value());
    const QString fingerprint = openssl({"x509", "-noout", "-fingerprint", "-sha256"}, chain);
    EXPECT_EQ(QStringLiteral("sha256 Fingerprint=") + summary->sha256, fingerprint);
    EXPECT_EQ(QStringLiteral("subject=") + summary->subject,
              openssl({"x509", "-noout", "-subject", "-nameopt", "RFC2253"}, chain));
    EXPECT_EQ(QStringLiteral("issuer=") + summary->issuer,
              openssl({"x509", "-noout", "-issuer", "-nameopt", "RFC2253"}, chain));
    EXPECT_EQ(summary->subject, QStringLiteral("CN=ns.parley.test"));
    EXPECT_EQ(summary->issuer, QStringLiteral("CN=Parley Test CA"));
    // Two days of validity, from the moment it was made.
    EXPECT_EQ(summary->notBefore.daysTo(summary->notAfter), 2);
    EXPECT_LE(summary->notBefore, QDateTime::currentDateTimeUtc());

    EXPECT_FALSE(CertificateSummary::fromDer(QByteArray("not a certificate")).has_value());
    EXPECT_FALSE(CertificateSummary::fromDer(der + QByteArray(1, '\0')).has_value());
    EXPECT_FALSE(CertificateSummary::fromDer(der.left(der.size() / 2)).has_value());
}
