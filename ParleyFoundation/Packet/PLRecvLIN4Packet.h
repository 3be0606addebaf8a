#pragma once

// The answer to the sign-in; a body of bodyLen bytes follows, enciphered for
// "NE3" and plain for "PLN". Valid even when fields are missing, so that the
// sign-in is not left waiting; bodyLen then reads -1.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvLIN4Packet : public PLRecvPacket
{
public:
    QString encType() const { return value(QStringLiteral("encType")); }
    qint32 bodyLen() const { return intValue(QStringLiteral("bodyLen"), -1); }

protected:
    void decodeFields() override;
    bool isValidEvenWhenParsingFails() const override { return true; }
};

} // namespace parley
