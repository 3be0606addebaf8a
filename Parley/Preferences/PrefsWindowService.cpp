#include "PrefsWindowService.h"

#include "PrefsController.h"

namespace parley {

void PrefsWindowService::showWindow()
{
    parley::PrefsController *window = parley::PrefsController::defaultController();
    window->show();
    window->raise();
    window->activateWindow();
}

bool PrefsWindowService::isWindowVisible()
{
    return parley::PrefsController::isAvailable() && parley::PrefsController::defaultController()->isVisible();
}

void PrefsWindowService::close()
{
    if (parley::PrefsController::isAvailable())
        parley::PrefsController::defaultController()->close();
}

void PrefsWindowService::setUserID(const QString &userID)
{
    // Reading the panes again would drop the user's unsaved edits; they are
    // saved when the window closes.
    if (isWindowVisible() && parley::PrefsController::defaultController()->currentUserID() == userID)
        return;
    parley::PrefsController::defaultController()->setCurrentUserID(userID);
}

void PrefsWindowService::readPreferences()
{
    if (parley::PrefsController::isAvailable())
        parley::PrefsController::defaultController()->readPreferences();
}

void PrefsWindowService::showMessagePane() { parley::PrefsController::defaultController()->showMessage(); }

void PrefsWindowService::showNotificationPane() { parley::PrefsController::defaultController()->showNotification(); }

void PrefsWindowService::showVelaComPane() { parley::PrefsController::defaultController()->showVelaCom(); }

void PrefsWindowService::showGeneralPane() { parley::PrefsController::defaultController()->showGeneral(); }

void PrefsWindowService::showOrchardPane() { parley::PrefsController::defaultController()->showOrchard(); }

} // namespace parley
