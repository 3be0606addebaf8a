#pragma once

// Where plug-ins may live. The server's plug-in list names each plug-in's
// install location, and plugin.plist names each bundle to delete on
// removal: neither may reach outside the plug-in folder. Widget-free.

#include <QString>

namespace parley {

class PlugInPaths
{
public:
    PlugInPaths() = delete;

    // A server destination as a path: the first "~" becomes the home
    // folder; a destination without one is taken under the home folder.
    static QString installPathForDestination(const QString &destination, const QString &homeFolder);

    // The bundle path resolved ("..", links) when it lies inside the plug-in
    // folder (itself resolved), names an ".app" bundle and is not a link
    // itself; null otherwise. A path that does not exist yet is resolved
    // through its existing parent folder.
    static QString confinedBundlePath(const QString &path, const QString &plugInFolder);

    // The last component of a download address, fit to be a file name in a
    // private folder: letters, digits, "-", "_" and "." only (others become
    // "_"), no leading dot; "download.zip" when nothing is left.
    static QString archiveFileName(const QString &urlPath);
};

} // namespace parley
