// The preferences window with the real account-session facade, the local
// service and parley-headless as a buddy: linking and unlinking the other
// service's account, a result nobody asked for, the portal's refusal, the
// sister service's pages, and a new display name reaching a buddy.
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "HeadlessPeer.h"
#include "LocalService.h"
#include "NotificationCenter.h"
#include "Preferences/GeneralPane.h"
#include "Preferences/OrchardPane.h"
#include "Preferences/PrefsController.h"
#include "Preferences/PrefsEmoticonTextEdit.h"
#include "Preferences/PrefsFacadeSession.h"
#include "Preferences/PrefsServices.h"
#include "Preferences/VelaComPane.h"
#include "PrefsTestDoubles.h"
#include "RawClient.h"
#include "ScriptedAlerts.h"
#include "ServiceFixture.h"
#include "Sessions/PLEncrypUtil.h"
#include "Sessions/PLManagerRegistry.h"
#include "Sessions/PLParleySession.h"
#include "Sessions/PLRecordingManagers.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"
#include "Utils/ParleyStringAdditions.h"
#include "Utils/PrefsManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace parley::test {
namespace {

QString gChain;
QString gKey;

bool openssl(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(PARLEY_OPENSSL_TOOL), arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString portal(const char *name) { return QLatin1String(name) + QLatin1Char('@') + KCDefaultDomain().at(0); }
QString sister(const char *name) { return QLatin1String(name) + QLatin1Char('@') + KCDefaultDomain().at(4); }

// The shell as the window sees it while a real facade signs in.
class FacadeShell final : public PrefsShell
{
public:
    explicit FacadeShell(PLParleySession *facade) : mFacade(facade), mSession(facade) {}
    bool loginStatus() const override { return mFacade->isLoggedIn(); }
    QString currentUserID() const override { return userID; }
    PrefsSession *session() override { return &mSession; }
    void terminateApplication() override {}
    void showBuddyProfile(const PLBuddyPtr &) override {}
    void showMyProfileSettings() override {}
    void showVelaJoin(bool) override {}
    void showVelaFindID(bool) override {}
    void openURL(const QUrl &url) override { urls << url; }

    QString userID;
    QList<QUrl> urls;

private:
    PLParleySession *mFacade;
    PrefsFacadeSession mSession;
};

class PrefsEndToEndTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const QString home = isolatedHome();
        const auto at = [&home](const char *name) { return QDir(home).filePath(QLatin1String(name)); };
        const bool made = openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", at("prefs-ca.key"),
                                   "-out", at("prefs-ca.pem"), "-subj", "/CN=Parley Preferences Test CA", "-days", "2"})
            && openssl({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", at("prefs-server.key"), "-out",
                        at("prefs-server.csr"), "-subj", "/CN=ns.parley.test"})
            && openssl({"x509", "-req", "-in", at("prefs-server.csr"), "-CA", at("prefs-ca.pem"), "-CAkey",
                        at("prefs-ca.key"), "-CAcreateserial", "-out", at("prefs-server.pem"), "-days", "2"});
        if (!made)
            return;
        QFile chain(at("prefs-chain.pem"));
        if (!chain.open(QIODevice::WriteOnly))
            return;
        chain.write(readAll(at("prefs-server.pem")) + readAll(at("prefs-ca.pem")));
        gChain = at("prefs-chain.pem");
        gKey = at("prefs-server.key");
        // The client (and parley-headless) trust only the test authority.
        qputenv("SSL_CERT_FILE", at("prefs-ca.pem").toLocal8Bit());
        qputenv("SSL_CERT_DIR", home.toLocal8Bit());
        PLEncrypUtil::install();
    }

    void SetUp() override
    {
        ASSERT_FALSE(gChain.isEmpty()) << "the openssl tool made no certificates";
        UserDefaults::standardUserDefaults().setPath(mFolder.filePath(QStringLiteral("defaults.plist")));
        UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("ko")},
                                                       QLatin1String(kAppleLanguagesKey));
        PLManagerRegistry::standIn().clear();
        PLBuddyManager::sharedManager().reset();
        PLMyInfoManager::sharedManager().resetForTesting();

        const QString data = mFolder.filePath(QStringLiteral("accounts.json"));
        QFile file(data);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"accounts": [
  {"id": "%1", "password": "vera-pw", "cmn": "200001", "name": "Vera", "nickName": "Vera", "loginType": "N",
   "ticket": "ticket-vera", "buddies": [{"id": "%2", "flags": "1101"}]},
  {"id": "%2", "password": "bob-pw", "cmn": "200002", "name": "Bob", "loginType": "N",
   "buddies": [{"id": "%1", "flags": "1101"}]},
  {"id": "%3", "password": "pat-pw", "cmn": "200003", "name": "Pat", "loginType": "N"},
  {"id": "%4", "password": "erin-pw", "cmn": "900002", "name": "Erin", "loginType": "Y", "velaID": ""},
  {"id": "%5", "password": "sam-pw", "cmn": "900003", "name": "Sam", "loginType": "Y", "velaID": ""}
]})")
                       .arg(portal("vera"), portal("bob"), portal("pat"), sister("erin"), sister("sam"))
                       .toUtf8());
        file.close();

        mService = std::make_unique<localservice::LocalService>();
        localservice::ServiceOptions options;
        options.dataFile = data;
        options.certChainFile = gChain;
        options.keyFile = gKey;
        QString error;
        ASSERT_TRUE(mService->start(options, &error)) << error.toStdString();
        mSavedEndpoints = PLEndpoints::current();
        PLEndpoints endpoints = mSavedEndpoints;
        endpoints.dispatchHost = QStringLiteral("127.0.0.1");
        endpoints.dispatchPort = mService->dispatchPort();
        const QString web = QStringLiteral("http://127.0.0.1:%1").arg(mService->webPort());
        endpoints.webMail = endpoints.webMemo = endpoints.webSister = web;
        endpoints.webSisterMember = endpoints.webSisterHelp = web;
        PLEndpoints::setCurrent(endpoints);

        mFacade = std::make_unique<PLParleySession>();
        mShell = std::make_unique<FacadeShell>(mFacade.get());
        PrefsServices::setShell(mShell.get());
        PrefsManager::setCurrentUserProvider(&mUser);
        mObserver = NotificationCenter::defaultCenter().addObserver(
            QString(), nullptr, [this](const Notification &n) { mPosted.append({n.name, {n.userInfo}}); });
    }

    void TearDown() override
    {
        if (PrefsController::isAvailable())
            PrefsController::defaultController()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        NotificationCenter::defaultCenter().removeObserver(mObserver);
        PrefsServices::setShell(nullptr);
        PrefsManager::setCurrentUserProvider(nullptr);
        mShell.reset();
        mFacade.reset();
        waitUntil([] { return false; }, 50); // deferred deletions of the sessions
        mService.reset();
        PLEndpoints::setCurrent(mSavedEndpoints);
        PLBuddyManager::sharedManager().reset();
        PLMyInfoManager::sharedManager().resetForTesting();
        UserDefaults::standardUserDefaults().setPath(UserDefaults::defaultPath());
    }

    bool signIn(const QString &userID, const QString &password)
    {
        mUser.id = userID;
        mShell->userID = userID;
        UserDefaults::standardUserDefaults().setUserDictionary(userID, KCDefaultUserPreferences());
        mFacade->loginWithUserID(userID, password, {});
        return waitFor("ParleyLoginCompleted", 0, 15000).has_value();
    }

    qsizetype mark() const { return mPosted.size(); }
    // The user info of the first notification of that name since `from`.
    std::optional<QVariantMap> waitFor(const char *name, qsizetype from, int timeoutMs = 10000)
    {
        std::optional<QVariantMap> found;
        waitUntil(
            [&] {
                for (qsizetype i = from; i < mPosted.size(); ++i)
                    if (mPosted[i].name == QLatin1String(name)) {
                        found = mPosted[i].args.value(0).toMap();
                        return true;
                    }
                return false;
            },
            timeoutMs);
        return found;
    }
    int count(const char *name, qsizetype from) const
    {
        int n = 0;
        for (qsizetype i = from; i < mPosted.size(); ++i)
            n += mPosted[i].name == QLatin1String(name);
        return n;
    }
    // Every reply sent before this one has been handled once it arrives.
    void roundTrip()
    {
        const qsizetype from = mark();
        ASSERT_TRUE(mFacade->setMyStatus(1));
        ASSERT_TRUE(waitFor("ParleyMyStatusChanged", from));
    }

    QTemporaryDir mFolder;
    std::unique_ptr<localservice::LocalService> mService;
    std::unique_ptr<PLParleySession> mFacade;
    std::unique_ptr<FacadeShell> mShell;
    FixedUser mUser;
    ScriptedAlerts mAlerts;
    QList<Call> mPosted;
    NotificationCenter::Token mObserver = 0;
    PLEndpoints mSavedEndpoints;
};

