#include "PlugInPrefsHost.h"

#include "PLUpdateManager.h"
#include "PlugInManager.h"

namespace parley {

QList<QVariantMap> PlugInPrefsHost::plugInList() const { return mPlugIns.plugInList(); }

bool PlugInPrefsHost::isEnableAutoLaunchPlugIn(const QString &plugInID) const
{
    return mPlugIns.isEnableAutoLaunchPlugIn(plugInID);
}

bool PlugInPrefsHost::isInstalledPlugIn(const QString &plugInID) const { return mPlugIns.isInstalledPlugIn(plugInID); }

bool PlugInPrefsHost::isNeedUpdatePlugIn(const QString &plugInID) const { return mPlugIns.isNeedUpdatePlugIn(plugInID); }

bool PlugInPrefsHost::isAutoLaunchPlugIn(const QString &plugInID) const { return mPlugIns.isAutoLaunchPlugIn(plugInID); }

void PlugInPrefsHost::setPluginAutoLaunch(const QString &plugInID, bool autoLaunch)
{
    mPlugIns.setPluginAutoLaunch(plugInID, autoLaunch);
}

void PlugInPrefsHost::quitPlugin(const QString &plugInID, const QString &key) { mPlugIns.quitPlugin(plugInID, key); }

void PlugInPrefsHost::removePlugIn(const QString &plugInID) { mPlugIns.removePlugIn(plugInID); }

bool PlugInPrefsHost::updatePlugIn(const QString &plugInID, bool notify)
{
    return mUpdates.updatePlugIn(plugInID, notify);
}

void PlugInPrefsHost::showPlugInUpdater(const QString &plugInID, bool execute)
{
    mUpdates.showPlugInUpdater(plugInID, execute);
}

void PlugInPrefsHost::installFinished(const QString &plugInID)
{
    // As the updater window does when its update is complete.
    const QVariantMap entry = mPlugIns.pluginForID(plugInID);
    if (entry.contains(QStringLiteral("newVersion")))
        mPlugIns.setPluginVersion(plugInID, entry.value(QStringLiteral("newVersion")).toString());
    mPlugIns.setPluginNeedUpdate(plugInID, false);
}

} // namespace parley
