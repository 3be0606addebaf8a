#pragma once

// The chat table's model: the listed logs (without bodies) in four columns,
// "chatUser", "bodyData" (the log's title, its second line), "date" and
// "size". Rows are dragged as "PLFromEntryToChat".

#include "PGHDragListModel.h"
#include "PGHStoreRecords.h"

namespace pigeonhole {

class PGHChatListModel : public PGHDragListModel
{
    Q_OBJECT

public:
    static constexpr char kDragType[] = "PLFromEntryToChat";
    static const QStringList &columnIds();

    explicit PGHChatListModel(QObject *parent = nullptr);

    void setRows(QList<PGHChat> rows, bool more = false);
    // The next page of the list; `more`: whether pages follow it.
    void appendRows(const QList<PGHChat> &rows, bool more);
    const QList<PGHChat> &rows() const { return mRows; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    qint64 rowId(int row) const override { return mRows.at(row).id; }

    QList<PGHChat> mRows;
};

} // namespace pigeonhole
