#pragma once

// The folder outline's model: at most two levels of folders and the memo box's
// private group, as the box's data source lays them out. Drops onto a folder
// are handed to the data source, which decides.

#include "PGHStoreRecords.h"

#include <QAbstractItemModel>

#include <functional>

namespace pigeonhole {

struct PGHTreeNode {
    enum class Kind { Folder, Group };
    Kind kind = Kind::Folder;
    PGHFolder folder; // for a folder
    QString label;
    QString imageName;
    QList<PGHTreeNode> children; // one level only
};

class PGHFolderTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // Decides a drop onto a node: `perform` false only asks.
    using DropHandler = std::function<bool(const QMimeData *data, const PGHTreeNode &target, bool perform)>;

    explicit PGHFolderTreeModel(QString dragType, QObject *parent = nullptr);

    void setNodes(QList<PGHTreeNode> nodes);
    const QList<PGHTreeNode> &nodes() const { return mNodes; }
    void setDropHandler(DropHandler handler) { mDropHandler = std::move(handler); }

    const PGHTreeNode *node(const QModelIndex &index) const;
    QModelIndex indexOfFolder(qint64 folderId) const;
    QModelIndex indexOfGroup() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

private:
    QString mDragType;
    QList<PGHTreeNode> mNodes;
    DropHandler mDropHandler;
};

} // namespace pigeonhole
