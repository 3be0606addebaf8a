#pragma once

// What the box's two list models share: rows that are enabled, selectable and
// dragged (moved) under the model's own MIME type, with the dragged rows
// handed to a handler when the drag starts. A long list comes a page at a
// time: the view asks for more as it scrolls (canFetchMore/fetchMore), and the
// fetcher appends the next page.

#include <QAbstractTableModel>

#include <functional>

namespace pigeonhole {

class PGHDragListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Called with the dragged rows when a drag starts.
    void setDragHandler(std::function<void(const QList<int> &rows)> handler) { mDragHandler = std::move(handler); }

    void setFetcher(std::function<void()> fetcher) { mFetcher = std::move(fetcher); }
    // Whether pages follow the rows so far.
    bool hasMore() const { return mMore; }

    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

protected:
    // `dragType` must outlive the model (the subclasses pass their constant).
    PGHDragListModel(const char *dragType, QObject *parent);

    // The stored id of the message listed in `row`.
    virtual qint64 rowId(int row) const = 0;

    // Appends the next page to the model's rows; `more`: whether pages follow.
    template <typename Row>
    void appendPage(QList<Row> &rows, const QList<Row> &page, bool more)
    {
        mMore = more;
        if (page.isEmpty())
            return;
        beginInsertRows(QModelIndex(), int(rows.size()), int(rows.size() + page.size()) - 1);
        rows << page;
        endInsertRows();
    }

    bool mMore = false;

private:
    const char *mDragType;
    std::function<void(const QList<int> &)> mDragHandler;
    std::function<void()> mFetcher;
};

} // namespace pigeonhole
