#pragma once

// The authentication the login-dispatch server expects.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvAUTHPacket : public PLRecvPacket
{
public:
    QString authType() const { return value(QStringLiteral("authType")); }

protected:
    void decodeFields() override;
};

} // namespace parley
