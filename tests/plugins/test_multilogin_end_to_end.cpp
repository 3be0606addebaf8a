// The account's other logins end to end: the messenger (the real account
// session and controller against the local service) signs in, two
// parley-headless processes sign in as the same account, and the count
// notice, the blinking session button and the session list appear; logging
// one of them out from the list ends that login only (its key "123" next to
// "12") and shows the completion alert.
#include "AppController.h"
#include "BuddyView.h"
#include "ControllerDoubles.h"
#include "LocalService.h"
#include "LoginView.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLSessionManager.h"
#include "ScriptedAlerts.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestPki.h"
#include "TestSupport.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"

#include "../facade/HeadlessPeer.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::shell;
using namespace parley::plugins::test;

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

class MultiLoginEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const parley::test::TestPki &pki = parley::test::TestPki::shared();
        ASSERT_TRUE(pki.made);
        ASSERT_NE(shell::test::privateCenter(), nullptr) << "no private session bus";
        qputenv("SSL_CERT_FILE", pki.caPem.toLocal8Bit());
        qputenv("SSL_CERT_DIR", QFileInfo(pki.caPem).absolutePath().toLocal8Bit());
        mSettings = std::make_unique<shell::test::FreshSettings>();
        shell::test::makeMessageBoxBundle(mSettings->resourceFolder(), QStringLiteral("1.0"));

        // The account's logins get the keys "1", "12" and "123" in sign-in order.
        const QString data = mData.filePath(QStringLiteral("accounts.json"));
        QFile file(data);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"accounts": [{"id": "alice@parley.test", "password": "alice-pw", "cmn": "100001",
                       "name": "Alice", "loginKeys": ["1", "12", "123"]}]})");
        file.close();
        mService = std::make_unique<localservice::LocalService>();
        localservice::ServiceOptions options;
        options.dataFile = data;
        options.certChainFile = pki.goodChain;
        options.keyFile = pki.key;
        QString error;
        ASSERT_TRUE(mService->start(options, &error)) << error.toStdString();
        PLEndpoints endpoints;
        endpoints.dispatchHost = QStringLiteral("127.0.0.1");
        endpoints.dispatchPort = mService->dispatchPort();
        endpoints.connectTimeout = 5;
        PLEndpoints::setCurrent(endpoints);

        // The real session list; the notices are recorded.
        ShellWindows::setSessionManagerWindow(&mSessionList);
        AppController::Options o;
        o.connectivity = &mNet;
        o.scheduler = &mScheduler;
        o.plugInCenter = shell::test::privateCenter();
        o.startPowerNotifications = false;
        o.resourceDirectory = mSettings->resourceFolder();
        o.quitApplication = [] {};
        mController = std::make_unique<AppController>(o);
        mController->awakeFromNib();
    }
    void TearDown() override
    {
        if (PLSessionManager::isAvailable())
            PLSessionManager::defaultController()->close();
        mController.reset();
        parley::test::waitUntil([] { return false; }, 50);
        mService.reset();
        PLEndpoints::setCurrent(PLEndpoints());
    }

    void signIn()
    {
        LoginView &login = *mController->loginView();
        login.idField->clear();
        login.passwordField->clear();
        QTest::keyClicks(login.idField, QStringLiteral("alice"));
        login.domainComboButton->setCurrentIndex(login.domainComboButton->findText(QStringLiteral("parley.test")));
        QTest::keyClicks(login.passwordField, QStringLiteral("alice-pw"));
        QTest::keyClick(login.passwordField, Qt::Key_Return);
        ASSERT_TRUE(parley::test::waitUntil([this] { return mController->window()->isShowingBuddyView(); }, 20000));
    }
    std::unique_ptr<facade::test::HeadlessPeer> headless()
    {
        auto peer = std::make_unique<facade::test::HeadlessPeer>(
            mService->dispatchPort(), QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"),
            QStringList{QStringLiteral("--p2p-port"), QStringLiteral("0")});
        EXPECT_TRUE(peer->waitFor("ParleyLoginCompleted", {}, 20000).has_value());
        return peer;
    }
    PLSessionManager *window() { return PLSessionManager::isAvailable() ? PLSessionManager::defaultController() : nullptr; }

    QTemporaryDir mData;
    std::unique_ptr<shell::test::FreshSettings> mSettings;
    parley::test::ScriptedAlerts mAlerts;
    Recorder mRecorder;
    SessionManagerWindowHost mSessionList;
    shell::test::FakeConnectivity mNet;
    TimerScheduler mScheduler{0.02};
    std::unique_ptr<localservice::LocalService> mService;
    std::unique_ptr<AppController> mController;
};

} // namespace

