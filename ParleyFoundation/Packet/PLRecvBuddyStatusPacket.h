#pragma once

// The fields that INFY and NTFY share: a buddy's status, file room, media type
// and language tag; a long form (11 fields or more) adds the session count and
// memo-only flag. A line of 9 or 10 fields is cut short and fails to parse.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvBuddyStatusPacket : public PLRecvPacket
{
public:
    QString ID() const { return value(QStringLiteral("ID")); }
    QString userStatus() const { return value(QStringLiteral("status")); }
    QString fileRoomType() const { return value(QStringLiteral("fileRoomType")); }
    QString fileRoomName() const { return value(QStringLiteral("fileRoomName")); }
    QString mediaType() const { return value(QStringLiteral("fileMediaType")); }
    QString sessionCount() const { return value(QStringLiteral("sessionCount")); }
    QString noteOnly() const { return value(QStringLiteral("noteOnly")); }

protected:
    void decodeFields() override;
    // The status letter as this command keeps it.
    virtual QString statusFromWire(const QString &letter) const = 0;
};

} // namespace parley
