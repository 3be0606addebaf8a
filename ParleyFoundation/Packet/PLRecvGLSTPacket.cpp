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

} // namespace

bool PLRecvGLSTPacket::IsGroup() const
{
    const QString isGroup = value(QStringLiteral("isGroup"));
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
    readFields(2, {QStringLiteral("idx"), QStringLiteral("count")});
    // An empty list is announced by one line with a count of 0.
    if (count() == 0)
        return;
    if (mPacketType == GroupLine)
        readFields(4,
                   {QStringLiteral("isGroup"), QStringLiteral("groupID"), QStringLiteral("groupName"),
                    QStringLiteral("parentGroupID")});
    else
        readFields(4, {QStringLiteral("isGroup"), QStringLiteral("buddyCMN"), QStringLiteral("parentGroupID")});
}

} // namespace parley
