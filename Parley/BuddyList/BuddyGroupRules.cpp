#include "BuddyGroupRules.h"

#include "Utils/KCUtilities.h"

namespace parley::BuddyGroupRules {

NameCheck checkName(const QString &name, const PLGroupPtr &existing, const PLGroupPtr &renamed)
{
    if (name.trimmed().isEmpty())
        return NameCheck::Blank;
    if (!existing)
        return NameCheck::OK;
    if (renamed && existing == renamed)
        return NameCheck::Unchanged;
    return NameCheck::Duplicate;
}

bool isCatchAll(const PLGroup &group) { return group.groupName() == KCLocalizedString(QStringLiteral("EtcGroupName")); }

Removal removal(const PLGroup &group)
{
    if (isCatchAll(group))
        return Removal::CatchAll;
    if (group.listedBuddyCount() > 0)
        return Removal::NotEmpty;
    return Removal::Ask;
}

} // namespace parley::BuddyGroupRules
