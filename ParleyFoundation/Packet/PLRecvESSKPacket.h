#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The switchboard's answer to the enciphered session key.
class PLRecvESSKPacket : public PLRecvPacket
{
public:
    QString msg() const { return value(QStringLiteral("msg")); }

protected:
    void decodeFields() override;
};

} // namespace parley
