#pragma once

// The memo table's model: the listed memos (without bodies) in four columns,
// "user" (the sender, or the recipients in the outbox), "subject", "date" and
// "size"; unread memos in blue. Rows are dragged as "PLFromEntryToMemo".
// A long list comes a page at a time: the view asks for more as it scrolls
// (canFetchMore/fetchMore), and the fetcher appends the next page.

#include "PGHDragListModel.h"
#include "PGHStoreRecords.h"

namespace pigeonhole {

class PGHMemoListModel : public PGHDragListModel
{
    Q_OBJECT

public:
    static constexpr char kDragType[] = "PLFromEntryToMemo";
    // The column identifiers, in column order.
    static const QStringList &columnIds();

    explicit PGHMemoListModel(QObject *parent = nullptr);

    void setRows(QList<PGHMemo> rows, bool outbox, bool more = false);
    // The next page of the list; `more`: whether pages follow it.
    void appendRows(const QList<PGHMemo> &rows, bool more);
    void setFetcher(std::function<void()> fetcher) { mFetcher = std::move(fetcher); }
    bool hasMore() const { return mMore; }
    const QList<PGHMemo> &rows() const { return mRows; }
    bool isOutbox() const { return mOutbox; }
    // Updates the unread marks of listed memos in place.
    void setUnread(const QHash<qint64, int> &unreadById);

    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    qint64 rowId(int row) const override { return mRows.at(row).id; }

    QList<PGHMemo> mRows;
    bool mOutbox = false;
    bool mMore = false;
    std::function<void()> mFetcher;
};

} // namespace pigeonhole
