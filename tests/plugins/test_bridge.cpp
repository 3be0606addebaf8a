// The bridge page: the portal's entry points and their codes, the exact bytes
// of the form it writes (with hostile values too), the escaping of the
// portal's addresses against Python's, and where the file lives and for how
// long.
#include "BridgeForm.h"
#include "BridgePage.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "KoreanCodePage.h"
#include "PlugInTestSupport.h"
#include "ShellDoubles.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLEndpoints.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

using namespace parley;
using namespace parley::plugins::test;

namespace parley {
void PrintTo(const BridgeCall &c, std::ostream *os)
{
    *os << c.code.toStdString() << " param=" << (c.param.isNull() ? "(none)" : c.param.toStdString())
        << " r_url=" << (c.returnURL.isNull() ? "(none)" : c.returnURL.toStdString()) << " h_flag=" << c.hFlag;
}
} // namespace parley

namespace {

// Records the calls of the entry points instead of writing pages.
class RecordingBridge final : public BridgePage
{
public:
    using BridgePage::BridgePage;
    void bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag) override
    {
        calls.append({code, param, returnURL, hFlag});
    }
    QList<BridgeCall> calls;
};

// The own account, the endpoints and the server configuration of a test.
class BridgeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PLMyInfoManager &me = PLMyInfoManager::sharedManager();
        me.resetForTesting();
        me.setTicket(QStringLiteral("TK"));
        me.setCMN(QStringLiteral("100001"));
        me.setLoginID(QStringLiteral("alice"));
        me.setVelaID(QStringLiteral("alice"));
        me.setMQ7CMN(QStringLiteral("q7-1"));
        me.setMOrchardCMN(QStringLiteral("or-1"));
        PLEndpoints endpoints;
        endpoints.webBridge = QStringLiteral("https://bridge.test");
        endpoints.webMailHome = QStringLiteral("https://mail.test/home");
        PLEndpoints::setCurrent(endpoints);
        PLConfManager::sharedManager().setMConfDict(QVariantMap{});
        mOldRuntime = qgetenv("XDG_RUNTIME_DIR");
        ASSERT_TRUE(mRuntime.isValid());
        QFile::setPermissions(mRuntime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", mRuntime.path().toUtf8());
    }
    void TearDown() override
    {
        qputenv("XDG_RUNTIME_DIR", mOldRuntime);
        PLMyInfoManager::sharedManager().resetForTesting();
        PLConfManager::sharedManager().resetForTesting();
        PLEndpoints::setCurrent(PLEndpoints());
    }
    QString bridgeFile() const { return mRuntime.path() + QStringLiteral("/parley/bridge.html"); }
    QByteArray writtenBytes() const
    {
        QFile file(bridgeFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir mRuntime;
    QByteArray mOldRuntime;
};

const char kHead[] = "<html><head><meta http-equiv='Content-Type' content='text/html; charset=EUC-KR'></head></head>"
                     "<body onLoad='javascript:BridgeForm.submit();'><form name = 'BridgeForm' method = 'post' "
                     "action = '";
const char kTail[] = "</form></body></html>";

} // namespace

