#pragma once

// Asks the login-dispatch server which authentication it expects.

#include "PLSendPacket.h"

namespace parley {

class PLSendAUTHPacket : public PLSendPacket
{
public:
    explicit PLSendAUTHPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &authType);

    const QString &authType() const { return mAuthType; }
    void setAuthType(const QString &authType) { mAuthType = authType; }

protected:
    bool composeParams() override;

private:
    QString mAuthType = QStringLiteral("%00");
};

} // namespace parley
