#pragma once

// The memo table's model: the listed memos (without bodies) in four columns,
// "user" (the sender, or the recipients in the outbox), "subject", "date" and
// "size"; unread memos in blue. Rows are dragged as "PLFromEntryToMemo".

#include "PGHStoreRecords.h"

#include <QAbstractTableModel>

#include <functional>

namespace pigeonhole {

class PGHMemoListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr char kDragType[] = "PLFromEntryToMemo";
    // The column identifiers, in column order.
    static const QStringList &columnIds();

    explicit PGHMemoListModel(QObject *parent = nullptr);

    void setRows(QList<PGHMemo> rows, bool outbox);
    const QList<PGHMemo> &rows() const { return mRows; }
    bool isOutbox() const { return mOutbox; }
    // Updates the unread marks of listed memos in place.
    void setUnread(const QHash<qint64, int> &unreadById);
    // Called with the dragged rows when a drag starts.
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
    QList<PGHMemo> mRows;
    bool mOutbox = false;
    std::function<void(const QList<int> &)> mDragHandler;
};

} // namespace pigeonhole
