#pragma once

// Signs out of the notification server.

#include "PLSendPacket.h"

namespace parley {

class PLSendLOUTPacket : public PLSendPacket
{
public:
    explicit PLSendLOUTPacket(qint32 tid = 0)
        : PLSendPacket(tid)
    {
        mCommand = QStringLiteral("LOUT");
    }
};

} // namespace parley
