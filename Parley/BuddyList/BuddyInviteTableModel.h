#pragma once

// One table of the invite panel: buddies by name (and, on the left, by ID),
// drawn by the buddy list's row cell. The left table's rows drag out as the
// panel's drag type; the right table takes such drops.

#include "BuddyManagement/PLBuddy.h"

#include <QAbstractTableModel>

#include <functional>

namespace parley {

class BuddyInviteTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Side { Search, Invite };
    using Rows = std::function<const QList<PLBuddyPtr> &()>;
    // What a drop of IDs does; answers whether it took any.
    using DropIDs = std::function<bool(const QStringList &ids)>;

    BuddyInviteTableModel(Side side, Rows rows, QObject *parent = nullptr);
    void setDropHandler(DropIDs drop) { mDrop = std::move(drop); }
    // The list changed under the table.
    void reload();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

private:
    Side mSide;
    Rows mRows;
    DropIDs mDrop;
};

} // namespace parley
