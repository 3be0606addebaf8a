#pragma once

// What the shell's end-to-end suites share: the real timers made faster, the
// real facade behind a recorder, the test authority, and the fixture that
// starts the local service and a controller signed in to it.

#include "AppController.h"
#include "BuddyView.h"
#include "FacadeAccountSession.h"
#include "IdleSource.h"
#include "LoginView.h"
#include "LocalService.h"
#include "MainWindow.h"
#include "ParleyProgram.h"
#include "ScriptedAlerts.h"
#include "Sessions/PLParleySession.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestPki.h"
#include "TestSupport.h"
#include "Utils/KCShellHooks.h"
#include "Utils/PLEndpoints.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace parley::shell::test {


// The real timers, faster by `scale`, remembering every delay asked for and
// how many are still to fire.
class ScaledScheduler final : public ShellScheduler
{
public:
    explicit ScaledScheduler(double scale) : mTimers(scale) {}
    void schedule(QObject *context, double seconds, std::function<void()> fn) override
    {
        delays.append(seconds);
        ++pending;
        mTimers.schedule(context, seconds, [this, fn = std::move(fn)] {
            --pending;
            fn();
        });
    }
    QList<double> delays;
    int pending = 0;

private:
    TimerScheduler mTimers;
};

// The real facade behind a recorder that can refuse the next sign-ins.
class ForwardingSession final : public AccountSession
{
public:
    bool loginWithUserID(const QString &userID, const QString &password, const QVariantMap &options) override
    {
        calls << QStringLiteral("login %1").arg(userID);
        if (refuse > 0) {
            --refuse;
            return false;
        }
        return mReal.loginWithUserID(userID, password, options);
    }
    bool stopLogin() override
    {
        calls << QStringLiteral("stopLogin");
        return mReal.stopLogin();
    }
    bool logout(bool post) override
    {
        calls << QStringLiteral("logout %1").arg(post ? 1 : 0);
        return mReal.logout(post);
    }
    bool isLoggedIn() const override { return mReal.isLoggedIn(); }
    void setIsAvailablePONG(bool flag) override { mReal.setIsAvailablePONG(flag); }
    bool setProxyMode(int mode, const QString &ip, int port, const QString &user, const QString &password) override
    {
        return mReal.setProxyMode(mode, ip, port, user, password);
    }
    bool setMyStatus(int status) override
    {
        calls << QStringLiteral("status %1").arg(status);
        return mReal.setMyStatus(status);
    }
    bool setOTP(const QString &otp) override
    {
        calls << QStringLiteral("otp %1").arg(otp);
        return mReal.setOTP(otp);
    }
    bool sendLOPT() override { return mReal.sendLOPT(); }
    bool getMemo(const QString &cookie) override { return mReal.getMemo(cookie); }
    bool isSignInSession(const void *sender) const override { return mReal.isSignInSession(sender); }
    PLParleySession *facade() override { return mReal.facade(); }

    QStringList callsStartingWith(const QString &prefix) const
    {
        QStringList out;
        for (const QString &c : calls)
            if (c.startsWith(prefix))
                out << c;
        return out;
    }

    QStringList calls;
    int refuse = 0;

private:
    FacadeAccountSession mReal;
};

// No idle time, and sounds recorded, not played.
struct QuietIdleSource final : IdleSource {
    void requestIdleTime(Answer answer) override { answer(0.0); }
};
struct RecordedSounds final : KCShellHooks {
    void playSound(const QString &name) override { sounds << name; }
    QStringList sounds;
};

inline void trustTestAuthority()
{
    const parley::test::TestPki &pki = parley::test::TestPki::shared();
    qputenv("SSL_CERT_FILE", pki.caPem.toLocal8Bit());
    qputenv("SSL_CERT_DIR", QFileInfo(pki.caPem).absolutePath().toLocal8Bit());
}

