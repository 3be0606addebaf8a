#include "PlugInPaneModel.h"

#include "Utils/KCUtilities.h"

#include <QFileInfo>

namespace parley {

PlugInControls PlugInPaneModel::controlsFor(const PlugInFacts &facts)
{
    PlugInControls c;
    c.autoStartEnabled = facts.autoLaunchAllowed;
    c.autoStartChecked = facts.autoLaunchAllowed && facts.autoLaunchOn;
    c.upgradeEnabled = (facts.isMessageBox || facts.installed) && facts.updatePending;
    c.installEnabled = !facts.isMessageBox && !facts.installed;
    c.removeEnabled = !facts.isMessageBox && facts.installed;
    return c;
}

QString PlugInPaneModel::descriptionText(const QVariantMap &entry, bool installed, bool updatePending)
{
    const QString description = entry.value(QStringLiteral("description")).toString();
    const QString version = entry.value(QStringLiteral("version")).toString();
    const QString installedText = installed ? KCLocalizedString(QStringLiteral("PluginVersionFormat")).arg(description, version)
                                            : QString();
    if (!updatePending)
        return installedText;
    const QString current = installed ? QStringLiteral("%1\n%2\n\n").arg(description, version) : QString();
    return KCLocalizedString(QStringLiteral("UpdateIsExist"))
        .arg(current, entry.value(QStringLiteral("newVersion")).toString());
}

QString PlugInPaneModel::installedText(const QVariantMap &entry)
{
    const QString path = entry.value(QStringLiteral("path")).toString();
    const bool exists = !path.isEmpty() && QFileInfo::exists(path);
    return KCLocalizedString(exists ? QStringLiteral("Installed") : QStringLiteral("NotInstalled"));
}

} // namespace parley
