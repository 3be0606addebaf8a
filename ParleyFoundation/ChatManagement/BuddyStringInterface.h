#pragma once

// The buddy's display string in the user's display style.

#include "BuddyManagement/PLBuddy.h"

#include <QString>

namespace parley {

class BuddyStringInterface
{
public:
    virtual ~BuddyStringInterface() = default;
    virtual QString buddyStringWithBuddy(const PLBuddy &buddy) = 0;
};

} // namespace parley
