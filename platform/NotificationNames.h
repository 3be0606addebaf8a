#pragma once

// Every notification name and userInfo key posted through NotificationCenter,
// in one place, so that a typo is a compile error and not a silent miss.
// Add new names here, grouped by the component that posts them.

namespace parley::notifications {

// Power: posted with no sender and no userInfo.
inline constexpr char kSystemWillSleep[] = "ParleySystemWillSleepNotification";
inline constexpr char kSystemWillPowerOn[] = "ParleySystemWillPowerOnNotification";
inline constexpr char kSystemHasPoweredOn[] = "ParleySystemHasPoweredOnNotification";

// Transport: a session's connect call failed at once (sender: the session;
// userInfo: kErrorClass, the socket layer's AsyncSocketError).
inline constexpr char kSessionConnectionFailed[] = "ParleySessionConnectionFailed";
inline constexpr char kErrorClass[] = "errorClass";
// Transport: one route of the connectivity test has finished (sender: the
// net manager; userInfo: the three keys below).
inline constexpr char kNetworkStatus[] = "ParleyNetworkStatus";
inline constexpr char kIsConnectable[] = "isConnectable";
inline constexpr char kDplServer[] = "dplServer";
inline constexpr char kMyIPAddress[] = "myIPAddress";

} // namespace parley::notifications
