#include "PGHMemoListModel.h"

#include "PGHDisplayFormat.h"

#include "Utils/KCUtilities.h"

#include <QBrush>

namespace pigeonhole {

const QStringList &PGHMemoListModel::columnIds()
{
    static const QStringList ids{"user", "subject", "date", "size"};
    return ids;
}

PGHMemoListModel::PGHMemoListModel(QObject *parent)
    : PGHDragListModel(kDragType, parent)
{
}

void PGHMemoListModel::setRows(QList<PGHMemo> rows, bool outbox, bool more)
{
    beginResetModel();
    mRows = std::move(rows);
    mMore = more;
    const bool headersChange = outbox != mOutbox;
    mOutbox = outbox;
    endResetModel();
    if (headersChange)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void PGHMemoListModel::setUnread(const QHash<qint64, int> &unreadById)
{
    for (int row = 0; row < mRows.size(); ++row) {
        const auto it = unreadById.constFind(mRows.at(row).id);
        if (it == unreadById.constEnd() || mRows.at(row).unread == it.value())
            continue;
        mRows[row].unread = it.value();
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::ForegroundRole});
    }
}

void PGHMemoListModel::appendRows(const QList<PGHMemo> &rows, bool more)
{
    mMore = more;
    if (rows.isEmpty())
        return;
    beginInsertRows(QModelIndex(), int(mRows.size()), int(mRows.size() + rows.size()) - 1);
    mRows << rows;
    endInsertRows();
}

bool PGHMemoListModel::canFetchMore(const QModelIndex &parent) const { return !parent.isValid() && mMore && mFetcher; }

void PGHMemoListModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        mFetcher();
}

int PGHMemoListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(mRows.size()); }

int PGHMemoListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 4; }

QVariant PGHMemoListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= mRows.size())
        return {};
    const PGHMemo &memo = mRows.at(index.row());
    if (role == Qt::ForegroundRole)
        return memo.unread != 0 ? QBrush(Qt::blue) : QBrush(Qt::black);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case 0: return mOutbox ? memo.ruser : memo.suser;
    case 1: return memo.subject;
    case 2: return PGHDisplayFormat::date(memo.date);
    case 3: return PGHDisplayFormat::size(memo.size);
    default: return {};
    }
}

QVariant PGHMemoListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case 0: return parley::KCLocalizedString(mOutbox ? QStringLiteral("ruser") : QStringLiteral("suser"));
    case 1: return parley::KCLocalizedString(QStringLiteral("subject"));
    case 2: return parley::KCLocalizedString(mOutbox ? QStringLiteral("sdate") : QStringLiteral("rdate"));
    case 3: return parley::KCLocalizedString(QStringLiteral("size"));
    default: return {};
    }
}

} // namespace pigeonhole
