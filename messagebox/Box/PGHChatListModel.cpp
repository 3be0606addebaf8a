#include "PGHChatListModel.h"

#include "PGHDisplayFormat.h"

#include "Utils/KCUtilities.h"

namespace pigeonhole {

const QStringList &PGHChatListModel::columnIds()
{
    static const QStringList ids{"chatUser", "bodyData", "date", "size"};
    return ids;
}

PGHChatListModel::PGHChatListModel(QObject *parent)
    : PGHDragListModel(kDragType, parent)
{
}

void PGHChatListModel::setRows(QList<PGHChat> rows, bool more)
{
    beginResetModel();
    mRows = std::move(rows);
    mMore = more;
    endResetModel();
}

void PGHChatListModel::appendRows(const QList<PGHChat> &rows, bool more) { appendPage(mRows, rows, more); }

int PGHChatListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(mRows.size()); }

int PGHChatListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 4; }

QVariant PGHChatListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= mRows.size() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const PGHChat &chat = mRows.at(index.row());
    switch (index.column()) {
    case 0: return chat.chatUser;
    case 1: return chat.title;
    case 2: return PGHDisplayFormat::date(chat.date);
    case 3: return PGHDisplayFormat::size(chat.size);
    default: return {};
    }
}

QVariant PGHChatListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const keys[] = {"chatuser", "subject", "date", "size"};
    if (section < 0 || section > 3)
        return {};
    return parley::KCLocalizedString(QLatin1String(keys[section]));
}

} // namespace pigeonhole
