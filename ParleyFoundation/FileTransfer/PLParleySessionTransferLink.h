#pragma once

// The account session as the file-transfer managers see it.

#include "PLTransferSessionLink.h"

namespace parley {

class PLParleySession;

class PLParleySessionTransferLink : public PLTransferSessionLink
{
public:
    explicit PLParleySessionTransferLink(PLParleySession &session) : mSession(session) {}

    bool requestP2PConnectToUser(const QString &userID, const QString &dpKey, const QString &fileCookie) override;
    void requestFRInfo(const QString &userID, const QString &fileCookie) override;
    void requestFRConnectForFRCookie(const QString &frCookie) override;

private:
    PLParleySession &mSession;
};

} // namespace parley
