#pragma once

// A group was added: the answer to our ADDG (new group cache and group ID), or
// with tid "0" one added elsewhere, with its name. Values are kept as they came:
// the name keeps its escape sequences.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvADDGPacket : public PLRecvPacket
{
public:
    QString newGroupCache() const { return value(QStringLiteral("newGroupCache")); }
    QString groupID() const { return value(QStringLiteral("groupID")); }
    QString groupName() const { return value(QStringLiteral("groupName")); }

protected:
    void decodeFields() override;
};

} // namespace parley
