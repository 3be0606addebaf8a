#pragma once

// The Plug-in pane's decisions: which buttons a selected plug-in offers and
// the texts shown for it.

#include <QString>
#include <QVariantMap>

namespace parley {

struct PlugInFacts {
    bool isMessageBox = false;      // the message box, which can't be installed or removed here
    bool installed = false;
    bool updatePending = false;
    bool autoLaunchAllowed = false;
    bool autoLaunchOn = false;
};

struct PlugInControls {
    bool autoStartEnabled = false;
    bool autoStartChecked = false;
    bool installEnabled = false;
    bool upgradeEnabled = false;
    bool removeEnabled = false;
};

class PlugInPaneModel
{
public:
    PlugInPaneModel() = delete;

    static PlugInControls controlsFor(const PlugInFacts &facts);
    // The description field: with an update pending, the localized
    // "UpdateIsExist" with the installed description and version (when
    // installed) and the new version; otherwise the description and version
    // of an installed plug-in, empty for one not installed.
    static QString descriptionText(const QVariantMap &entry, bool installed, bool updatePending);
    // The installed-state column: "Installed" when a file stands at the
    // entry's "path", else "NotInstalled" (localized).
    static QString installedText(const QVariantMap &entry);
};

} // namespace parley