TEST_F(BridgeTest, EveryEntryPointPostsItsCodeParameterAndFlag)
{
    BuddyModel model;
    auto buddy = std::make_shared<PLBuddy>(QStringLiteral("200002"));
    buddy->setVelaID(QStringLiteral("bob"));
    buddy->setOrchardCMN(QStringLiteral("or-2"));
    buddy->setMQ7CMN(QStringLiteral("q7-2"));
    const QString none;
    struct Case {
        const char *name;
        std::function<void(BridgePage &)> call;
        BridgeCall expected;
    };
    const Case cases[] = {
        {"showCertFAQ", [](BridgePage &b) { b.showCertFAQ(); }, {"E256", none, none, -1}},
        {"showVelaMsgBoxHelp", [](BridgePage &b) { b.showVelaMsgBoxHelp(); }, {"E072", none, none, -1}},
        {"showVelaVelaComHome", [](BridgePage &b) { b.showVelaVelaComHome(); }, {"G035", none, none, -1}},
        {"showVelaOrchardHome", [](BridgePage &b) { b.showVelaOrchardHome(); }, {"D010", none, none, -1}},
        {"showParleyHome", [](BridgePage &b) { b.showParleyHome(); }, {"E043", none, none, -1}},
        {"showParleyFAQ", [](BridgePage &b) { b.showParleyFAQ(); }, {"E009", none, none, -1}},
        {"showParleyHottip", [](BridgePage &b) { b.showParleyHottip(); }, {"E008", none, none, -1}},
        {"showParleyMininook", [](BridgePage &b) { b.showParleyMininook(); }, {"D009", none, none, -1}},
        {"showParleyHelp", [](BridgePage &b) { b.showParleyHelp(); }, {"E068", none, none, -1}},
        {"showConfirmMail", [](BridgePage &b) { b.showConfirmMail(); }, {"G129", "TICKET=TK", none, -1}},
        {"showVelaMemo", [](BridgePage &b) { b.showVelaMemo(); }, {"H215", "go=%2F%3Fcmn%3D100001", none, -1}},
        {"showVelaChat(id)", [](BridgePage &b) { b.showVelaChat(QStringLiteral("bob@parley.test")); },
         {"H217", "cmn=100001&boxType=C&searchKey=user&searchValue=bob%40parley.test", none, -1}},
        {"showVelaChat(none)", [](BridgePage &b) { b.showVelaChat(QString()); }, {"H216", none, none, -1}},
        {"showVelaMail(YES)", [](BridgePage &b) { b.showVelaMail(true); }, {"G125", "TICKET=TK", none, -1}},
        {"showVelaMail(NO)", [](BridgePage &b) { b.showVelaMail(false); }, {"G124", "TICKET=TK", none, -1}},
        {"showVelaJoin(YES)", [](BridgePage &b) { b.showVelaJoin(true); }, {"A019", none, none, -1}},
        {"showVelaJoin(NO)", [](BridgePage &b) { b.showVelaJoin(false); }, {"A021", none, none, -1}},
        {"showVelaFindID(YES)", [](BridgePage &b) { b.showVelaFindID(true); }, {"A018", none, none, -1}},
        {"showVelaFindID(NO)", [](BridgePage &b) { b.showVelaFindID(false); }, {"A020", none, none, -1}},
        {"showVelaMainHomepage(YES)", [](BridgePage &b) { b.showVelaMainHomepage(true); }, {"G104", none, none, -1}},
        {"showVelaMainHomepage(NO)", [](BridgePage &b) { b.showVelaMainHomepage(false); }, {"G094", none, none, -1}},
        {"showOrchardMainHomepage(YES)", [](BridgePage &b) { b.showOrchardMainHomepage(true); }, {"D008", none, none, -1}},
        {"showOrchardMainHomepage(NO)", [](BridgePage &b) { b.showOrchardMainHomepage(false); }, {"D007", none, none, -1}},
        {"showBuddyProfile", [buddy](BridgePage &b) { b.showBuddyProfile(buddy); }, {"F009", "200002", none, -1}},
        {"showProfile", [](BridgePage &b) { b.showProfile(QStringLiteral("300003")); }, {"F009", "300003", none, -1}},
        {"showMyProfile", [](BridgePage &b) { b.showMyProfile(); }, {"F009", "100001", none, -1}},
        {"showMyProfileSettings", [](BridgePage &b) { b.showMyProfileSettings(); }, {"F010", "100001", none, -1}},
        {"showBuddyMininook", [buddy](BridgePage &b) { b.showBuddyMininook(buddy); }, {"D024", "or-2", none, 1}},
        {"showMyMininook", [](BridgePage &b) { b.showMyMininook(); }, {"D023", "or-1", none, 1}},
        // The buddy's page follows the buddy's mode, the user's own page the user's.
        {"showBuddyMininook(own Q7)", [buddy](BridgePage &b) {
             PLMyInfoManager::sharedManager().setQ7Mode(true);
             b.showBuddyMininook(buddy);
         }, {"D024", "or-2", none, 1}},
        {"showBuddyMininook(Q7)", [buddy](BridgePage &b) {
             buddy->setQ7Mode(true);
             b.showBuddyMininook(buddy);
         }, {"D012", "q7-2", none, 2}},
        {"showMyMininook(Q7)", [](BridgePage &b) { b.showMyMininook(); }, {"D011", "q7-1", none, 2}},
        {"showBuddyMininook(Tarn)", [buddy](BridgePage &b) {
             PLMyInfoManager::sharedManager().setQ7Mode(false);
             PLMyInfoManager::sharedManager().setTarnMode(true);
             buddy->setQ7Mode(false);
             buddy->setTarnMode(true);
             b.showBuddyMininook(buddy);
         }, {"D047", "or-2", none, 3}},
        {"showMyMininook(Tarn)", [](BridgePage &b) { b.showMyMininook(); }, {"D046", "or-1", none, 3}},
        {"showVelaSMS(none)", [](BridgePage &b) { b.showVelaSMS({}); }, {"G047", "TICKET=TK&ID=alice&mobile=", none, -1}},
        {"showBridgePageForSVC(ORRP)", [](BridgePage &b) {
             b.showBridgePageForSVC(QStringLiteral("ORRP"), QString(), -1, QStringLiteral("https://or.test/p"));
         }, {"B003", none, "https://or.test/p", 1}},
        {"showBridgePageForSVC(NCHP, own code)", [](BridgePage &b) {
             b.showBridgePageForSVC(QStringLiteral("NCHP"), QStringLiteral("X001"), 0, QStringLiteral("r"));
         }, {"X001", none, "r", 0}},
    };
    RecordingBridge bridge;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        bridge.calls.clear();
        c.call(bridge);
        ASSERT_EQ(bridge.calls.size(), 1);
        EXPECT_EQ(bridge.calls[0], c.expected);
    }
}

