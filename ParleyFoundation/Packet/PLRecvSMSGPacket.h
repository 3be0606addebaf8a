#pragma once

#include "PLRecvBodyPacket.h"

namespace parley {

// A service message delivered by the server, with a counted body.
class PLRecvSMSGPacket : public PLRecvBodyPacket
{
public:
    QString fromID() const { return value(QStringLiteral("fromID")); }
    qint32 bodyLen() const { return intValue(QStringLiteral("bodyLen")); }

protected:
    void decodeFields() override;
};

} // namespace parley
