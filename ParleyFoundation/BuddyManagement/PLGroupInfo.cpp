#include "PLGroupInfo.h"

#include "PropertyListWriter.h"

#include <map>
#include <tuple>

namespace parley {

namespace {

// The keys of a line's dictionary. Inserted in ascending key order with the
// end as the hint, no insertion searches: one dictionary is made per buddy of
// a sign-in.
const QString kType = QStringLiteral("type");
const QString kGroupCacheNo = QStringLiteral("groupCacheNo");
const QString kWillDownloadGroup = QStringLiteral("willDownloadGroup");
const QString kIsLast = QStringLiteral("isLast");
const QString kGroupID = QStringLiteral("groupId");
const QString kGroupName = QStringLiteral("groupName");
const QString kBuddyCMN = QStringLiteral("buddyCMN");
const QString kCacheType = QStringLiteral("Cache");
const QString kGroupType = QStringLiteral("Group");
const QString kBuddyType = QStringLiteral("Buddy");

} // namespace

QVariantMap PLGroupInfo::toVariantMap() const
{
    std::map<QString, QVariant> map;
    const auto add = [&map](const QString &key, const auto &value) {
        map.emplace_hint(map.cend(), std::piecewise_construct, std::forward_as_tuple(key), std::forward_as_tuple(value));
    };
    switch (type) {
    case Cache:
        add(kGroupCacheNo, groupCacheNo);
        add(kType, kCacheType);
        add(kWillDownloadGroup, willDownloadGroup);
        break;
    case Group:
        add(kGroupID, groupID);
        add(kGroupName, groupName);
        add(kIsLast, isLast);
        add(kType, kGroupType);
        break;
    case Buddy:
        add(kBuddyCMN, buddyCMN);
        add(kGroupID, groupID);
        add(kIsLast, isLast);
        add(kType, kBuddyType);
        break;
    case Unknown: return QVariantMap();
    }
    return QVariantMap(std::move(map));
}

void PLGroupInfo::writeDictionary(PropertyListWriter &writer) const
{
    // Keys in toVariantMap's (ascending) order.
    writer.beginDict();
    switch (type) {
    case Cache:
        writer.key(kGroupCacheNo), writer.integer(qint64(groupCacheNo));
        writer.key(kType), writer.string(kCacheType);
        writer.key(kWillDownloadGroup), writer.boolean(willDownloadGroup);
        break;
    case Group:
        writer.key(kGroupID), writer.string(groupID);
        writer.key(kGroupName), writer.string(groupName);
        writer.key(kIsLast), writer.boolean(isLast);
        writer.key(kType), writer.string(kGroupType);
        break;
    case Buddy:
        writer.key(kBuddyCMN), writer.string(buddyCMN);
        writer.key(kGroupID), writer.string(groupID);
        writer.key(kIsLast), writer.boolean(isLast);
        writer.key(kType), writer.string(kBuddyType);
        break;
    case Unknown: break;
    }
    writer.endDict();
}

std::optional<PLGroupInfo> PLGroupInfo::fromVariantMap(const QVariantMap &map)
{
    PLGroupInfo line;
    const QString type = map.value(kType).toString();
    if (type == kBuddyType) {
        if (!map.contains(kBuddyCMN) || !map.contains(kGroupID))
            return std::nullopt;
        line.type = Buddy;
        line.buddyCMN = map.value(kBuddyCMN).toString();
        line.groupID = map.value(kGroupID).toString();
    } else if (type == kGroupType) {
        if (!map.contains(kGroupID) || !map.contains(kGroupName))
            return std::nullopt;
        line.type = Group;
        line.groupID = map.value(kGroupID).toString();
        line.groupName = map.value(kGroupName).toString();
    } else if (type == kCacheType) {
        line.type = Cache;
        // As a dictionary's number is read elsewhere: an int, kept bit for bit.
        line.groupCacheNo = quint32(map.value(kGroupCacheNo).toInt());
        line.willDownloadGroup = map.value(kWillDownloadGroup).toBool();
    }
    line.isLast = map.value(kIsLast).toBool();
    return line;
}

} // namespace parley