TEST_F(BridgeTest, NoticesWithoutACodeOrAReturnAddressOpenNothing)
{
    RecordingBridge bridge;
    bridge.showBridgePageForSVC(QStringLiteral("MAIL"), QString(), -1, QStringLiteral("https://x.test"));
    bridge.showBridgePageForSVC(QStringLiteral("ORRP"), QString(), -1, QString());
    bridge.showBridgePageForSVC(QString(), QStringLiteral("B003"), 1, QStringLiteral("https://x.test"));
    EXPECT_TRUE(bridge.calls.isEmpty());
    EXPECT_EQ(BridgeForm::hFlagForSVC(QStringLiteral("NCHP")), 2);
    EXPECT_EQ(BridgeForm::hFlagForSVC(QStringLiteral("MAIL")), -1);
    EXPECT_EQ(BridgeForm::bridgeCodeDict().size(), 22);
    EXPECT_EQ(BridgeForm::bridgeCodeForSVC(QStringLiteral("Q7ML")), QStringLiteral("D022"));
    EXPECT_TRUE(BridgeForm::bridgeCodeForSVC(QStringLiteral("q7ml")).isNull());
}

TEST_F(BridgeTest, SmsRecipientsAreTheBuddiesWithAMobileNumber)
{
    BuddyModel model;
    const auto make = [&](const char *id, const char *name, const char *mobile) {
        auto buddy = std::make_shared<PLBuddy>(QLatin1String(id));
        buddy->setVelaID(QLatin1String(id));
        buddy->setName(QString::fromUtf8(name));
        buddy->setMobile(QLatin1String(mobile));
        model.buddies.append(buddy);
    };
    make("bob", "밥", "010-1");
    make("carol", "Carol", "");
    make("dan", "Dan & Co", "010-3");
    const auto entry = [](const char *id) { return QVariantMap{{QStringLiteral("velaID"), QLatin1String(id)}}; };
    EXPECT_EQ(BridgePage::smsRecipients({entry("bob"), entry("carol"), entry("dan")}),
              QString::fromUtf8("밥|010-1;Dan & Co|010-3"));
    // Only between recipients: a last buddy without a number leaves no ";" behind.
    EXPECT_EQ(BridgePage::smsRecipients({entry("bob"), entry("carol")}), QString::fromUtf8("밥|010-1"));
    EXPECT_EQ(BridgePage::smsRecipients({entry("carol"), entry("bob")}), QString::fromUtf8("밥|010-1"));
    EXPECT_EQ(BridgePage::smsRecipients({entry("nobody")}), QString());
}

