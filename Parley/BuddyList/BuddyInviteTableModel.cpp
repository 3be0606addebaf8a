#include "BuddyInviteTableModel.h"

#include "BuddyInviteLists.h"
#include "BuddyListModel.h"
#include "Utils/KCUtilities.h"

#include <QMimeData>
#include <QSet>

namespace parley {

BuddyInviteTableModel::BuddyInviteTableModel(Side side, Rows rows, QObject *parent)
    : QAbstractTableModel(parent), mSide(side), mRows(std::move(rows))
{
}

void BuddyInviteTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

int BuddyInviteTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mRows().size());
}

int BuddyInviteTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mSide == Side::Search ? 2 : 1;
}

QVariant BuddyInviteTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= mRows().size())
        return {};
    const PLBuddyPtr &buddy = mRows().at(index.row());
    if (index.column() == 1) {
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return buddy->velaID();
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return buddy->name();
    // The row cell draws the status icon and the name with its emoticons.
    case BuddyListModel::KindRole: return int(BuddyListModel::BuddyItem);
    case BuddyListModel::BuddyRole: return QVariant::fromValue(buddy);
    default: return {};
    }
}

QVariant BuddyInviteTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return KCLocalizedString(section == 0 ? QStringLiteral("Name") : QStringLiteral("ID"));
}

Qt::ItemFlags BuddyInviteTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!index.isValid())
        return mSide == Side::Invite ? Qt::ItemIsDropEnabled : Qt::NoItemFlags;
    if (mSide == Side::Search)
        f |= Qt::ItemIsDragEnabled;
    else
        f |= Qt::ItemIsDropEnabled;
    return f;
}

QStringList BuddyInviteTableModel::mimeTypes() const { return {QLatin1String(BuddyInviteLists::kDragType)}; }

QMimeData *BuddyInviteTableModel::mimeData(const QModelIndexList &indexes) const
{
    QSet<int> seen;
    QList<PLBuddyPtr> buddies;
    for (const QModelIndex &index : indexes) {
        if (index.isValid() && index.row() < mRows().size() && !seen.contains(index.row())) {
            seen.insert(index.row());
            buddies.append(mRows().at(index.row()));
        }
    }
    if (buddies.isEmpty())
        return nullptr;
    auto *data = new QMimeData;
    data->setData(QLatin1String(BuddyInviteLists::kDragType), BuddyInviteLists::dragData(buddies));
    return data;
}

Qt::DropActions BuddyInviteTableModel::supportedDropActions() const
{
    return mSide == Side::Invite ? Qt::CopyAction : Qt::IgnoreAction;
}

Qt::DropActions BuddyInviteTableModel::supportedDragActions() const
{
    return mSide == Side::Search ? Qt::CopyAction : Qt::IgnoreAction;
}

bool BuddyInviteTableModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &) const
{
    return mSide == Side::Invite && data && data->hasFormat(QLatin1String(BuddyInviteLists::kDragType));
}

bool BuddyInviteTableModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                         const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent) || !mDrop)
        return false;
    const std::optional<QStringList> ids =
        BuddyInviteLists::idsFromDragData(data->data(QLatin1String(BuddyInviteLists::kDragType)));
    if (!ids)
        return false;
    mDrop(*ids);
    // The drop counts as taken, also when every buddy was there already.
    return true;
}

} // namespace parley
