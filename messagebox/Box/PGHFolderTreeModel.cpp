#include "PGHFolderTreeModel.h"

#include "ImageRegistry.h"

#include <QMimeData>

namespace pigeonhole {

// internalId: 0 for a top-level node, 1 + its parent's row for a child.

PGHFolderTreeModel::PGHFolderTreeModel(QString dragType, QObject *parent)
    : QAbstractItemModel(parent)
    , mDragType(std::move(dragType))
{
}

void PGHFolderTreeModel::setNodes(QList<PGHTreeNode> nodes)
{
    beginResetModel();
    mNodes = std::move(nodes);
    endResetModel();
}

const PGHTreeNode *PGHFolderTreeModel::node(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    if (index.internalId() == 0)
        return index.row() < mNodes.size() ? &mNodes.at(index.row()) : nullptr;
    const int parentRow = int(index.internalId()) - 1;
    if (parentRow >= mNodes.size() || index.row() >= mNodes.at(parentRow).children.size())
        return nullptr;
    return &mNodes.at(parentRow).children.at(index.row());
}

QModelIndex PGHFolderTreeModel::indexOfFolder(qint64 folderId) const
{
    for (int row = 0; row < mNodes.size(); ++row) {
        const PGHTreeNode &top = mNodes.at(row);
        if (top.kind == PGHTreeNode::Kind::Folder && top.folder.id == folderId)
            return createIndex(row, 0, quintptr(0));
        for (int child = 0; child < top.children.size(); ++child)
            if (top.children.at(child).folder.id == folderId)
                return createIndex(child, 0, quintptr(row + 1));
    }
    return {};
}

QModelIndex PGHFolderTreeModel::indexOfGroup() const
{
    for (int row = 0; row < mNodes.size(); ++row)
        if (mNodes.at(row).kind == PGHTreeNode::Kind::Group)
            return createIndex(row, 0, quintptr(0));
    return {};
}

QModelIndex PGHFolderTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < mNodes.size() ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || parent.row() >= mNodes.size())
        return {};
    return row < mNodes.at(parent.row()).children.size() ? createIndex(row, 0, quintptr(parent.row() + 1))
                                                          : QModelIndex();
}

QModelIndex PGHFolderTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId()) - 1, 0, quintptr(0));
}

int PGHFolderTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(mNodes.size());
    if (parent.internalId() != 0 || parent.row() >= mNodes.size())
        return 0;
    return int(mNodes.at(parent.row()).children.size());
}

int PGHFolderTreeModel::columnCount(const QModelIndex &) const { return 1; }

QVariant PGHFolderTreeModel::data(const QModelIndex &index, int role) const
{
    const PGHTreeNode *n = node(index);
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return n->label;
    case Qt::DecorationRole: {
        const QPixmap image = ImageRegistry::pixmap(n->imageName);
        return image.isNull() ? QVariant() : QVariant(image);
    }
    default:
        return {};
    }
}

Qt::ItemFlags PGHFolderTreeModel::flags(const QModelIndex &index) const
{
    const PGHTreeNode *n = node(index);
    if (!n)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (n->kind == PGHTreeNode::Kind::Folder)
        flags |= Qt::ItemIsDropEnabled;
    return flags;
}

QStringList PGHFolderTreeModel::mimeTypes() const { return {mDragType}; }

Qt::DropActions PGHFolderTreeModel::supportedDropActions() const { return Qt::MoveAction; }

bool PGHFolderTreeModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int row, int,
                                         const QModelIndex &parent) const
{
    // Only onto an item, never between items.
    const PGHTreeNode *target = node(parent);
    return data && row == -1 && target && mDropHandler && mDropHandler(data, *target, false);
}

bool PGHFolderTreeModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                      const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    // The handler may rebuild this model: copy the node first.
    const PGHTreeNode target = *node(parent);
    return mDropHandler(data, target, true);
}

} // namespace pigeonhole
