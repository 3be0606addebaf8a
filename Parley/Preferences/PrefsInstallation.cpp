#include "PrefsInstallation.h"

#include "PrefsServices.h"

namespace parley {

PrefsInstallation::PrefsInstallation(shell::AppController &controller) : mShell(controller)
{
    PrefsServices::setShell(&mShell);
    shell::ShellWindows::setPrefsController(&mWindow);
}

PrefsInstallation::~PrefsInstallation()
{
    mWindow.close();
    shell::ShellWindows::setPrefsController(nullptr);
    PrefsServices::setShell(nullptr);
}

} // namespace parley
