#pragma once

// What the plug-in pane asks of the plug-in manager, the update manager and
// the updater window. Installed through PrefsServices; until the plug-in
// manager is there a stand-in lists nothing.

#include <QList>
#include <QString>
#include <QVariantMap>

namespace parley {

class PrefsPlugInHost
{
public:
    virtual ~PrefsPlugInHost() = default;

    // One entry per plug-in: "id", "name", "path", "description", "version"
    // and, while an update is pending, "newVersion".
    virtual QList<QVariantMap> plugInList() const = 0;
    virtual bool isEnableAutoLaunchPlugIn(const QString &plugInID) const = 0;
    virtual bool isInstalledPlugIn(const QString &plugInID) const = 0;
    virtual bool isNeedUpdatePlugIn(const QString &plugInID) const = 0;
    virtual bool isAutoLaunchPlugIn(const QString &plugInID) const = 0;
    virtual void setPluginAutoLaunch(const QString &plugInID, bool autoLaunch) = 0;
    // Waits for the plug-in's process to end, then posts "PlugInQuitNotification"
    // {"id", "key"}.
    virtual void quitPlugin(const QString &plugInID, const QString &key) = 0;
    virtual void removePlugIn(const QString &plugInID) = 0;
    // Downloads and installs the plug-in in the background.
    virtual bool updatePlugIn(const QString &plugInID, bool notify) = 0;
    // Opens the updater window of the plug-in.
    virtual void showPlugInUpdater(const QString &plugInID, bool execute) = 0;
    // An install from the pane succeeded: the offered version is the
    // installed one now and no update is pending.
    virtual void installFinished(const QString &) {}
};

} // namespace parley
