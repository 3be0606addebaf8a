#pragma once

// The preferences window as the application controller reaches it (the
// shell's PrefsController interface): opened, closed, bound to a user and
// read again. The window itself comes and goes; this service stays.

#include "Shell/ShellWindows.h"

namespace parley {

class PrefsWindowService final : public shell::PrefsController
{
public:
    void showWindow() override;
    bool isWindowVisible() override;
    void close() override;
    // Binds the window (made when needed) to the user; an open window that
    // shows that user already keeps what is being edited in it.
    void setUserID(const QString &userID) override;
    // Reads every pane again when the window exists.
    void readPreferences() override;
    // The portal-ID link pane (the transfer window's mail needs a linked ID).
    void showMessagePane() override;
    void showNotificationPane() override;
    void showVelaComPane() override;
    void showGeneralPane() override;
    void showOrchardPane() override;
};

} // namespace parley
