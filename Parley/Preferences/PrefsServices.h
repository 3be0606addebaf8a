#pragma once

// Where the preferences window finds its collaborators: the shell, the
// plug-in host, the emoticon palette and the distributed notification
// center of the plug-in protocol. Each accessor answers the installed object
// or a stand-in; installed objects are not owned, and their owner installs
// nullptr before destroying them.

namespace parley {

class DistributedNotificationCenter;
class PrefsEmoticonPalette;
class PrefsPlugInHost;
class PrefsShell;

class PrefsServices
{
public:
    PrefsServices() = delete;

    static PrefsShell &shell();
    static PrefsPlugInHost &plugInHost();
    static PrefsEmoticonPalette &emoticonPalette();
    // The session bus's center unless another is installed.
    static DistributedNotificationCenter &distributedCenter();

    static void setShell(PrefsShell *shell);
    static void setPlugInHost(PrefsPlugInHost *host);
    static void setEmoticonPalette(PrefsEmoticonPalette *palette);
    static void setDistributedCenter(DistributedNotificationCenter *center);
};

} // namespace parley
