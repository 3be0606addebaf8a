#pragma once

// A group was renamed: the answer to our RENG (new group cache), or with tid
// "0" one renamed elsewhere, with its ID and name. Values are kept as they
// came: the name keeps its escape sequences.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvRENGPacket : public PLRecvPacket
{
public:
    QString newGroupCache() const { return value(QStringLiteral("newGroupCache")); }
    QString groupID() const { return value(QStringLiteral("groupID")); }
    QString groupName() const { return value(QStringLiteral("groupName")); }

protected:
    void decodeFields() override;
};

} // namespace parley
