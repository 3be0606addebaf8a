#pragma once

// One step of the add-buddy handshake. With tid 0 the server passes on another
// user's step in full; otherwise it answers ours: a rejection carries only the
// event and the buddy, an acceptance or request also name, group cache and area.
// Every value is kept as it came.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvADSBPacket : public PLRecvPacket
{
public:
    // The tid as read by the decoder; -1 before decoding.
    qint32 tid() const { return mTid; }
    QString event() const { return value(QStringLiteral("event")); }
    QString targetCMN() const { return value(QStringLiteral("targetCMN")); }
    QString targetName() const { return value(QStringLiteral("targetName")); }
    QString groupCache() const { return value(QStringLiteral("groupCache")); }
    QString targetArea() const { return value(QStringLiteral("targetArea")); }
    QString targetID() const { return value(QStringLiteral("targetID")); }
    QString targetGID() const { return value(QStringLiteral("targetGID")); }

protected:
    void decodeFields() override;

private:
    qint32 mTid = -1;
};

} // namespace parley
