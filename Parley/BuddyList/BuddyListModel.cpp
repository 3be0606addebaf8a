#include "BuddyListModel.h"

#include "BuddyListDecisions.h"
#include "BuddyListDragAndDrop.h"
#include "BuddyString.h"

#include <QMimeData>

#include <algorithm>

namespace parley {

BuddyListModel::BuddyListModel(BuddyListManager &manager, QObject *parent)
    : QAbstractItemModel(parent), mManager(manager), mDisplayType(BuddyListManager::buddyListType())
{
}

void BuddyListModel::reload(bool rebuildRows)
{
    beginResetModel();
    mDisplayType = BuddyListManager::buddyListType();
    if (rebuildRows)
        mManager.reloadData();
    endResetModel();
}

const GroupRecord *BuddyListModel::groupRecord(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.internalId() != kGroupLevel)
        return nullptr;
    return mManager.groupRecordAtIndex(index.row());
}

const BuddyRow *BuddyListModel::buddyRow(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.internalId() == kGroupLevel)
        return nullptr;
    const GroupRecord *record = mManager.groupRecordAtIndex(int(index.internalId() - 1));
    if (!record || index.row() >= record->buddyList.size())
        return nullptr;
    return &record->buddyList.at(index.row());
}

QModelIndex BuddyListModel::indexForGroupID(const QString &groupID) const
{
    const QList<GroupRecord> &records = mManager.groupRecords();
    for (int i = 0; i < records.size(); ++i) {
        if (records.at(i).group->groupID() == groupID)
            return createIndex(i, 0, kGroupLevel);
    }
    return {};
}

QModelIndex BuddyListModel::indexForBuddy(const QString &groupID, const QString &velaID) const
{
    const QModelIndex group = indexForGroupID(groupID);
    const GroupRecord *record = groupRecord(group);
    if (!record)
        return {};
    for (int j = 0; j < record->buddyList.size(); ++j) {
        if (record->buddyList.at(j).buddy->velaID() == velaID)
            return createIndex(j, 0, quintptr(group.row()) + 1);
    }
    return {};
}

QModelIndex BuddyListModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < mManager.groupCount() ? createIndex(row, 0, kGroupLevel) : QModelIndex();
    const GroupRecord *record = groupRecord(parent);
    if (!record || row >= record->buddyList.size())
        return {};
    return createIndex(row, 0, quintptr(parent.row()) + 1);
}

QModelIndex BuddyListModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == kGroupLevel)
        return {};
    return createIndex(int(child.internalId() - 1), 0, kGroupLevel);
}

int BuddyListModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return mManager.groupCount();
    const GroupRecord *record = groupRecord(parent);
    return record ? int(record->buddyList.size()) : 0;
}

int BuddyListModel::columnCount(const QModelIndex &) const { return 1; }

bool BuddyListModel::hasChildren(const QModelIndex &parent) const
{
    // Every group can be opened, an empty one too.
    return !parent.isValid() || isGroup(parent);
}

QVariant BuddyListModel::data(const QModelIndex &index, int role) const
{
    if (const GroupRecord *record = groupRecord(index)) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: {
            const int online = int(std::count_if(record->buddyList.cbegin(), record->buddyList.cend(),
                                                 [](const BuddyRow &row) { return BuddyListManager::isOnline(*row.buddy); }));
            return BuddyListDecisions::groupTitle(mDisplayType, record->group->groupName(), online,
                                                  int(record->buddyList.size()));
        }
        case Qt::EditRole: return record->group->groupName();
        case KindRole: return int(GroupItem);
        case GroupRole: return QVariant::fromValue(record->group);
        default: return {};
        }
    }
    if (const BuddyRow *row = buddyRow(index)) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: return BuddyString::buddyStringWithBuddy(row->buddy);
        case KindRole: return int(BuddyItem);
        case BuddyRole: return QVariant::fromValue(row->buddy);
        case GroupRole: return QVariant::fromValue(row->group);
        default: return {};
        }
    }
    return {};
}

bool BuddyListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const GroupRecord *record = groupRecord(index);
    if (role != Qt::EditRole || !record || !mHandler)
        return false;
    return mHandler->renameGroupInPlace(record->group, value.toString());
}

Qt::ItemFlags BuddyListModel::flags(const QModelIndex &index) const
{
    if (const GroupRecord *record = groupRecord(index)) {
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
        if (BuddyListDecisions::canEditGroup(mDisplayType, *record->group))
            flags |= Qt::ItemIsEditable;
        return flags;
    }
    if (buddyRow(index)) {
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled | Qt::ItemNeverHasChildren;
        if (mDisplayType != BuddyListManager::OnlineOffline)
            flags |= Qt::ItemIsDragEnabled;
        return flags;
    }
    return Qt::NoItemFlags;
}

QStringList BuddyListModel::mimeTypes() const
{
    return {QLatin1String(BuddyListDragAndDrop::kDragAndDropOutlineType), QStringLiteral("text/uri-list")};
}

QMimeData *BuddyListModel::mimeData(const QModelIndexList &indexes) const
{
    // Rows in the order the outline shows them, whatever order they were selected in.
    QModelIndexList ordered = indexes;
    const auto position = [](const QModelIndex &i) {
        return i.internalId() == kGroupLevel ? std::pair(i.row(), -1) : std::pair(int(i.internalId() - 1), i.row());
    };
    std::sort(ordered.begin(), ordered.end(),
              [&](const QModelIndex &a, const QModelIndex &b) { return position(a) < position(b); });
    QList<const BuddyRow *> rows;
    for (const QModelIndex &index : std::as_const(ordered))
        rows << buddyRow(index);
    const std::optional<QByteArray> payload = BuddyListDragAndDrop::payloadForRows(mDisplayType, rows);
    if (!payload)
        return nullptr;
    auto *data = new QMimeData;
    data->setData(QLatin1String(BuddyListDragAndDrop::kDragAndDropOutlineType), *payload);
    return data;
}

bool BuddyListModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &parent) const
{
    // A drop between rows proposes their parent, a drop on a row the row
    // itself: both arrive here as `parent`.
    return data && mHandler && mHandler->validateDrop(*data, parent) != Qt::IgnoreAction;
}

bool BuddyListModel::dropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &parent)
{
    return data && mHandler && mHandler->acceptDrop(*data, parent);
}

Qt::DropActions BuddyListModel::supportedDropActions() const { return Qt::CopyAction | Qt::MoveAction; }

Qt::DropActions BuddyListModel::supportedDragActions() const { return Qt::CopyAction | Qt::MoveAction; }

} // namespace parley
