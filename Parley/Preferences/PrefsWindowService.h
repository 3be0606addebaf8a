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
    // Binds the window (made when needed) to the user.
    void setUserID(const QString &userID) override;
    // Reads every pane again when the window exists.
    void readPreferences() override;
};

} // namespace parley
