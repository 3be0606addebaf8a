#pragma once

#include "PLSendPacket.h"

namespace parley {

// Asks the notification server for a chat-room (switchboard) server: the line
// is the word and the tid alone.
class PLSendRESSPacket : public PLSendPacket
{
public:
    explicit PLSendRESSPacket(qint32 tid = 0)
        : PLSendPacket(tid)
    {
        setCommand(QStringLiteral("RESS"));
    }
};

} // namespace parley
