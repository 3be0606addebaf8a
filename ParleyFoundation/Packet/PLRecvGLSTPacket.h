#pragma once

// One line of the group list: the kind of line follows from its number of
// fields (a cache line, a group or a buddy's place in a group). A line of any
// other length is invalid, silently.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvGLSTPacket : public PLRecvPacket
{
public:
    enum PacketType : qint32 { Unknown = 0, CacheLine = 1, GroupLine = 2, BuddyLine = 3 };

    qint32 packetType() const { return mPacketType; }
    QString cache() const { return value(QStringLiteral("cache")); }
    qint32 index() const { return intValue(QStringLiteral("idx"), -1); }
    qint32 count() const { return intValue(QStringLiteral("count"), 0); }
    bool IsGroup() const;
    QString groupID() const { return value(QStringLiteral("groupID")); }
    QString groupName() const { return value(QStringLiteral("groupName")); }
    QString parentGroupID() const { return value(QStringLiteral("parentGroupID")); }
    QString buddyCMN() const { return value(QStringLiteral("buddyCMN")); }
    bool isLast() const { return count() == 0 || index() == count() - 1; }

protected:
    bool hasDecodableLayout() const override;
    void decodeFields() override;

private:
    qint32 mPacketType = Unknown;
};

} // namespace parley