TEST_F(MultiLoginEndToEnd, AnotherLoginIsNoticedListedAndLoggedOut)
{
    signIn();
    QToolButton *button = mController->window()->buddyView()->sessionMgrButton;
    EXPECT_TRUE(button->isHidden());
    EXPECT_EQ(mController->sessionCount(), 1);

    auto first = headless(); // key "12"
    ASSERT_TRUE(parley::test::waitUntil([this] { return mController->sessionCount() == 2; }, 20000));
    EXPECT_EQ(mRecorder.startingWith(QStringLiteral("toaster MCNT")),
              QStringList{QStringLiteral("toaster MCNT XXX %1 none xxx").arg(text("MultiLoginMessage").arg(2))});
    EXPECT_EQ(mRecorder.startingWith(QStringLiteral("notice Parley Multi-Login")).size(), 1);
    EXPECT_FALSE(button->isHidden());
    EXPECT_TRUE(mController->isSessionButtonBlinking());
    // The first list after the sign-in opens the window.
    ASSERT_TRUE(parley::test::waitUntil([this] { return window() && window()->model().list().size() == 1; }, 20000));
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(window()->model().list()[0].sessionKey, QStringLiteral("12"));
    EXPECT_EQ(window()->model().list()[0].typeName, text("TypePC"));

    auto second = headless(); // key "123"
    ASSERT_TRUE(parley::test::waitUntil([this] { return mController->sessionCount() == 3; }, 20000));
    ASSERT_TRUE(parley::test::waitUntil([this] { return window()->model().list().size() == 2; }, 20000));
    EXPECT_EQ(window()->model().list()[1].sessionKey, QStringLiteral("123"));

    // The link of "123" logs out that login only.
    const QString name = SessionListModel::shownName(QHostInfo::localHostName());
    mAlerts.answer(0);
    window()->linkClicked(QUrl(QStringLiteral("file://xxx/123")));
    ASSERT_EQ(mAlerts.keys(), QStringList{"OtherLocLogout"});
    EXPECT_TRUE(second->waitFor("ParleyMyIDLoggedInOtherPlace", {}, 20000).has_value());
    ASSERT_TRUE(parley::test::waitUntil([this] { return mAlerts.shown.size() == 2; }, 20000));
    EXPECT_EQ(mAlerts.shown[1].key, QStringLiteral("CompleteLogoutMsg"));
    EXPECT_EQ(mAlerts.shown[1].title, text("CompleteLogoutMsg").arg(name));
    ASSERT_TRUE(parley::test::waitUntil([this] { return mController->sessionCount() == 2; }, 20000));

    // "12" is still signed in: its list names the messenger alone.
    first->command(QStringLiteral("sessions"));
    const auto list = first->waitFor("ParleySessionList", {}, 20000);
    ASSERT_TRUE(list.has_value());
    const QVariantList entries = list->value(QStringLiteral("list")).toList();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].toStringList().value(0), QStringLiteral("1"));

    // Logging out all others leaves the messenger alone: the button stops and hides.
    mAlerts.answer(0);
    window()->allLogoutButton->click();
    EXPECT_TRUE(first->waitFor("ParleyMyIDLoggedInOtherPlace", {}, 20000).has_value());
    ASSERT_TRUE(parley::test::waitUntil([this] { return mController->sessionCount() == 1; }, 20000));
    EXPECT_FALSE(mController->isSessionButtonBlinking());
    EXPECT_TRUE(button->isHidden());
    EXPECT_TRUE(mController->loginStatus());
}

TEST_F(MultiLoginEndToEnd, ALostLineClosesTheSessionList)
{
    signIn();
    auto other = headless();
    ASSERT_TRUE(parley::test::waitUntil([this] { return mController->sessionCount() == 2; }, 10000));
    mController->openSessionManagerAction();
    ASSERT_TRUE(parley::test::waitUntil([this] { return window() && window()->isVisible(); }, 10000));
    // The dispatch line drops without a sign-out notice.
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kSessionClosed), nullptr,
                                             {{QLatin1String(notifications::kSessionClosedKey), "DPLSessionRetry"}});
    EXPECT_TRUE(parley::test::waitUntil([this] { return !window() || !window()->isVisible(); }, 2000));
}
