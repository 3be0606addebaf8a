#include "PLRecvGLSTPacket.h"

namespace parley {

namespace {

PLRecvGLSTPacket::PacketType typeForFieldCount(qsizetype count)
{
    switch (count) {
    case 3:
        return PLRecvGLSTPacket::CacheLine;
    case 8:
        return PLRecvGLSTPacket::GroupLine;
    case 7:
        return PLRecvGLSTPacket::BuddyLine;
    default:
        return PLRecvGLSTPacket::Unknown;
    }
}

// At namespace scope rather than local statics: asked for several times a
// line, they then cost no guard check.
const PLFieldNames kGroupNames{QStringLiteral("idx"),       QStringLiteral("count"),
                               QStringLiteral("isGroup"),   QStringLiteral("groupID"),
                               QStringLiteral("groupName"), QStringLiteral("parentGroupID")};
const PLFieldNames kBuddyNames{QStringLiteral("idx"), QStringLiteral("count"), QStringLiteral("isGroup"),
                               QStringLiteral("buddyCMN"), QStringLiteral("parentGroupID")};

} // namespace

const PLFieldNames &PLRecvGLSTPacket::groupNames()
{
    return kGroupNames;
}

const PLFieldNames &PLRecvGLSTPacket::buddyNames()
{
    return kBuddyNames;
}

bool PLRecvGLSTPacket::IsGroup() const
{
    const QString isGroup = value(lineNames(), kIsGroup);
    return !isGroup.isNull() && isGroup != QLatin1String("N");
}

bool PLRecvGLSTPacket::hasDecodableLayout() const
{
    return typeForFieldCount(fieldCount()) != Unknown;
}

void PLRecvGLSTPacket::decodeFields()
{
    mPacketType = typeForFieldCount(fieldCount());
    if (mPacketType == CacheLine) {
        readField(QStringLiteral("cache"), 2);
        return;
    }
    const PLFieldNames &names = lineNames();
    readFields(2, names, kIdx, kIsGroup);
    // An empty list is announced by one line with a count of 0.
    if (count() == 0)
        return;
    readFields(2, names, kIsGroup);
}

} // namespace parley
