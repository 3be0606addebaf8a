#pragma once

// The real plug-in side of the shell: the bridge page, the plug-in manager,
// the update check and the session list, registered with ShellWindows (the
// bridge page with the chat-session manager, the plug-ins with the
// preferences' plug-in pane) for the object's lifetime.
// The application makes one before its controller; end-to-end tests too.

#include <memory>

namespace parley {
class BridgePage;
class PlugInManager;
class PLUpdateManager;
class PlugInPrefsHost;
class SessionManagerWindowHost;
} // namespace parley

namespace parley::shell {

class ShellScheduler;
class UrlOpener;

class PlugInSide
{
public:
    // Not owned; null: the default browser and real timers.
    explicit PlugInSide(UrlOpener *opener = nullptr, ShellScheduler *scheduler = nullptr);
    ~PlugInSide();
    PlugInSide(const PlugInSide &) = delete;
    PlugInSide &operator=(const PlugInSide &) = delete;

    parley::BridgePage &bridgePage() { return *mBridgePage; }
    parley::PlugInManager &plugInManager() { return *mPlugIns; }
    parley::PLUpdateManager &updateManager() { return *mUpdates; }

private:
    std::unique_ptr<parley::BridgePage> mBridgePage;
    std::unique_ptr<parley::PlugInManager> mPlugIns;
    std::unique_ptr<parley::PLUpdateManager> mUpdates;
    std::unique_ptr<parley::SessionManagerWindowHost> mSessionList;
    std::unique_ptr<parley::PlugInPrefsHost> mPrefsHost;
};

} // namespace parley::shell
