#pragma once

// A buddy's new nickname.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvNNIKPacket : public PLRecvPacket
{
public:
    QString ID() const { return value(QStringLiteral("ID")); }
    QString nickName() const { return value(QStringLiteral("nickName")); }

protected:
    void decodeFields() override;
};

} // namespace parley
