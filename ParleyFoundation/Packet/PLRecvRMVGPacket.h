#pragma once

// A group was removed: the answer to our RMVG (new group cache), or with tid
// "0" one removed elsewhere, with its ID. Values are kept as they came.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvRMVGPacket : public PLRecvPacket
{
public:
    QString newGroupCache() const { return value(QStringLiteral("newGroupCache")); }
    QString groupID() const { return value(QStringLiteral("groupID")); }

protected:
    void decodeFields() override;
};

} // namespace parley
