#pragma once

#include "PLSendPacket.h"

namespace parley {

// Asks the server to log out one or all of the account's other logins.
class PLSendKILSPacket : public PLSendPacket
{
public:
    explicit PLSendKILSPacket(qint32 tid = 0);

    const QString &targetType() const { return mTargetType; }
    void setTargetType(const QString &type) { mTargetType = type; }
    const QString &target() const { return mTarget; }
    void setTarget(const QString &target) { mTarget = target; }

protected:
    bool composeParams() override;

private:
    QString mTargetType = QStringLiteral("U");
    QString mTarget = QStringLiteral("%00");
};

} // namespace parley
