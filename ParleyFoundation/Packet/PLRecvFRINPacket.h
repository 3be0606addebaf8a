#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A file-relay server's answer on a relay connection.
class PLRecvFRINPacket : public PLRecvPacket
{
public:
    QString code() const { return value(QStringLiteral("FRINCode")); }

protected:
    void decodeFields() override;
};

} // namespace parley
