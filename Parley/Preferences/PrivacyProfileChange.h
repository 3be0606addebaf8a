#pragma once

// What saving the Privacy pane changes: the two switches that live in the
// account's server profile go to the server only when they changed, and the
// encryption switch is always stored locally.

#include <QVariantMap>

namespace parley {

struct PrivacyProfileChange {
    QVariantMap profileChange; // the CPRF to send; empty: send nothing
    QVariantMap userPrefs;     // per-user keys to store

    // The boxes as the user left them, and the values in force:
    // onlyAllowedMayChat against privacy_IsChatToAllowedBuddy, memosOnlyFromBuddies
    // against privacy_IsReceiveMessageToOnlyBuddy.
    static PrivacyProfileChange forBoxes(bool onlyAllowedMayChat, bool memosOnlyFromBuddies, bool encrypt,
                                         bool onlyAllowedInForce, bool memosOnlyInForce);
};

} // namespace parley
