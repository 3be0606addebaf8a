#pragma once

// Every notification name and userInfo key posted through NotificationCenter,
// in one place, so that a typo is a compile error and not a silent miss.
// Add new names here, grouped by the part of the program that posts them.

namespace parley::notifications {

// Power: posted with no sender and no userInfo.
inline constexpr char kSystemWillSleep[] = "ParleySystemWillSleepNotification";
inline constexpr char kSystemWillPowerOn[] = "ParleySystemWillPowerOnNotification";
inline constexpr char kSystemHasPoweredOn[] = "ParleySystemHasPoweredOnNotification";

} // namespace parley::notifications