TEST_F(PrefsEndToEndTest, SisterServiceAccountLinksAndUnlinks)
{
    ASSERT_TRUE(signIn(portal("vera"), QStringLiteral("vera-pw")));
    PrefsController *window = PrefsController::defaultController();
    window->setCurrentUserID(mUser.id);
    window->showOrchard();
    OrchardPane *pane = window->orchardPane();
    ASSERT_EQ(window->currentPane(), pane) << "a portal login gets the sister service's pane";
    EXPECT_FALSE(PrefsManager::orchard_Islinked());
    EXPECT_EQ(pane->couplingButton()->text(), KCLocalizedString(QStringLiteral("CouplingButtonTitle")));

    // A wrong password: the service refuses, the wait ends, the pane says nothing.
    pane->idField()->setText(sister("erin"));
    pane->passwordField()->setText(QStringLiteral("wrong"));
    qsizetype from = mark();
    pane->couplingButton()->click();
    const auto refused = waitFor("ParleyErrorCodeReceived", from);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->value("errorInfo").toMap().value("errorCode").toString(), QStringLiteral("309"));
    EXPECT_FALSE(window->linking().isWaiting());
    EXPECT_TRUE(mAlerts.keys().isEmpty());

    // The right one, pressed twice: one request, one result.
    pane->passwordField()->setText(QStringLiteral("erin-pw"));
    from = mark();
    pane->couplingButton()->click();
    pane->couplingButton()->click();
    ASSERT_TRUE(waitFor("ParleyCPRFResultReceived", from));
    roundTrip();
    EXPECT_EQ(count("ParleyCPRFResultReceived", from), 1);
    EXPECT_TRUE(PrefsManager::orchard_Islinked());
    EXPECT_EQ(PLMyInfoManager::sharedManager().orchardCMN(), QStringLiteral("900002"));
    EXPECT_EQ(PLMyInfoManager::sharedManager().orchardID(), sister("erin"));
    EXPECT_TRUE(pane->idField()->isReadOnly());
    EXPECT_TRUE(pane->passwordField()->text().isEmpty());
    EXPECT_EQ(pane->couplingButton()->text(), KCLocalizedString(QStringLiteral("CouplingButtonOffTitle")));
    EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("OrchardCoupleOKMsg")});

    // Unlinking asks first.
    mAlerts.answer(0);
    from = mark();
    pane->couplingButton()->click();
    const auto unlinked = waitFor("ParleyCPRFResultReceived", from);
    ASSERT_TRUE(unlinked);
    EXPECT_EQ(unlinked->value("orcmn").toString(), QStringLiteral("%00"));
    EXPECT_FALSE(PrefsManager::orchard_Islinked());
    EXPECT_FALSE(pane->idField()->isReadOnly());
    EXPECT_EQ(pane->couplingButton()->text(), KCLocalizedString(QStringLiteral("CouplingButtonTitle")));
    EXPECT_EQ(mAlerts.keys(), (QStringList{QStringLiteral("OrchardCoupleOKMsg"), QStringLiteral("OrchardCoupleOffMsg"),
                                           QStringLiteral("OrchardCoupleCancelMsg")}));
}

