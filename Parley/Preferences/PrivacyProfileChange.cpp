#include "PrivacyProfileChange.h"

namespace parley {

PrivacyProfileChange PrivacyProfileChange::forBoxes(bool onlyAllowedMayChat, bool memosOnlyFromBuddies, bool encrypt,
                                                    bool onlyAllowedInForce, bool memosOnlyInForce)
{
    PrivacyProfileChange change;
    if (onlyAllowedMayChat != onlyAllowedInForce) {
        // The server's key says whether people who are not buddies may chat.
        change.profileChange.insert(QStringLiteral("allow_nonbuddy_chat"),
                                    onlyAllowedMayChat ? QStringLiteral("N") : QStringLiteral("Y"));
        change.userPrefs.insert(QStringLiteral("PrivacyCheckBuddy"), !onlyAllowedMayChat);
    }
    if (memosOnlyFromBuddies != memosOnlyInForce) {
        change.profileChange.insert(QStringLiteral("allow_buddy_only"),
                                    memosOnlyFromBuddies ? QStringLiteral("Y") : QStringLiteral("N"));
        change.userPrefs.insert(QStringLiteral("PrivacyAllowNote"), memosOnlyFromBuddies);
    }
    change.userPrefs.insert(QStringLiteral("PrivacyEncrypt"), encrypt);
    return change;
}

} // namespace parley
