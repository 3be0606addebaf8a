#include "PLParleySessionTransferLink.h"

#include "Sessions/PLParleySession.h"

namespace parley {

bool PLParleySessionTransferLink::requestP2PConnectToUser(const QString &userID, const QString &dpKey,
                                                          const QString &fileCookie)
{
    return mSession.requestP2PConnectToUser(userID, dpKey, fileCookie);
}

void PLParleySessionTransferLink::requestFRInfo(const QString &userID, const QString &fileCookie)
{
    mSession.requestFRInfo(userID, fileCookie);
}

void PLParleySessionTransferLink::requestFRConnectForFRCookie(const QString &frCookie)
{
    mSession.requestFRConnectForFRCookie(frCookie);
}

} // namespace parley
