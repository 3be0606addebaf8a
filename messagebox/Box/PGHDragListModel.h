#pragma once

// What the box's two list models share: rows that are enabled, selectable and
// dragged (moved) under the model's own MIME type, with the dragged rows
// handed to a handler when the drag starts.

#include <QAbstractTableModel>

#include <functional>

namespace pigeonhole {

class PGHDragListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Called with the dragged rows when a drag starts.
    void setDragHandler(std::function<void(const QList<int> &rows)> handler) { mDragHandler = std::move(handler); }

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

protected:
    // `dragType` must outlive the model (the subclasses pass their constant).
    PGHDragListModel(const char *dragType, QObject *parent);

    // The stored id of the message listed in `row`.
    virtual qint64 rowId(int row) const = 0;

private:
    const char *mDragType;
    std::function<void(const QList<int> &)> mDragHandler;
};

} // namespace pigeonhole
