#include "PrefsToolbarModel.h"

#include <array>

namespace parley {

namespace {

const std::array<PrefsToolbarItem, 8> &items()
{
    static const std::array<PrefsToolbarItem, 8> table{{
        {QStringLiteral("PLPREFSGeneral"), QStringLiteral("General"), QStringLiteral("prefs_general"),
         PrefsPaneKind::General},
        {QStringLiteral("PLPREFSNotification"), QStringLiteral("Notification"), QStringLiteral("prefs_notificaiton"),
         PrefsPaneKind::Notification},
        {QStringLiteral("PLPREFSMessage"), QStringLiteral("Message"), QStringLiteral("prefs_message"),
         PrefsPaneKind::Message},
        {QStringLiteral("PLPREFSPrivacy"), QStringLiteral("Privacy"), QStringLiteral("prefs_privacy"),
         PrefsPaneKind::Privacy},
        {QStringLiteral("PLPREFSFirewall"), QStringLiteral("Firewall"), QStringLiteral("prefs_firewall"),
         PrefsPaneKind::Firewall},
        {QStringLiteral("PLPREFSPlugin"), QStringLiteral("Plugin"), QStringLiteral("prefs_plugin"),
         PrefsPaneKind::Plugin},
        {QStringLiteral("PLPREFSOrchard"), QStringLiteral("Orchard"), QStringLiteral("prefs_orchard"),
         PrefsPaneKind::Orchard},
        {QStringLiteral("PLPREFSVelaCom"), QStringLiteral("Velacom"), QStringLiteral("prefs_velacom"),
         PrefsPaneKind::VelaCom},
    }};
    return table;
}

} // namespace

QStringList PrefsToolbarModel::itemIdentifiers(bool globalMode, bool velaMode)
{
    QStringList ids{QStringLiteral("PLPREFSGeneral"), QStringLiteral("PLPREFSNotification"),
                    QStringLiteral("PLPREFSMessage"), QStringLiteral("PLPREFSPrivacy"),
                    QStringLiteral("PLPREFSFirewall")};
    if (globalMode)
        return ids << QStringLiteral("PLPREFSOrchard");
    ids << QStringLiteral("PLPREFSPlugin");
    return ids << (velaMode ? QStringLiteral("PLPREFSOrchard") : QStringLiteral("PLPREFSVelaCom"));
}

std::optional<PrefsToolbarItem> PrefsToolbarModel::item(const QString &identifier)
{
    for (const PrefsToolbarItem &i : items())
        if (i.identifier == identifier)
            return i;
    return std::nullopt;
}

PrefsToolbarItem PrefsToolbarModel::itemForPane(PrefsPaneKind pane)
{
    for (const PrefsToolbarItem &i : items())
        if (i.pane == pane)
            return i;
    return items().front();
}

} // namespace parley
