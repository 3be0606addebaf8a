#pragma once

// The machine identity sent at sign-in and used as key material of the saved
// password: the primary Ethernet address.

#include <QList>
#include <QString>

#include <optional>

namespace parley {

// What the identity needs to know of one network interface.
struct KCInterfaceInfo {
    bool isEthernet = false;
    bool isLoopback = false;
    QString hardwareAddress; // "AA:BB:CC:DD:EE:FF"
    int index = 0;
};

// Used when the interface list cannot be read at all.
inline constexpr char kMachineIdentityFallback[] = "4b1d9e07c2a85f36d0e94a7b18c3f2e5";

// The primary Ethernet address as "aa:bb:cc:dd:ee:ff"; "0x00000005" when
// there is no Ethernet interface; the fallback when the list is missing.
QString primaryMacAddressFrom(const std::optional<QList<KCInterfaceInfo>> &interfaces);
// The same for this machine's interfaces.
QString GetPrimaryMacAddress();

} // namespace parley
