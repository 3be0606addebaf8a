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
    parley::PrefsController::defaultController()->setCurrentUserID(userID);
}

void PrefsWindowService::readPreferences()
{
    if (parley::PrefsController::isAvailable())
        parley::PrefsController::defaultController()->readPreferences();
}

} // namespace parley
