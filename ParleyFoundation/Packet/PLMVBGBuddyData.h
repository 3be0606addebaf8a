#pragma once

// One buddy of a move-between-groups batch: the same four values and line as a
// copy record.

#include "PLCPBGBuddyData.h"

namespace parley {

using PLMVBGBuddyData = PLCPBGBuddyData;

} // namespace parley
