#pragma once

// Whether the server took the session key; only a three-field line says so.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvPRVKPacket : public PLRecvPacket
{
public:
    QString success() const { return value(QStringLiteral("success")); }

protected:
    void decodeFields() override;
};

} // namespace parley
