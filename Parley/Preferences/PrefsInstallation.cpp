#include "PrefsInstallation.h"

#include "PrefsServices.h"

#include "Conversation/EmoticonController.h"

namespace parley {

PrefsInstallation::PrefsInstallation(shell::AppController &controller) : mShell(controller)
{
    PrefsServices::setShell(&mShell);
    PrefsServices::setEmoticonPalette(&mPalette);
    shell::ShellWindows::setPrefsController(&mWindow);
    // The emoticon palette's own button opens the preferences, as the menu does.
    EmoticonController::setPreferencesHandler([this] {
        if (mShell.loginStatus())
            mWindow.setUserID(mShell.currentUserID());
        mWindow.showWindow();
    });
}

PrefsInstallation::~PrefsInstallation()
{
    EmoticonController::setPreferencesHandler({});
    mWindow.close();
    PrefsServices::setEmoticonPalette(nullptr);
    shell::ShellWindows::setPrefsController(nullptr);
    PrefsServices::setShell(nullptr);
}

} // namespace parley
