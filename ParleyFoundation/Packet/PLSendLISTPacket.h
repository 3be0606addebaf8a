#pragma once

// Asks for the buddy list, one reply line per buddy.

#include "PLSendPacket.h"

namespace parley {

class PLSendLISTPacket : public PLSendPacket
{
public:
    explicit PLSendLISTPacket(qint32 tid = 0)
        : PLSendPacket(tid)
    {
        mCommand = QStringLiteral("LIST");
    }
};

} // namespace parley
