#pragma once

#include "PLRecvPacket.h"

namespace parley {

// The file-relay server assigned to a transfer: address, port and cookie.
class PLRecvREFRPacket : public PLRecvPacket
{
public:
    QString FRServerIP() const { return value(QStringLiteral("REFRServerIP")); }
    QString portNo() const { return value(QStringLiteral("REFRPortNo")); }
    QString FRCookie() const { return value(QStringLiteral("REFRCookie")); }

protected:
    void decodeFields() override;
};

} // namespace parley
