#pragma once

#include "PLRecvBodyPacket.h"

namespace parley {

// The envelope of an encrypted room: its body is another command's
// enciphered line.
class PLRecvCRPTPacket : public PLRecvBodyPacket
{
public:
    qint32 bodyLen() const { return intValue(QStringLiteral("bodyLen")); }

protected:
    void decodeFields() override;
};

} // namespace parley
