// The preferences window installed in the application controller: the
// controller opens, binds, re-reads and closes it through the shell's
// window interface, and the window asks the controller who is signed in,
// quits through it and opens the portal's pages through its bridge page.
#include "BuddyManagement/PLBuddy.h"
#include "Conversation/EmoticonController.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Preferences/GeneralPane.h"
#include "Preferences/MessagePane.h"
#include "Preferences/NotificationPane.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Preferences/PrefsController.h"
#include "Preferences/PrefsInstallation.h"
#include "Preferences/PrefsServices.h"
#include "Preferences/PrefsShell.h"
#include "ScriptedAlerts.h"
#include "Shell/AccountSession.h"
#include "Shell/AppController.h"
#include "Shell/ShellWindows.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace parley::test {
namespace {

class QuietSession final : public shell::AccountSession
{
public:
    bool loginWithUserID(const QString &, const QString &, const QVariantMap &) override { return true; }
    bool stopLogin() override { return true; }
    bool logout(bool) override { return true; }
    bool isLoggedIn() const override { return loggedIn; }
    void setIsAvailablePONG(bool) override {}
    bool setProxyMode(int, const QString &, int, const QString &, const QString &) override { return true; }
    bool setMyStatus(int) override { return true; }
    bool isSignInSession(const void *) const override { return false; }
    PLParleySession *facade() override { return nullptr; }
    bool loggedIn = false;
};

class RecordingBridge final : public shell::BridgePage
{
public:
    void bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag) override
    {
        calls << QStringLiteral("%1 %2 %3 %4").arg(code, param).arg(returnURL.isNull()).arg(hFlag);
    }
    void removeBridgeFile() override {}
    void showCertFAQ() override {}
    void showVelaJoin(bool isVela) override { calls << QStringLiteral("join %1").arg(isVela); }
    void showVelaFindID(bool isVela) override { calls << QStringLiteral("findID %1").arg(isVela); }
    QStringList calls;
};

class ShellIntegrationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserDefaults::standardUserDefaults().setPath(mFolder.filePath(QStringLiteral("defaults.plist")));
        UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("ko")},
                                                       QLatin1String(kAppleLanguagesKey));
        PLMyInfoManager::sharedManager().resetForTesting();
        shell::AppController::Options options;
        options.session = &mSession;
        options.startPowerNotifications = false;
        options.installCoreServices = false;
        options.quitApplication = [this] { ++mQuits; };
        mController = std::make_unique<shell::AppController>(options);
        mInstallation = std::make_unique<PrefsInstallation>(*mController);
        shell::ShellWindows::setBridgePage(&mBridge);
    }
    void TearDown() override
    {
        mInstallation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        shell::ShellWindows::setBridgePage(nullptr);
        mController.reset();
        waitUntil([] { return false; }, 10);
        PLMyInfoManager::sharedManager().resetForTesting();
        UserDefaults::standardUserDefaults().setPath(UserDefaults::defaultPath());
    }

    // A signed-in user with new-account settings, bound to the controller.
    QString signedInUser()
    {
        const QString user = QStringLiteral("minji@") + KCDefaultDomain().at(0);
        UserDefaults::standardUserDefaults().setUserDictionary(user, KCDefaultUserPreferences());
        mController->setCurrentUserID(user);
        mSession.loggedIn = true;
        return user;
    }
    // The window opened through the shell's interface, bound to the user.
    static PrefsController *openFor(const QString &user)
    {
        shell::PrefsController &service = shell::ShellWindows::prefsController();
        service.setUserID(user);
        service.showWindow();
        return PrefsController::defaultController();
    }

    QTemporaryDir mFolder;
    QuietSession mSession;
    RecordingBridge mBridge;
    ScriptedAlerts mAlerts;
    int mQuits = 0;
    std::unique_ptr<shell::AppController> mController;
    std::unique_ptr<PrefsInstallation> mInstallation;
};

TEST_F(ShellIntegrationTest, TheControllerOpensBindsRereadsAndClosesTheWindow)
{
    const QString user = QStringLiteral("minji@") + KCDefaultDomain().at(0);
    QVariantMap prefs = KCDefaultUserPreferences();
    prefs.insert(QStringLiteral("showEmoticon"), false);
    UserDefaults::standardUserDefaults().setUserDictionary(user, prefs);
    mController->setCurrentUserID(user);
    mSession.loggedIn = true;

    shell::PrefsController &service = shell::ShellWindows::prefsController();
    EXPECT_FALSE(PrefsController::isAvailable());
    EXPECT_FALSE(service.isWindowVisible());
    service.readPreferences();
    EXPECT_FALSE(PrefsController::isAvailable()) << "reading again makes no window";
    service.setUserID(user);
    service.showWindow();
    ASSERT_TRUE(PrefsController::isAvailable());
    EXPECT_TRUE(service.isWindowVisible());
    PrefsController *window = PrefsController::defaultController();
    EXPECT_EQ(window->currentUserID(), user);
    EXPECT_TRUE(window->loginStatus()) << "the controller's sign-in state";
    EXPECT_FALSE(window->generalPane()->showEmoticonButton()->isChecked());

    prefs.insert(QStringLiteral("showEmoticon"), true);
    window->setUserPrefs(prefs);
    mController->readPreferences(); // as the core asks after a profile push
    EXPECT_TRUE(window->generalPane()->showEmoticonButton()->isChecked());

    service.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(PrefsController::isAvailable());
    EXPECT_TRUE(UserDefaults::standardUserDefaults().userDictionary(user).value(QStringLiteral("showEmoticon")).toBool());
}

