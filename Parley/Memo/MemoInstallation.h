#pragma once

// Installs the memo windows in the running messenger for its lifetime: the
// manager hears the session's memos and the message box's requests on the
// session bus, the shell opens read windows through it and the buddy list
// compose windows. Uninstalls everything, closing open memo windows, when it
// goes.

#include "AppMemoServices.h"
#include "MessageWindowManager.h"

namespace parley {

class BuddyListCommands;

class MemoInstallation
{
public:
    // `opener`: where the memo windows' links open (the desktop's browser when null).
    explicit MemoInstallation(BuddyListCommands &buddyCommands, shell::UrlOpener *opener = nullptr);
    ~MemoInstallation();
    MemoInstallation(const MemoInstallation &) = delete;
    MemoInstallation &operator=(const MemoInstallation &) = delete;

    MessageWindowManager &manager() { return mManager; }

private:
    BuddyListCommands &mBuddyCommands;
    AppMemoServices mServices;
    MessageWindowManager mManager;
};

} // namespace parley
