// End to end: the local service with an account of 5,000 buddies in 100
// groups, this client signed in through the account session with the buddy
// list shown, and one of the buddies played by parley-headless. Its status
// changes reach the list through the refresh's quiet period, not at once.

#include "BuddyListFixture.h"

#include "BuddyList/BuddyListDataSource.h"
#include "BuddyList/BuddyListView.h"
#include "BuddyList/KCOutlineView.h"
#include "HeadlessPeer.h"
#include "LocalService.h"
#include "NotificationNames.h"
#include "Sessions/PLEncrypUtil.h"
#include "Sessions/PLParleySession.h"
#include "TestSupport.h"
#include "Utils/PLEndpoints.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace buddylist::test {
namespace {

constexpr int kBuddies = 5000;
constexpr int kGroups = 100;

QString buddyID(int i) { return QStringLiteral("b%1@parley.test").arg(i, 4, 10, QLatin1Char('0')); }

// alice with 5,000 buddies, buddy i in group i % 100 + 1; every buddy an
// account of its own with the password "<id>-pw".
QByteArray bigAccountData()
{
    const auto account = [](const QString &id, const QString &cmn) {
        return QJsonObject{{"id", id}, {"password", id + "-pw"}, {"cmn", cmn}, {"name", "Name " + cmn}};
    };
    QJsonObject alice = account("alice@parley.test", "100001");
    alice["password"] = "alice-pw";
    for (const char *key : {"orchardID", "orchardCMN", "mobile", "email", "ticket", "token"})
        alice[QLatin1String(key)] = QStringLiteral("x-") + QLatin1String(key);
    QJsonArray groups;
    for (int g = 1; g <= kGroups; ++g)
        groups.append(QJsonObject{{"id", QString::number(g)}, {"name", QStringLiteral("Group %1").arg(g)}});
    QJsonArray list;
    QJsonArray accounts;
    for (int i = 0; i < kBuddies; ++i) {
        accounts.append(account(buddyID(i), QString::number(200000 + i)));
        list.append(QJsonObject{{"id", buddyID(i)}, {"groups", QJsonArray{QString::number(i % kGroups + 1)}}});
    }
    alice["groups"] = groups;
    alice["buddies"] = list;
    accounts.prepend(alice);
    const QJsonObject configuration{{"version", 1}, {"values", QJsonObject{{"memo_ipml", "http://127.0.0.1/memo"}}}};
    return QJsonDocument(QJsonObject{{"configuration", configuration}, {"accounts", accounts}}).toJson();
}

bool openssl(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(PARLEY_OPENSSL_TOOL), arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

class BuddyListEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const QDir home(parley::test::isolatedHome());
        const auto at = [&](const char *name) { return home.filePath(QLatin1String(name)); };
        gReady = openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", at("bl-ca.key"), "-out",
                          at("bl-ca.pem"), "-subj", "/CN=Parley Buddy List Test CA", "-days", "2"})
              && openssl({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", at("bl-server.key"), "-out",
                          at("bl-server.csr"), "-subj", "/CN=ns.parley.test"})
              && openssl({"x509", "-req", "-in", at("bl-server.csr"), "-CA", at("bl-ca.pem"), "-CAkey", at("bl-ca.key"),
                          "-CAcreateserial", "-out", at("bl-server.pem"), "-days", "2"});
        QFile chain(at("bl-chain.pem")), server(at("bl-server.pem")), ca(at("bl-ca.pem"));
        gReady = gReady && chain.open(QIODevice::WriteOnly) && server.open(QIODevice::ReadOnly)
              && ca.open(QIODevice::ReadOnly) && chain.write(server.readAll() + ca.readAll()) > 0;
        QFile data(at("bl-data.json"));
        gReady = gReady && data.open(QIODevice::WriteOnly) && data.write(bigAccountData()) > 0;
        gHome = home.path();
        // This client and parley-headless trust the test authority alone.
        qputenv("SSL_CERT_FILE", at("bl-ca.pem").toLocal8Bit());
        qputenv("SSL_CERT_DIR", parley::test::isolatedHome().toLocal8Bit());
        parley::PLEncrypUtil::install();
    }

    void SetUp() override
    {
        ASSERT_TRUE(gReady) << "the certificates or the data file could not be made";
        localservice::ServiceOptions options;
        options.dataFile = gHome + QStringLiteral("/bl-data.json");
        options.certChainFile = gHome + QStringLiteral("/bl-chain.pem");
        options.keyFile = gHome + QStringLiteral("/bl-server.key");
        QString error;
        ASSERT_TRUE(service.start(options, &error)) << error.toStdString();
        parley::PLEndpoints endpoints;
        endpoints.dispatchHost = QStringLiteral("127.0.0.1");
        endpoints.dispatchPort = service.dispatchPort();
        const QString web = QStringLiteral("http://127.0.0.1:%1").arg(service.webPort());
        endpoints.webMail = endpoints.webMemo = endpoints.webSister = web;
        parley::PLEndpoints::setCurrent(endpoints);
    }
    void TearDown() override
    {
        session.reset();
        parley::test::waitUntil([] { return false; }, 50); // deferred deletions
    }

    static inline bool gReady = false;
    static inline QString gHome;
    BuddyStore store;
    localservice::LocalService service;
    std::unique_ptr<PLParleySession> session;
};