TEST_F(BridgeTest, TheFormsBytesAreTheTemplateInCodePage949)
{
    RecordingOpener opener;
    parley::shell::test::ManualScheduler scheduler;
    BridgePage bridge(&opener, &scheduler);
    struct Case {
        const char *name;
        std::function<void()> call;
        QByteArray fields; // after the action
    };
    const Case cases[] = {
        {"fixed page", [&] { bridge.showCertFAQ(); },
         "https://bridge.test/index.php' target='_parent'><input type = hidden name = 't' value = 'TK'>"
         "<input type = hidden name = 'code' value = 'E256'>"},
        // The "&" separators of a parameter are written as references.
        {"chat box of a buddy", [&] { bridge.showVelaChat(QStringLiteral("bob@parley.test")); },
         "https://bridge.test/index.php' target='_parent'><input type = hidden name = 't' value = 'TK'>"
         "<input type = hidden name = 'code' value = 'H217'><input type = hidden name = 'param' value = "
         "'cmn=100001&amp;boxType=C&amp;searchKey=user&amp;searchValue=bob%40parley.test'>"},
        {"notice with a flag", [&] {
             bridge.showBridgePageForSVC(QStringLiteral("ORRP"), QString(), -1, QStringLiteral("https://or.test/p?a=1"));
         },
         "https://bridge.test/index.php' target='_parent'><input type = hidden name = 't' value = 'TK'>"
         "<input type = hidden name = 'code' value = 'B003'><input type = hidden name = 'r_url' value = "
         "'https://or.test/p?a=1'><input type = hidden name = 'h_flag' value = '1'>"},
        {"flag 0 is written", [&] { bridge.bridgePageCall(QStringLiteral("X9"), QString(), QString(), 0); },
         "https://bridge.test/index.php' target='_parent'><input type = hidden name = 't' value = 'TK'>"
         "<input type = hidden name = 'code' value = 'X9'><input type = hidden name = 'h_flag' value = '0'>"},
        // Korean text goes in code page 949: "한글" is c7d1 b1db.
        {"Korean parameter", [&] { bridge.bridgePageCall(QStringLiteral("F009"), QString::fromUtf8("한글"), QString(), -1); },
         "https://bridge.test/index.php' target='_parent'><input type = hidden name = 't' value = 'TK'>"
         "<input type = hidden name = 'code' value = 'F009'><input type = hidden name = 'param' value = '\xc7\xd1\xb1\xdb'>"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.call();
        EXPECT_EQ(writtenBytes(), QByteArray(kHead) + c.fields + kTail);
    }
    ASSERT_EQ(opener.opened.size(), int(std::size(cases)));
    EXPECT_EQ(opener.opened.last(), QUrl::fromLocalFile(bridgeFile()));
}

TEST_F(BridgeTest, HostileValuesStayValuesOfTheForm)
{
    RecordingOpener opener;
    parley::shell::test::ManualScheduler scheduler;
    BridgePage bridge(&opener, &scheduler);
    // The ticket, the configured address and a notice's return address come from the server.
    PLMyInfoManager::sharedManager().setTicket(QStringLiteral("a'b\"c"));
    PLConfManager::sharedManager().setMConfDict(
        QVariantMap{{QStringLiteral("Q7:orchard_bridge_url"), QStringLiteral("https://o.test/b.php?x=1&y='2'")}});
    bridge.showBridgePageForSVC(QStringLiteral("ORPC"), QStringLiteral("B015'><script>alert(1)</script>"), -1,
                                QStringLiteral("x'><img src=y onerror=alert(2)>&amp;"));
    EXPECT_EQ(writtenBytes(),
              QByteArray(kHead)
                  + "https://o.test/b.php?x=1&amp;y=&#39;2&#39;' target='_parent'><input type = hidden name = 't' "
                    "value = 'a&#39;b&quot;c'><input type = hidden name = 'code' value = "
                    "'B015&#39;&gt;&lt;script&gt;alert(1)&lt;/script&gt;'><input type = hidden name = 'r_url' value = "
                    "'x&#39;&gt;&lt;img src=y onerror=alert(2)&gt;&amp;amp;'><input type = hidden name = 'h_flag' "
                    "value = '1'>"
                  + kTail);
    // A character the code page lacks is written as a reference, which the browser posts back as itself.
    bridge.showProfile(QString::fromUtf8("x😀y"));
    EXPECT_TRUE(writtenBytes().contains("value = 'x&#128512;y'"));
}

TEST_F(BridgeTest, TheConfiguredAddressesComeBeforeTheBridgeHost)
{
    BridgePage bridge;
    EXPECT_EQ(bridge.bridgePageUrl(), QStringLiteral("https://bridge.test/index.php"));
    PLConfManager::sharedManager().setMConfDict(
        QVariantMap{{QStringLiteral("Q7:orchard_bridge_url"), QStringLiteral("https://orchard.test/b")}});
    EXPECT_EQ(bridge.bridgePageUrl(), QStringLiteral("https://orchard.test/b"));
    PLConfManager::sharedManager().setMConfDict(
        QVariantMap{{QStringLiteral("Q7:orchard_bridge_url"), QStringLiteral("https://orchard.test/b")},
                    {QStringLiteral("Q7:vela_bridge_url"), QStringLiteral("https://vela.test/b")}});
    EXPECT_EQ(bridge.bridgePageUrl(), QStringLiteral("https://vela.test/b"));
}

TEST_F(BridgeTest, TheReportPageEscapesItsParameterOnce)
{
    BridgePage bridge;
    PLMyInfoManager::sharedManager().setTicket(QStringLiteral("T+k/="));
    EXPECT_EQ(bridge.reportPageUrl(QString()), QStringLiteral("https://bridge.test/index.php?code=A054&t=T%2Bk%2F%3D"));
    // The chat hands over the escaped form of buddy=...&text=...; it becomes one value of the address.
    EXPECT_EQ(bridge.reportPageUrl(QStringLiteral("buddy%3dbob%7cBob%7c2%26text%3dYQ==")),
              QStringLiteral("https://bridge.test/index.php?code=A054&t=T%2Bk%2F%3D"
                             "&r_param=buddy%253dbob%257cBob%257c2%2526text%253dYQ%3D%3D"));
}

TEST_F(BridgeTest, UrlencodeMatchesPythonInCodePage949)
{
    const QStringList texts{QStringLiteral("/"),
                            QStringLiteral("&"),
                            QStringLiteral(";/?:@&=+$,#"),
                            QStringLiteral("!*'()"),
                            QStringLiteral("-_.~ AZaz09"),
                            QString::fromUtf8("한글 메모 테스트"),
                            QString::fromUtf8("漢字①"),
                            QString::fromUtf8("\"<tab>\t%\n"),
                            QString::fromUtf8("emoji 😀 end")};
    QJsonArray input;
    for (const QString &t : texts)
        input.append(t);
    const QByteArray output = python(QStringLiteral(
        "import json, sys, urllib.parse\n"
        "texts = json.load(sys.stdin)\n"
        "print(json.dumps([urllib.parse.quote(t, safe=\"!*'()\", encoding='cp949', errors='replace') for t in texts]))\n"),
                                     QJsonDocument(input).toJson());
    const QJsonArray expected = QJsonDocument::fromJson(output).array();
    ASSERT_EQ(expected.size(), texts.size()) << output.toStdString();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i].toStdString());
        EXPECT_EQ(BridgeForm::urlencode(texts[i]), expected[i].toString());
    }
    EXPECT_EQ(BridgeForm::urlencode(QStringLiteral("/&")), QStringLiteral("%2F%26"));
}

