#pragma once

// The item model the buddy outline shows: the view model's groups at the top
// level and their buddy rows as children. A thin adapter: every answer comes
// from BuddyListManager; drops and in-place renames are handed to the
// controller through BuddyListModelHandler.

#include "BuddyListManager.h"

#include <QAbstractItemModel>

namespace parley {

// What the model asks of the list's controller.
class BuddyListModelHandler
{
public:
    virtual ~BuddyListModelHandler() = default;
    // What a drop on `proposed` (the group or row under the pointer, or the
    // root) would do; Qt::IgnoreAction for nothing.
    virtual Qt::DropAction validateDrop(const QMimeData &data, const QModelIndex &proposed) = 0;
    virtual bool acceptDrop(const QMimeData &data, const QModelIndex &proposed) = 0;
    // A group renamed in place; answers whether the name was taken on.
    virtual bool renameGroupInPlace(const PLGroupPtr &group, const QString &name) = 0;
};

class BuddyListModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Role { KindRole = Qt::UserRole + 1, BuddyRole, GroupRole };
    enum Kind { GroupItem = 0, BuddyItem = 1 };

    explicit BuddyListModel(BuddyListManager &manager, QObject *parent = nullptr);

    BuddyListManager &manager() const { return mManager; }
    void setHandler(BuddyListModelHandler *handler) { mHandler = handler; }

    // A model reset; with `rebuildRows` the view model rebuilds inside it.
    void reload(bool rebuildRows);

    const GroupRecord *groupRecord(const QModelIndex &index) const;
    const BuddyRow *buddyRow(const QModelIndex &index) const;
    bool isGroup(const QModelIndex &index) const { return groupRecord(index) != nullptr; }
    QModelIndex indexForGroupID(const QString &groupID) const;
    QModelIndex indexForBuddy(const QString &groupID, const QString &velaID) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

private:
    // A child's internal id is its group's row + 1; a group's is 0.
    static constexpr quintptr kGroupLevel = 0;

    BuddyListManager &mManager;
    BuddyListModelHandler *mHandler = nullptr;
    int mDisplayType = 0; // read at every reset
};

} // namespace parley
