#pragma once

// The preferences' plug-in pane served by the real plug-in manager and
// update manager: the pane's questions go to the one, the update and the
// updater window to the other.

#include "Preferences/PrefsPlugInHost.h"

namespace parley {

class PlugInManager;
class PLUpdateManager;

class PlugInPrefsHost final : public PrefsPlugInHost
{
public:
    PlugInPrefsHost(PlugInManager &plugIns, PLUpdateManager &updates) : mPlugIns(plugIns), mUpdates(updates) {}

    QList<QVariantMap> plugInList() const override;
    bool isEnableAutoLaunchPlugIn(const QString &plugInID) const override;
    bool isInstalledPlugIn(const QString &plugInID) const override;
    bool isNeedUpdatePlugIn(const QString &plugInID) const override;
    bool isAutoLaunchPlugIn(const QString &plugInID) const override;
    void setPluginAutoLaunch(const QString &plugInID, bool autoLaunch) override;
    void quitPlugin(const QString &plugInID, const QString &key) override;
    void removePlugIn(const QString &plugInID) override;
    bool updatePlugIn(const QString &plugInID, bool notify) override;
    void showPlugInUpdater(const QString &plugInID, bool execute) override;
    void installFinished(const QString &plugInID) override;

private:
    PlugInManager &mPlugIns;
    PLUpdateManager &mUpdates;
};

} // namespace parley
