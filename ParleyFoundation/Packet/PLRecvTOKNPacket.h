#pragma once

// A token from the server; a body of bodyLen bytes in the form encType
// follows. Valid even when fields are missing; bodyLen then reads -1.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvTOKNPacket : public PLRecvPacket
{
public:
    QString encType() const { return value(QStringLiteral("encType")); }
    qint32 bodyLen() const { return intValue(QStringLiteral("bodyLen"), -1); }

protected:
    void decodeFields() override;
    bool isValidEvenWhenParsingFails() const override { return true; }
};

} // namespace parley
