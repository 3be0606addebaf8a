#pragma once

// The core's shell hooks with the warning shown as a kit alert (through
// KCAlerts(), so tests answer it from a script). Sounds stay silent: a sound
// player derives from this class and adds playSound. The application installs
// one with parley::KCSetShellHooks and uninstalls it before destroying it.

#include "Utils/KCShellHooks.h"

class KCAlertShellHooks : public parley::KCShellHooks
{
public:
    // The key of the warning's alert request.
    static constexpr char kAlertKey[] = "ShellWarningAlert";

    void showWarningAlert(const QString &title, const QString &message) override;
};
