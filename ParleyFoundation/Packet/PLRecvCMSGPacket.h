#pragma once

#include "PLRecvBodyPacket.h"

namespace parley {

// A memo or message delivered by the server; also decodes PMSG lines, which
// keep their own word.
class PLRecvCMSGPacket : public PLRecvBodyPacket
{
public:
    QString fromID() const { return value(QStringLiteral("fromID")); }
    qint32 bodyLen() const { return intValue(QStringLiteral("bodyLen")); }

protected:
    void decodeFields() override;
};

} // namespace parley
