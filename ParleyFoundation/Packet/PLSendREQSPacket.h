#pragma once

// Asks the login-dispatch server for a notification server for a user.

#include "PLSendPacket.h"

namespace parley {

class PLSendREQSPacket : public PLSendPacket
{
public:
    explicit PLSendREQSPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &authType, const QString &userID);

    const QString &authType() const { return mAuthType; }
    void setAuthType(const QString &authType) { mAuthType = authType; }
    const QString &userID() const { return mUserID; }
    void setUserID(const QString &userID) { mUserID = userID; }

protected:
    bool composeParams() override;

private:
    QString mAuthType = QStringLiteral("%00");
    QString mUserID = QStringLiteral("%00");
};

} // namespace parley
