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

namespace {

// The same names as finished elements, for the writer.
using Key = PropertyListWriter::ConstantKey;
using Text = PropertyListWriter::ConstantString;
constexpr Key kTypeKey("type");
constexpr Key kGroupCacheNoKey("groupCacheNo");
constexpr Key kWillDownloadGroupKey("willDownloadGroup");
constexpr Key kIsLastKey("isLast");
constexpr Key kGroupIDKey("groupId");
constexpr Key kGroupNameKey("groupName");
constexpr Key kBuddyCMNKey("buddyCMN");
constexpr Text kCacheText("Cache");
constexpr Text kGroupText("Group");
constexpr Text kBuddyText("Buddy");

} // namespace

void PLGroupInfo::writeDictionary(PropertyListWriter &writer) const
{
    // Keys in toVariantMap's (ascending) order.
    writer.beginDict();
    switch (type) {
    case Cache:
        writer.key(kGroupCacheNoKey), writer.integer(qint64(groupCacheNo));
        writer.key(kTypeKey), writer.string(kCacheText);
        writer.key(kWillDownloadGroupKey), writer.boolean(willDownloadGroup);
        break;
    case Group:
        writer.key(kGroupIDKey), writer.string(groupID);
        writer.key(kGroupNameKey), writer.string(groupName);
        writer.key(kIsLastKey), writer.boolean(isLast);
        writer.key(kTypeKey), writer.string(kGroupText);
        break;
    case Buddy:
        writer.key(kBuddyCMNKey), writer.string(buddyCMN);
        writer.key(kGroupIDKey), writer.string(groupID);
        writer.key(kIsLastKey), writer.boolean(isLast);
        writer.key(kTypeKey), writer.string(kBuddyText);
        break;
    case Unknown: break;
    }
    writer.endDict();
}

std::optional<PLGroupInfo> PLGroupInfo::fromVariantMap(const QVariantMap &map)
{
    // One walk over the entries instead of a search per key: the replay of
    // a current cache reads every stored line. The keys differ in length,
    // so one comparison per entry tells them apart; other keys are ignored.
    const QVariant *type = nullptr, *groupCacheNo = nullptr, *willDownload = nullptr, *isLast = nullptr,
                   *groupID = nullptr, *groupName = nullptr, *buddyCMN = nullptr;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QString &key = it.key();
        const QVariant *value = &it.value();
        switch (key.size()) {
        case 4: if (key == kType) type = value; break;
        case 6: if (key == kIsLast) isLast = value; break;
        case 7: if (key == kGroupID) groupID = value; break;
        case 8: if (key == kBuddyCMN) buddyCMN = value; break;
        case 9: if (key == kGroupName) groupName = value; break;
        case 12: if (key == kGroupCacheNo) groupCacheNo = value; break;
        case 17: if (key == kWillDownloadGroup) willDownload = value; break;
        default: break;
        }
    }
    const auto text = [](const QVariant *value) { return value ? value->toString() : QString(); };
    PLGroupInfo line;
    const QString typeName = text(type);
    if (typeName == kBuddyType) {
        if (!buddyCMN || !groupID)
            return std::nullopt;
        line.type = Buddy;
        line.buddyCMN = buddyCMN->toString();
        line.groupID = groupID->toString();
    } else if (typeName == kGroupType) {
        if (!groupID || !groupName)
            return std::nullopt;
        line.type = Group;
        line.groupID = groupID->toString();
        line.groupName = groupName->toString();
    } else if (typeName == kCacheType) {
        line.type = Cache;
        // As a dictionary's number is read elsewhere: an int, kept bit for bit.
        line.groupCacheNo = quint32(groupCacheNo ? groupCacheNo->toInt() : 0);
        line.willDownloadGroup = willDownload && willDownload->toBool();
    }
    line.isLast = isLast && isLast->toBool();
    return line;
}

} // namespace parley
