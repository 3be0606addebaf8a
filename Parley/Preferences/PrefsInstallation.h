#pragma once

// Installs the preferences window in the running messenger for its
// lifetime: the shell it asks (the application controller) and the window
// service the controller calls. Uninstalls both, closing an open window,
// when it goes.

#include "AppControllerPrefsShell.h"
#include "PrefsWindowService.h"

namespace parley {

class PrefsInstallation
{
public:
    explicit PrefsInstallation(shell::AppController &controller);
    ~PrefsInstallation();
    PrefsInstallation(const PrefsInstallation &) = delete;
    PrefsInstallation &operator=(const PrefsInstallation &) = delete;

private:
    AppControllerPrefsShell mShell;
    PrefsWindowService mWindow;
};

} // namespace parley
