#pragma once

// The chat table's model: the listed logs (without bodies) in four columns,
// "chatUser", "bodyData" (the log's title, its second line), "date" and
// "size". Rows are dragged as "PLFromEntryToChat".

#include "PGHStoreRecords.h"

#include <QAbstractTableModel>

#include <functional>

namespace pigeonhole {

class PGHChatListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr char kDragType[] = "PLFromEntryToChat";
    static const QStringList &columnIds();

    explicit PGHChatListModel(QObject *parent = nullptr);

    void setRows(QList<PGHChat> rows);
    const QList<PGHChat> &rows() const { return mRows; }
    void setDragHandler(std::function<void(const QList<int> &rows)> handler) { mDragHandler = std::move(handler); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    QList<PGHChat> mRows;
    std::function<void(const QList<int> &)> mDragHandler;
};

} // namespace pigeonhole
