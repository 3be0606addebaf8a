#pragma once

// The rules for adding, renaming and removing groups, free of widgets. Names
// are compared exactly (two names differing in case are two groups); an
// empty or blank name is refused everywhere, in the sheet and in place.

#include "BuddyManagement/PLGroup.h"

#include <QString>

namespace parley {

namespace BuddyGroupRules {

enum class NameCheck {
    OK,         // send it
    Blank,      // empty or only blanks: refused
    Duplicate,  // another group has that name: the name error
    Unchanged,  // the group being renamed already has it: nothing to do
};
// `existing`: the group that already has the name, if any; `renamed`: the
// group being renamed (null when adding).
NameCheck checkName(const QString &name, const PLGroupPtr &existing, const PLGroupPtr &renamed);

// The catch-all group (its name is the localized "EtcGroupName").
bool isCatchAll(const PLGroup &group);

enum class Removal { CatchAll, NotEmpty, Ask };
Removal removal(const PLGroup &group);

} // namespace BuddyGroupRules

} // namespace parley