TEST_F(ShellIntegrationTest, TheWindowsShellIsTheController)
{
    PrefsShell &shell = PrefsServices::shell();
    EXPECT_FALSE(shell.loginStatus());
    mSession.loggedIn = true;
    EXPECT_TRUE(shell.loginStatus());
    mController->setCurrentUserID(QStringLiteral("minji@x.test"));
    EXPECT_EQ(shell.currentUserID(), QStringLiteral("minji@x.test"));
    EXPECT_EQ(shell.session(), nullptr) << "no facade, no session";

    auto buddy = std::make_shared<PLBuddy>(QStringLiteral("100042"));
    PLMyInfoManager::sharedManager().setCMN(QStringLiteral("100001"));
    shell.showBuddyProfile(buddy);
    shell.showMyProfileSettings();
    shell.showVelaJoin(true);
    shell.showVelaFindID(true);
    EXPECT_EQ(mBridge.calls, (QStringList{QStringLiteral("F009 100042 1 -1"), QStringLiteral("F010 100001 1 -1"),
                                          QStringLiteral("join 1"), QStringLiteral("findID 1")}));

    // A new interface language quits through the controller (signed out: at once).
    mSession.loggedIn = false;
    UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("en")}, QLatin1String(kAppleLanguagesKey));
    PrefsController *window = PrefsController::defaultController();
    window->generalPane()->languagePopup()->setCurrentIndex(2);
    mAlerts.answer(0);
    window->close();
    EXPECT_EQ(mQuits, 1);
    EXPECT_EQ(KCCurrentLanguage(), QStringLiteral("de"));
}

TEST_F(ShellIntegrationTest, TheEmoticonPalettesButtonOpensThePreferencesOfTheSignedInUser)
{
    const QString user = QStringLiteral("minji@") + KCDefaultDomain().at(0);
    UserDefaults::standardUserDefaults().setUserDictionary(user, KCDefaultUserPreferences());
    mController->setCurrentUserID(user);
    mSession.loggedIn = true;

    QPointer<EmoticonController> palette = EmoticonController::defaultController();
    palette->preferenceAction();
    ASSERT_TRUE(PrefsController::isAvailable());
    EXPECT_EQ(PrefsController::defaultController()->currentUserID(), user);
    EXPECT_TRUE(shell::ShellWindows::prefsController().isWindowVisible());

    mInstallation.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    palette = EmoticonController::defaultController();
    palette->preferenceAction();
    EXPECT_FALSE(PrefsController::isAvailable()) << "uninstalled, the button opens nothing";
}

TEST_F(ShellIntegrationTest, TheOtherWindowsBringTheirPaneForward)
{
    const QString user = signedInUser();
    shell::PrefsController &service = shell::ShellWindows::prefsController();
    PrefsController *window = openFor(user);

    service.showMessagePane();
    EXPECT_EQ(window->currentPane(), static_cast<QWidget *>(window->messagePane()));
    service.showNotificationPane();
    EXPECT_EQ(window->currentPane(), static_cast<QWidget *>(window->notificationPane()));
}

TEST_F(ShellIntegrationTest, UninstallingClosesTheWindowAndLetsGo)
{
    shell::ShellWindows::prefsController().showWindow();
    ASSERT_TRUE(PrefsController::isAvailable());
    mInstallation.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(PrefsController::isAvailable());
    EXPECT_FALSE(shell::ShellWindows::prefsController().isWindowVisible()) << "the shell's stand-in again";
}

TEST_F(ShellIntegrationTest, SetMyNickNameBringsTheGeneralPaneForwardKeepingWhatIsBeingEdited)
{
    const QString user = signedInUser();
    shell::PrefsController &service = shell::ShellWindows::prefsController();
    PrefsController *window = openFor(user);
    window->showNotification();
    QCheckBox *mail = window->notificationPane()->showMailButton();
    const bool before = mail->isChecked();
    mail->click(); // not saved yet

    // The own-status view's command, as its menu posts it.
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kChangeStatus), nullptr,
                                             {{QStringLiteral("title"), KCLocalizedString(QStringLiteral("SetMyNickName"))}});
    EXPECT_TRUE(service.isWindowVisible());
    EXPECT_EQ(window->currentPane(), static_cast<QWidget *>(window->generalPane()));
    EXPECT_EQ(mail->isChecked(), !before) << "the open window was not read again";
    service.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(UserDefaults::standardUserDefaults().userDictionary(user).value(QStringLiteral("showMail")).toBool(), !before);
}

} // namespace
} // namespace parley::test
