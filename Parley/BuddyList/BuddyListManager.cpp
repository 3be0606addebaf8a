#include "BuddyListManager.h"

#include "BuddyString.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <algorithm>

namespace parley {

namespace {

PLGroupPtr syntheticGroup(const char *key)
{
    const QString title = KCLocalizedString(QLatin1String(key));
    return std::make_shared<PLGroup>(title, title);
}

// The catch-all group always ends the list; others by name.
bool groupBefore(const GroupRecord &a, const GroupRecord &b, const QString &catchAll)
{
    if (a.group->groupName() == catchAll)
        return false;
    if (b.group->groupName() == catchAll)
        return true;
    return KCStringCompare(a.group->groupName(), b.group->groupName()) < 0;
}

} // namespace

BuddyListManager &BuddyListManager::sharedManager()
{
    static BuddyListManager manager;
    return manager;
}

BuddyListManager::BuddyListManager(PLBuddyManager &buddies)
    : mBuddies(buddies),
      mOnlineOfflineGroupArray_{syntheticGroup("OnlineGroupName"), syntheticGroup("OfflineGroupName")}
{
}

int BuddyListManager::buddyListType()
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QVariant stored = defaults.objectForKey(QLatin1String(kDisplayBuddyTypeKey));
    if (stored.isValid())
        return stored.toInt();
    setBuddyListType(AllBuddies);
    return AllBuddies;
}

void BuddyListManager::setBuddyListType(int type)
{
    UserDefaults::standardUserDefaults().setInteger(type, QLatin1String(kDisplayBuddyTypeKey));
}

void BuddyListManager::reloadData()
{
    switch (buddyListType()) {
    case AllBuddies: reloadBuddyListAll(); break;
    case OnlineOnly: reloadBuddyListOnlineOnly(); break;
    case OnlineOffline: reloadBuddyListOnlineOffline(); break;
    default: break;
    }
}

void BuddyListManager::reloadBuddyListAll() { rebuildByGroups(false); }

void BuddyListManager::reloadBuddyListOnlineOnly() { rebuildByGroups(true); }

void BuddyListManager::sortRows(QList<BuddyRow> &rows)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [](const BuddyRow &a, const BuddyRow &b) { return KCStringCompare(a.sortKey, b.sortKey) < 0; });
}

void BuddyListManager::rebuildByGroups(bool onlineOnly)
{
    // The type is read once: every row of this rebuild is named the same way,
    // and each row's key is formatted once rather than at every comparison.
    const QString stringType = BuddyString::buddyStringType();
    QList<GroupRecord> records;
    records.reserve(mBuddies.groupCount());
    // The dictionaries are walked in the order the index accessors give.
    for (const PLGroupPtr &group : mBuddies.mGroupDict()) {
        if (!group)
            continue;
        GroupRecord record{group, {}};
        record.buddyList.reserve(group->listedBuddyCount());
        for (const PLBuddyPtr &buddy : group->mUserListDict()) {
            if (!buddy || !buddy->buddyFlagFLBit())
                continue;
            if (onlineOnly && !isOnline(*buddy))
                continue;
            const QString key = BuddyString::displayString(stringType, *buddy);
            record.buddyList.append({buddy, group, onlineOnly ? QString() : key, key});
        }
        sortRows(record.buddyList);
        records.append(std::move(record));
    }
    const QString catchAll = KCLocalizedString(QStringLiteral("EtcGroupName"));
    std::stable_sort(records.begin(), records.end(),
                     [&](const GroupRecord &a, const GroupRecord &b) { return groupBefore(a, b, catchAll); });
    mGroupArray = std::move(records);
}

void BuddyListManager::removeAllOnlineOfflineGroupBuddies()
{
    // Every listed buddy removed at once: one by one from the end, by index,
    // walks the group's dictionary again for each of thousands of buddies.
    for (const PLGroupPtr &group : mOnlineOfflineGroupArray_)
        group->setMUserListDict({});
}

void BuddyListManager::reloadBuddyListOnlineOffline()
{
    mGroupArray.clear();
    const PLGroupPtr &online = mOnlineOfflineGroupArray_[0];
    const PLGroupPtr &offline = mOnlineOfflineGroupArray_[1];
    removeAllOnlineOfflineGroupBuddies();
    for (const PLGroupPtr &group : mBuddies.mGroupDict()) {
        if (!group)
            continue;
        for (const PLBuddyPtr &buddy : group->mUserListDict()) {
            // A buddy in several groups is placed once, by its first group.
            if (!buddy || !buddy->buddyFlagFLBit() || online->containsBuddy(buddy) || offline->containsBuddy(buddy))
                continue;
            (isOnline(*buddy) ? online : offline)->addBuddy(buddy);
        }
    }
    const QString stringType = BuddyString::buddyStringType();
    for (const PLGroupPtr &group : mOnlineOfflineGroupArray_) {
        GroupRecord record{group, {}};
        record.buddyList.reserve(group->listedBuddyCount());
        for (const PLBuddyPtr &buddy : group->mUserListDict()) {
            if (buddy->buddyFlagFLBit())
                record.buddyList.append({buddy, group, QString(), BuddyString::displayString(stringType, *buddy)});
        }
        sortRows(record.buddyList);
        mGroupArray.append(std::move(record));
    }
}

PLGroupPtr BuddyListManager::groupAtIndex(int index) const
{
    const GroupRecord *record = groupRecordAtIndex(index);
    return record ? record->group : nullptr;
}

const GroupRecord *BuddyListManager::groupRecordAtIndex(int index) const
{
    if (index < 0 || index >= mGroupArray.size())
        return nullptr;
    return &mGroupArray.at(index);
}

const QList<BuddyRow> *BuddyListManager::buddyListForGroup(const PLGroupPtr &group) const
{
    if (!group)
        return nullptr;
    const QString groupID = group->groupID();
    for (const GroupRecord &record : mGroupArray) {
        if (record.group->groupID() == groupID)
            return &record.buddyList;
    }
    return nullptr;
}

int BuddyListManager::buddyCountForGroup(const PLGroupPtr &group) const
{
    const QList<BuddyRow> *rows = buddyListForGroup(group);
    return rows ? int(rows->size()) : 0;
}

int BuddyListManager::onlineBuddyCountForGroup(const PLGroupPtr &group) const
{
    const QList<BuddyRow> *rows = buddyListForGroup(group);
    if (!rows)
        return 0;
    return int(std::count_if(rows->cbegin(), rows->cend(),
                             [](const BuddyRow &row) { return row.buddy && isOnline(*row.buddy); }));
}

const BuddyRow *BuddyListManager::buddyDictAtIndex(int index, const PLGroupPtr &group) const
{
    const QList<BuddyRow> *rows = buddyListForGroup(group);
    if (!rows || index < 0 || index >= rows->size())
        return nullptr;
    return &rows->at(index);
}

PLBuddyPtr BuddyListManager::buddyAtIndex(int index, const PLGroupPtr &group) const
{
    return buddyForBuddyDict(buddyDictAtIndex(index, group));
}

QVariantMap BuddyListManager::allBuddyList() const
{
    QVariantMap statuses;
    for (const PLGroupPtr &group : mBuddies.mGroupDict()) {
        if (!group)
            continue;
        for (const PLBuddyPtr &buddy : group->mUserListDict()) {
            if (buddy)
                statuses.insert(buddy->velaID(), int(buddy->status()));
        }
    }
    return statuses;
}

} // namespace parley