TEST_F(BridgeTest, TheFileIsTheUsersAloneAndGoesTenSecondsLater)
{
    RecordingOpener opener;
    parley::shell::test::ManualScheduler scheduler;
    BridgePage bridge(&opener, &scheduler);
    // A folder left open to others is closed before the ticket goes in.
    const QString folder = mRuntime.path() + QStringLiteral("/parley");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    bridge.showParleyHome();
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    ASSERT_EQ(::stat(QFile::encodeName(bridgeFile()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(scheduler.delays, QList<double>{10.0});

    // A second page within the ten seconds: the first removal leaves it.
    bridge.showParleyFAQ();
    EXPECT_TRUE(scheduler.runNext());
    EXPECT_TRUE(QFileInfo::exists(bridgeFile()));
    EXPECT_TRUE(writtenBytes().contains("'E009'"));
    EXPECT_TRUE(scheduler.runNext());
    EXPECT_FALSE(QFileInfo::exists(bridgeFile()));

    // Quitting removes it at once.
    bridge.showParleyHelp();
    EXPECT_TRUE(QFileInfo::exists(bridgeFile()));
    bridge.removeBridgeFile();
    EXPECT_FALSE(QFileInfo::exists(bridgeFile()));
}

TEST_F(BridgeTest, AFolderThatIsALinkOrSomeoneElsesGetsNoTicket)
{
    RecordingOpener opener;
    parley::shell::test::ManualScheduler scheduler;
    BridgePage bridge(&opener, &scheduler);
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), mRuntime.path() + QStringLiteral("/parley")));
    bridge.showParleyHome();
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
    EXPECT_TRUE(BridgePage::bridgeFilePath().isNull());
}

TEST_F(BridgeTest, WithoutAPortalIDTheMailHomeOpensAsItIs)
{
    RecordingOpener opener;
    parley::shell::test::ManualScheduler scheduler;
    BridgePage bridge(&opener, &scheduler);
    PLMyInfoManager::sharedManager().setVelaID(QString());
    bridge.showVelaMail(true);
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl(QStringLiteral("https://mail.test/home"))});
    EXPECT_FALSE(QFileInfo::exists(bridgeFile()));
}