TEST_F(BuddyListEndToEnd, AStatusChangeOfAHeadlessBuddyAppearsAfterTheQuietPeriod)
{
    bool loggedIn = false;
    NotificationCenter::defaultCenter().addObserver(
        &service, QLatin1String(notifications::kLoginCompleted), nullptr, [&](const Notification &) { loggedIn = true; });
    session = std::make_unique<PLParleySession>();
    session->loginWithUserID(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"), {});
    ASSERT_TRUE(parley::test::waitUntil([&] { return loggedIn; }, 60000));

    // The shell's part: the list has arrived, show it online only.
    RecordingShell shell;
    QList<QVariantMap> statusLists;
    BuddyListManager::setBuddyListType(BuddyListManager::OnlineOnly);
    BuddyListDataSource source(BuddyListManager::sharedManager());
    source.setShell(&shell);
    source.setStatusListPoster([&](const QVariantMap &list) {
        statusLists.append(list);
        return true;
    });
    BuddyListView view;
    source.setMBuddyListView(view.outlineView());
    view.resize(260, 500);
    view.show();
    source.setIsLoginCompleted(true);
    source.reloadBuddyData(true);
    ASSERT_EQ(statusLists.size(), 1);
    EXPECT_EQ(statusLists[0].size(), kBuddies);
    EXPECT_EQ(statusLists[0].value(buddyID(42)), QVariant(0));
    ASSERT_EQ(source.model()->rowCount(), kGroups);
    const QString group43 = QStringLiteral("43"); // buddy 42 is in group 42 % 100 + 1
    EXPECT_EQ(source.model()->indexForGroupID(group43).data().toString(), QStringLiteral("Group 43 (0)"));

    // The buddy signs in: its update does not change the list at once.
    bool presentAtUpdate = true;
    NotificationCenter::defaultCenter().addObserver(
        &view, QLatin1String(notifications::kBuddyManagerBuddyUpdated), nullptr, [&](const Notification &n) {
            if (n.userInfo.value(notifications::kKeyVelaID).toString() == buddyID(42))
                presentAtUpdate = source.model()->indexForBuddy(group43, buddyID(42)).isValid();
        });
    facade::test::HeadlessPeer bob(service.dispatchPort(), buddyID(42), buddyID(42) + QStringLiteral("-pw"));
    ASSERT_TRUE(bob.waitFor("ParleyLoginCompleted", {}, 60000));
    ASSERT_TRUE(parley::test::waitUntil([&] { return source.model()->indexForBuddy(group43, buddyID(42)).isValid(); },
                                        20000));
    EXPECT_FALSE(presentAtUpdate);
    EXPECT_EQ(source.model()->indexForGroupID(group43).data().toString(), QStringLiteral("Group 43 (1)"));

    // Busy: still listed, shown busy; then appearing offline takes it off.
    bob.command(QStringLiteral("status 2"));
    const auto busy = [&] {
        const QModelIndex row = source.model()->indexForBuddy(group43, buddyID(42));
        const PLBuddyPtr buddy = row.data(BuddyListModel::BuddyRole).value<PLBuddyPtr>();
        return buddy && KCParleyCell::iconNameForBuddy(*buddy) == QStringLiteral("16x16_busy");
    };
    ASSERT_TRUE(parley::test::waitUntil(busy, 20000));
    presentAtUpdate = false;
    bob.command(QStringLiteral("status 0"));
    ASSERT_TRUE(parley::test::waitUntil(
        [&] { return !source.model()->indexForBuddy(group43, buddyID(42)).isValid(); }, 20000));
    EXPECT_TRUE(presentAtUpdate);
    EXPECT_EQ(source.model()->indexForGroupID(group43).data().toString(), QStringLiteral("Group 43 (0)"));
    // Each timer rebuild is followed by the notice that the list is there.
    EXPECT_TRUE(parley::test::waitUntil([&] { return shell.buddyDataReceivedCalls >= 2; }, 20000));
}

} // namespace
} // namespace buddylist::test
