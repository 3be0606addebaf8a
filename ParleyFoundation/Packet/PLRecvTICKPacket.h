#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A fresh web ticket for the portal's pages.
class PLRecvTICKPacket : public PLRecvPacket
{
public:
    QString ticket() const { return value(QStringLiteral("ticket")); }

protected:
    void decodeFields() override;
};

} // namespace parley
