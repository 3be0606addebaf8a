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
    qint32 index() const { return intValue(lineNames(), kIdx, -1); }
    qint32 count() const { return intValue(lineNames(), kCount, 0); }
    bool IsGroup() const;
    QString groupID() const { return value(groupNames(), kGroupID); }
    QString groupName() const { return value(groupNames(), kGroupName); }
    QString parentGroupID() const
    {
        return value(lineNames(), mPacketType == GroupLine ? kGroupParentID : kBuddyParentID);
    }
    // parentGroupID() into `into`, reusing its buffer (see PLRecvFields::valueInto).
    void parentGroupIDInto(QString &into) const
    {
        valueInto(lineNames(), mPacketType == GroupLine ? kGroupParentID : kBuddyParentID, into);
    }
    QString buddyCMN() const { return value(buddyNames(), kBuddyCMN); }
    bool isLast() const { return count() == 0 || index() == count() - 1; }

    // A group list comes as one line per buddy.
    bool isReusable() const override { return true; }

protected:
    bool hasDecodableLayout() const override;
    void decodeFields() override;
    void clearDecoded() override { mPacketType = Unknown; }

private:
    // The names of fields 2 on of a group line and of a buddy line, made once.
    enum Field { kIdx, kCount, kIsGroup, kGroupID, kGroupName, kGroupParentID, // group line
                 kBuddyCMN = kGroupID, kBuddyParentID = kGroupName };           // buddy line
    static const PLFieldNames &groupNames();
    static const PLFieldNames &buddyNames();
    // The table of this line's kind; a cache line has neither, and any name
    // of a table then reads as absent.
    const PLFieldNames &lineNames() const { return mPacketType == GroupLine ? groupNames() : buddyNames(); }

    qint32 mPacketType = Unknown;
};

} // namespace parley
