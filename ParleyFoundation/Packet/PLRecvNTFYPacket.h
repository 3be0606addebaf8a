#pragma once

// A buddy's status change, or with the user's own ID the user's own status;
// the status letter is kept as it came.

#include "PLRecvBuddyStatusPacket.h"

namespace parley {

class PLRecvNTFYPacket : public PLRecvBuddyStatusPacket
{
public:
    QString langOS() const { return value(QStringLiteral("langOS")); }

protected:
    QString statusFromWire(const QString &letter) const override { return letter; }
};

} // namespace parley
