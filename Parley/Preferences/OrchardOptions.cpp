#include "OrchardOptions.h"

#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

namespace parley {

QStringList OrchardOptions::openModeTitles()
{
    return KCLocalizedString(QStringLiteral("MininookOptions")).split(QLatin1Char('|'));
}

QString OrchardOptions::openModeForIndex(int index)
{
    switch (index) {
    case 0: return QStringLiteral("O");
    case 1: return QStringLiteral("B");
    case 2: return QStringLiteral("C");
    default: return QStringLiteral("N");
    }
}

OrchardOptionValues OrchardOptions::inForce()
{
    return {PrefsManager::orchard_publicOption(), PrefsManager::orchard_isNewTextAlarm(),
            PrefsManager::orchard_isMsgGiftAlarm()};
}

QVariantMap OrchardOptions::changedOptions(const OrchardOptionValues &chosen, const OrchardOptionValues &inForce)
{
    const auto yesNo = [](bool on) { return on ? QStringLiteral("Y") : QStringLiteral("N"); };
    QVariantMap change;
    if (chosen.openModeIndex != inForce.openModeIndex)
        change.insert(QStringLiteral("orchard_open_mode"), openModeForIndex(chosen.openModeIndex));
    if (chosen.newTextAlarm != inForce.newTextAlarm)
        change.insert(QStringLiteral("orchard_noti1"), yesNo(chosen.newTextAlarm));
    if (chosen.messageAlarm != inForce.messageAlarm)
        change.insert(QStringLiteral("orchard_noti2"), yesNo(chosen.messageAlarm));
    return change;
}

} // namespace parley
