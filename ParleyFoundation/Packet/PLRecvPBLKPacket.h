#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The switchboard's public key for an encrypted room.
class PLRecvPBLKPacket : public PLRecvPacket
{
public:
    QString publicKey() const { return value(QStringLiteral("publicKey")); }

protected:
    void decodeFields() override;
};

} // namespace parley
