#pragma once

#include "PLSendPacket.h"

namespace parley {

// Asks for the list of the account's other logins.
class PLSendMLSTPacket : public PLSendPacket
{
public:
    explicit PLSendMLSTPacket(qint32 tid = 0);

    const QString &target() const { return mTarget; }
    void setTarget(const QString &target) { mTarget = target; }

protected:
    bool composeParams() override;

private:
    QString mTarget = QStringLiteral("%00");
};

} // namespace parley