TEST_F(PrefsEndToEndTest, AResultNobodyAskedForStillUpdatesTheSisterServicesPane)
{
    ASSERT_TRUE(signIn(portal("vera"), QStringLiteral("vera-pw")));
    PrefsController *window = PrefsController::defaultController();
    window->setCurrentUserID(mUser.id);
    OrchardPane *pane = window->orchardPane();

    // The same account links the sister service from another login.
    localservice::test::RawClient other(mService->notificationPort());
    const QByteArray id = portal("vera").toUtf8();
    other.send(localservice::test::lin4(1, id, "PLN", localservice::test::signInText("vera-pw", "PLN")));
    const auto answer = other.readLine();
    ASSERT_TRUE(answer && answer->startsWith("LIN4 1 "));
    ASSERT_TRUE(other.readBytes(answer->split(' ').last().toInt()));
    const QByteArray body = "orchard_id=" + sister("erin").toUtf8() + "&orchard_pw=" + tkEncode3A("erin-pw").toUtf8();
    const qsizetype from = mark();
    other.send("CPRF 2 " + QByteArray::number(body.size()) + "\r\n" + body);
    const auto reply = other.readLine();
    ASSERT_TRUE(reply && reply->startsWith("CPRF 2 ")) << (reply ? reply->toStdString() : "no reply");

    const auto pushed = waitFor("ParleyCPRFResultReceived", from);
    ASSERT_TRUE(pushed);
    EXPECT_EQ(pushed->value("tid").toString(), QStringLiteral("0"));
    EXPECT_EQ(pushed->value("orcmn").toString(), QStringLiteral("900002"));
    EXPECT_TRUE(PrefsManager::orchard_Islinked());
    EXPECT_TRUE(pane->idField()->isReadOnly());
    EXPECT_EQ(pane->couplingButton()->text(), KCLocalizedString(QStringLiteral("CouplingButtonOffTitle")));
    EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("OrchardCoupleOKMsg")}) << "shown though not asked for";
}

