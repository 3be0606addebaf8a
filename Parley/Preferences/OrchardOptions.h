#pragma once

// The sister service's three options on its linking pane: who may see the
// personal page (open, buddies, closed) and two notices. Saving sends only
// the options that changed, so that a value the pop-up can't show (the
// server's "N") is kept unless the user picks another.

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace parley {

struct OrchardOptionValues {
    int openModeIndex = 0; // 0 "O", 1 "B", 2 "C"
    bool newTextAlarm = false;
    bool messageAlarm = false;
};

class OrchardOptions
{
public:
    OrchardOptions() = delete;

    // The pop-up's entries: the localized "MininookOptions" split at "|".
    static QStringList openModeTitles();
    // The server's letter for a pop-up index: 0 "O", 1 "B", 2 "C", else "N".
    static QString openModeForIndex(int index);
    // The options in force (from the account's profile).
    static OrchardOptionValues inForce();
    // The profile change for the options chosen: the changed ones only.
    static QVariantMap changedOptions(const OrchardOptionValues &chosen, const OrchardOptionValues &inForce);
};

} // namespace parley
