#pragma once

// The login-dispatch server's answer to the version check.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvPVERPacket : public PLRecvPacket
{
public:
    QString upgrade() const { return value(QStringLiteral("upgrade")); }

protected:
    void decodeFields() override;
};

} // namespace parley