class ShellEndToEnd : public ::testing::Test
{
public:
    void SetUp() override
    {
        const parley::test::TestPki &pki = parley::test::TestPki::shared();
        ASSERT_TRUE(pki.made);
        ASSERT_NE(privateCenter(), nullptr) << "no private session bus";
        trustTestAuthority();
        mSettings = std::make_unique<FreshSettings>();
        makeMessageBoxBundle(mSettings->resourceFolder(), QStringLiteral("1.0"));
    }
    void TearDown() override
    {
        mProgram.reset();
        mController.reset();
        parley::test::waitUntil([] { return false; }, 50); // deferred deletions
        mService.reset();
        PLEndpoints::setCurrent(PLEndpoints());
    }

    // `dataFile`: the accounts (null: the demo set).
    void startService(const QString &chain = parley::test::TestPki::shared().goodChain,
                      const QString &dataFile = QString())
    {
        mService = std::make_unique<localservice::LocalService>();
        localservice::ServiceOptions options;
        options.dataFile = dataFile;
        options.certChainFile = chain;
        options.keyFile = parley::test::TestPki::shared().key;
        QString error;
        ASSERT_TRUE(mService->start(options, &error)) << error.toStdString();
        PLEndpoints endpoints;
        endpoints.dispatchHost = QStringLiteral("127.0.0.1");
        endpoints.dispatchPort = mService->dispatchPort();
        endpoints.connectTimeout = 5;
        const QString web = QStringLiteral("http://127.0.0.1:%1").arg(mService->webPort());
        endpoints.webMail = endpoints.webMemo = endpoints.webSister = web;
        PLEndpoints::setCurrent(endpoints);
    }

    AppController &controller(double certAlertTimeout = 0)
    {
        mController.reset();
        mController = std::make_unique<AppController>(options(certAlertTimeout));
        mController->awakeFromNib();
        return *mController;
    }
    // The whole program as main() assembles it, started; the controller()
    // of the tests below is its controller.
    AppController &program()
    {
        mController.reset();
        mProgram.reset();
        mProgram = std::make_unique<ParleyProgram>(options());
        mProgram->start();
        return mProgram->controller();
    }
    AppController &current() { return mProgram ? mProgram->controller() : *mController; }
    AppController::Options options(double certAlertTimeout = 0)
    {
        AppController::Options o;
        o.session = &mSession;
        o.connectivity = &mNet;
        o.scheduler = &mScheduler;
        o.plugInCenter = privateCenter();
        o.random = [] { return 0; };
        o.startPowerNotifications = false;
        o.certAlertTimeout = certAlertTimeout;
        o.resourceDirectory = mSettings->resourceFolder();
        o.quitApplication = [this] {
            ++mQuits;
            mSignOutPendingAtQuit = mSession.facade() && mSession.facade()->isSignOutInProgress();
        };
        o.idleSource = &mIdleSource;
        o.shellHooks = &mSounds;
        return o;
    }
    LoginView &login() { return *current().loginView(); }
    bool showsBuddyView() { return current().window()->isShowingBuddyView(); }

    void typeAndSignIn(const QString &name = QStringLiteral("alice"), const QString &password = QStringLiteral("alice-pw"))
    {
        login().idField->clear(); // a saved account fills it
        login().passwordField->clear();
        QTest::keyClicks(login().idField, name);
        login().domainComboButton->setCurrentIndex(login().domainComboButton->findText(QStringLiteral("parley.test")));
        QTest::keyClicks(login().passwordField, password);
        QTest::keyClick(login().passwordField, Qt::Key_Return);
    }
    bool waitForBuddyView() { return parley::test::waitUntil([this] { return showsBuddyView(); }, 20000); }
    void signedIn()
    {
        controller();
        typeAndSignIn();
        ASSERT_TRUE(waitForBuddyView());
    }

    std::unique_ptr<FreshSettings> mSettings;
    std::unique_ptr<localservice::LocalService> mService;
    parley::test::ScriptedAlerts mAlerts;
    ForwardingSession mSession;
    FakeConnectivity mNet;
    ScaledScheduler mScheduler{0.02};
    std::unique_ptr<AppController> mController;
    std::unique_ptr<ParleyProgram> mProgram;
    int mQuits = 0;
    bool mSignOutPendingAtQuit = false;
    QuietIdleSource mIdleSource;
    RecordedSounds mSounds;
};

} // namespace parley::shell::test
