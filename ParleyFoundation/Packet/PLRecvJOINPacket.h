#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A member came into the room.
class PLRecvJOINPacket : public PLRecvPacket
{
public:
    QString ID() const { return value(QStringLiteral("id")); }
    QString nickName() const { return value(QStringLiteral("nickName")); }
    QString name() const { return value(QStringLiteral("name")); }
    QString pver() const { return value(QStringLiteral("pver")); }
    QString deviceType() const { return value(QStringLiteral("deviceType")); }

protected:
    void decodeFields() override;
};

} // namespace parley
