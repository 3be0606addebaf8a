#include "PGHDragListModel.h"

#include <QMimeData>
#include <QSet>

#include <algorithm>

namespace pigeonhole {

PGHDragListModel::PGHDragListModel(const char *dragType, QObject *parent)
    : QAbstractTableModel(parent)
    , mDragType(dragType)
{
}

Qt::ItemFlags PGHDragListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList PGHDragListModel::mimeTypes() const { return {QLatin1String(mDragType)}; }

QMimeData *PGHDragListModel::mimeData(const QModelIndexList &indexes) const
{
    QSet<int> seen;
    QList<int> rows;
    for (const QModelIndex &index : indexes)
        if (index.isValid() && !seen.contains(index.row())) {
            seen.insert(index.row());
            rows << index.row();
        }
    if (rows.isEmpty())
        return nullptr;
    std::sort(rows.begin(), rows.end());
    if (mDragHandler)
        mDragHandler(rows);
    auto *data = new QMimeData;
    // The drop reads the dragged messages from the data source; the payload
    // only marks the drag as ours.
    QByteArray ids;
    for (int row : rows)
        ids += QByteArray::number(rowId(row)) + ' ';
    data->setData(QLatin1String(mDragType), ids.trimmed());
    return data;
}

Qt::DropActions PGHDragListModel::supportedDragActions() const { return Qt::MoveAction; }

bool PGHDragListModel::canFetchMore(const QModelIndex &parent) const { return !parent.isValid() && mMore && mFetcher; }

void PGHDragListModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        mFetcher();
}

} // namespace pigeonhole
