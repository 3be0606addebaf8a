#pragma once

// A buddy's status as the server reports it on request; the status letter is
// kept upper-cased.

#include "PLRecvBuddyStatusPacket.h"

namespace parley {

class PLRecvINFYPacket : public PLRecvBuddyStatusPacket
{
public:
    QString langOSType() const { return value(QStringLiteral("langOS")); }

protected:
    QString statusFromWire(const QString &letter) const override { return letter.toUpper(); }
};

} // namespace parley
