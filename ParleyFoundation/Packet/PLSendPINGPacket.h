#pragma once

// The client's keepalive probe; the server answers PONG.

#include "PLSendPacket.h"

namespace parley {

class PLSendPINGPacket : public PLSendPacket
{
public:
    explicit PLSendPINGPacket(qint32 tid = 0)
        : PLSendPacket(tid)
    {
        mCommand = QStringLiteral("PING");
    }
};

} // namespace parley
