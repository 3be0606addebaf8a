#pragma once

// A user's certificate for the key exchange; the certificate follows as a
// body of bodyLen bytes. The layout follows from the number of fields.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvNCPTPacket : public PLRecvPacket
{
public:
    QString range() const { return value(QStringLiteral("range")); }
    QString encodeType() const { return value(QStringLiteral("encodeType")); }
    qint32 bodyLen() const { return intValue(QStringLiteral("bodyLen"), -1); }

protected:
    void decodeFields() override;
};

} // namespace parley