TEST_F(PrefsEndToEndTest, PortalAccountLinkRefusedThenMadeThenRemoved)
{
    ASSERT_TRUE(signIn(sister("sam"), QStringLiteral("sam-pw")));
    PrefsController *window = PrefsController::defaultController();
    window->setCurrentUserID(mUser.id);
    window->showVelaCom();
    VelaComPane *pane = window->velaComPane();
    ASSERT_EQ(window->currentPane(), pane) << "a sister-service login gets the portal's pane";
    EXPECT_FALSE(PrefsManager::parley_Islinked());

    pane->idField()->setText(QStringLiteral("pat"));
    pane->passwordField()->setText(QStringLiteral("not-pats"));
    qsizetype from = mark();
    pane->couplingButton()->click();
    ASSERT_TRUE(waitFor("ParleyErrorCodeReceived", from));
    EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("VelaComCoupleErrMsg")});
    EXPECT_FALSE(window->linking().isWaiting());

    pane->passwordField()->setText(QStringLiteral("pat-pw"));
    from = mark();
    pane->couplingButton()->click();
    ASSERT_TRUE(waitFor("ParleyCPRFResultReceived", from));
    EXPECT_EQ(PLMyInfoManager::sharedManager().velaID(), QStringLiteral("pat"));
    EXPECT_TRUE(PrefsManager::parley_Islinked());
    EXPECT_TRUE(pane->idField()->isReadOnly());
    EXPECT_EQ(mAlerts.keys().last(), QStringLiteral("OrchardCoupleOKMsg"));

    mAlerts.answer(0);
    from = mark();
    pane->couplingButton()->click();
    ASSERT_TRUE(waitFor("ParleyCPRFResultReceived", from));
    EXPECT_FALSE(PrefsManager::parley_Islinked());
    EXPECT_TRUE(pane->idField()->text().isEmpty());
    EXPECT_EQ(mAlerts.keys().last(), QStringLiteral("VelaCoupleCancelMsg"));
    window->close();
    EXPECT_EQ(UserDefaults::standardUserDefaults().userDictionary(mUser.id).value(QStringLiteral("VelaComID")),
              QVariant(QString()));
}

TEST_F(PrefsEndToEndTest, SisterServicePagesAreServed)
{
    ASSERT_TRUE(signIn(portal("vera"), QStringLiteral("vera-pw")));
    PrefsController *window = PrefsController::defaultController();
    window->setCurrentUserID(mUser.id);
    OrchardPane *pane = window->orchardPane();
    pane->miniNookButton()->click();
    pane->joinButton()->click();
    pane->findIDButton()->click();
    ASSERT_EQ(mShell->urls.size(), 3);
    QNetworkAccessManager network;
    const char *const paths[] = {"/main2/preview_minicb.asp", "/main/regist/checkmember.jsp", "/id/id_main.asp"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(paths[i]);
        EXPECT_EQ(mShell->urls[i].path(), QLatin1String(paths[i]));
        QNetworkReply *reply = network.get(QNetworkRequest(mShell->urls[i]));
        ASSERT_TRUE(waitUntil([reply] { return reply->isFinished(); }));
        EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        EXPECT_TRUE(reply->readAll().contains(paths[i]));
        reply->deleteLater();
    }
}

TEST_F(PrefsEndToEndTest, NewDisplayNameReachesABuddyOnParleyHeadless)
{
    facade::test::HeadlessPeer bob(mService->dispatchPort(), portal("bob"), QStringLiteral("bob-pw"));
    ASSERT_TRUE(bob.waitFor("ParleyLoginCompleted", {}, 20000));
    ASSERT_TRUE(signIn(portal("vera"), QStringLiteral("vera-pw")));

    PrefsController *window = PrefsController::defaultController();
    window->setCurrentUserID(mUser.id);
    PrefsEmoticonTextEdit *name = window->generalPane()->displayNameView();
    EXPECT_EQ(name->emoticonString(), QStringLiteral("Vera"));
    name->setPlainText(QStringLiteral("Vera /smile/ on holiday"));
    const qsizetype from = mark();
    window->close();
    EXPECT_TRUE(waitFor("ParleyMyNickNameChanged", from));

    // Bob's buddy list learns the name when the server's notice arrives: ask
    // until his record shows it (his list also changes for other reasons).
    const QString veraID = portal("vera");
    const QString expected = QStringLiteral("Vera /smile/ on holiday");
    const auto shows = [&expected](const QJsonObject &line) {
        return line.value(QStringLiteral("buddy")).toObject().value(QStringLiteral("nickName")).toString() == expected;
    };
    std::optional<QJsonObject> record;
    for (int attempt = 0; attempt < 50 && !record; ++attempt) {
        bob.command(QStringLiteral("buddy ") + veraID);
        record = bob.waitForLine(shows, 200);
    }
    ASSERT_TRUE(record) << "bob never saw the new display name";
    EXPECT_EQ(record->value(QStringLiteral("buddy")).toObject().value(QStringLiteral("velaID")).toString(), veraID);
}

} // namespace
} // namespace parley::test
