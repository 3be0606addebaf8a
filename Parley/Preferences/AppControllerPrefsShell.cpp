#include "AppControllerPrefsShell.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "Shell/AppController.h"
#include "Shell/ShellWindows.h"

#include <QDesktopServices>

namespace parley {

namespace {

// The portal's profile pages, by their bridge codes.
constexpr char kProfilePage[] = "F009";
constexpr char kProfileSettingsPage[] = "F010";

} // namespace

AppControllerPrefsShell::AppControllerPrefsShell(shell::AppController &controller) : mController(controller) {}

bool AppControllerPrefsShell::loginStatus() const { return mController.loginStatus(); }

QString AppControllerPrefsShell::currentUserID() const { return mController.currentUserID(); }

PrefsSession *AppControllerPrefsShell::session()
{
    PLParleySession *facade = mController.session();
    if (!facade)
        return nullptr;
    if (facade != mSessionFacade) {
        mSession = std::make_unique<PrefsFacadeSession>(facade);
        mSessionFacade = facade;
    }
    return mSession.get();
}

void AppControllerPrefsShell::terminateApplication() { mController.terminate(); }

void AppControllerPrefsShell::showBuddyProfile(const PLBuddyPtr &buddy)
{
    if (buddy)
        shell::ShellWindows::bridgePage().bridgePageCall(QLatin1String(kProfilePage), buddy->buddyCMN(), QString(), -1);
}

void AppControllerPrefsShell::showMyProfileSettings()
{
    shell::ShellWindows::bridgePage().bridgePageCall(QLatin1String(kProfileSettingsPage),
                                                      PLMyInfoManager::sharedManager().cmn(), QString(), -1);
}

void AppControllerPrefsShell::showVelaJoin(bool isVela) { shell::ShellWindows::bridgePage().showVelaJoin(isVela); }

void AppControllerPrefsShell::showVelaFindID(bool isVela) { shell::ShellWindows::bridgePage().showVelaFindID(isVela); }

void AppControllerPrefsShell::openURL(const QUrl &url) { QDesktopServices::openUrl(url); }

} // namespace parley
