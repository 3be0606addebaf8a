#include "ConnectivityTest.h"

#include "Utils/PLNetManager.h"

namespace parley::shell {

void NetManagerConnectivity::checkNetworkStatus() { PLNetManager::sharedManager().checkNetworkStatus(); }

bool NetManagerConnectivity::isDPLMode() const { return PLNetManager::sharedManager().isDPLMode(); }

} // namespace parley::shell
