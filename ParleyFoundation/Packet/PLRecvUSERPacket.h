#pragma once

#include "PLRecvPacket.h"

namespace parley {

// One member already present in the room, listed after ENTR.
class PLRecvUSERPacket : public PLRecvPacket
{
public:
    QString ID() const { return value(QStringLiteral("ID")); }
    QString nickName() const { return value(QStringLiteral("nickName")); }
    QString name() const { return value(QStringLiteral("name")); }
    QString pver() const { return value(QStringLiteral("pver")); }
    QString deviceType() const { return value(QStringLiteral("deviceType")); }
    qint32 index() const { return intValue(QStringLiteral("idx"), -1); }
    qint32 count() const { return intValue(QStringLiteral("count")); }

protected:
    void decodeFields() override;
};

} // namespace parley
