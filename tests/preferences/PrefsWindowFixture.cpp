#include "PrefsWindowFixture.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "NotificationNames.h"
#include "Preferences/PrefsServices.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QApplication>

namespace parley::test {

void PrefsWindowTest::SetUp()
{
    UserDefaults::standardUserDefaults().setPath(mFolder.filePath(QStringLiteral("defaults.plist")));
    setLanguage("ko");
    PrefsManager::setCurrentUserProvider(&mUser);
    PLMyInfoManager::sharedManager().resetForTesting();
    PLBuddyManager::sharedManager().reset();
    mShell.facade = &mSession;
    PrefsServices::setShell(&mShell);
    PrefsServices::setPlugInHost(&mHost);
    PrefsServices::setEmoticonPalette(&mPalette);
    mAlerts = std::make_unique<ScriptedAlerts>();
    mObserver = NotificationCenter::defaultCenter().addObserver(QLatin1String(notifications::kPreferenceSave), nullptr,
                                                                [this](const Notification &) { ++mSaved; });
}

void PrefsWindowTest::TearDown()
{
    closeWindow();
    NotificationCenter::defaultCenter().removeObserver(mObserver);
    mAlerts.reset();
    PrefsServices::setShell(nullptr);
    PrefsServices::setPlugInHost(nullptr);
    PrefsServices::setEmoticonPalette(nullptr);
    PrefsManager::setCurrentUserProvider(nullptr);
    PLMyInfoManager::sharedManager().resetForTesting();
    PLBuddyManager::sharedManager().reset();
    UserDefaults::standardUserDefaults().setPath(UserDefaults::defaultPath());
    setLanguage("ko");
}

QString PrefsWindowTest::portalID(const char *name)
{
    return QLatin1String(name) + QLatin1Char('@') + KCDefaultDomain().at(0);
}

QString PrefsWindowTest::sisterID(const char *name)
{
    return QLatin1String(name) + QLatin1Char('@') + KCDefaultDomain().at(4);
}

void PrefsWindowTest::signIn(const QString &userID, const QVariantMap &prefs)
{
    mUser.id = userID;
    mShell.userID = userID;
    mShell.signedIn = true;
    UserDefaults::standardUserDefaults().setUserDictionary(userID, prefs);
}

PrefsController *PrefsWindowTest::openWindow()
{
    mWindow = PrefsController::defaultController();
    if (!mUser.id.isEmpty())
        mWindow->setCurrentUserID(mUser.id);
    mWindow->show();
    return mWindow;
}

void PrefsWindowTest::closeWindow()
{
    if (PrefsController::isAvailable())
        PrefsController::defaultController()->close();
    mWindow = nullptr;
    // The window goes with the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void PrefsWindowTest::setLanguage(const char *code)
{
    UserDefaults::standardUserDefaults().setObject(QStringList{QLatin1String(code)},
                                                   QLatin1String(kAppleLanguagesKey));
}

} // namespace parley::test
