#pragma once

// What the core's utility functions need of the user interface: playing an
// event sound and showing a warning. The application installs its own; until
// then sounds stay silent and warnings only go to the log.

#include <QString>

namespace parley {

class KCShellHooks
{
public:
    virtual ~KCShellHooks() = default;
    // Plays the named sound of the application's resources; a name without a
    // sound plays nothing.
    virtual void playSound(const QString &name) { (void)name; }
    // A modal warning with one default button.
    virtual void showWarningAlert(const QString &title, const QString &message);
    // Opens a folder with the desktop's opener; answers whether it took it.
    virtual bool openFolder(const QString &folder)
    {
        (void)folder;
        return false;
    }
};

// The installed hooks (never null). The caller keeps ownership of what it
// installs and installs nullptr before destroying it.
KCShellHooks &KCCurrentShellHooks();
void KCSetShellHooks(KCShellHooks *hooks);

} // namespace parley
