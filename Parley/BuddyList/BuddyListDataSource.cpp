#include "BuddyListDataSource.h"

#include "BuddyListDragAndDrop.h"
#include "BuddyListShell.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "BuddyString.h"
#include "ChatManagement/ChatManagerInterface.h"
#include "KCAlertPresenter.h"
#include "MemoWindowOpener.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QItemSelectionModel>
#include <QMimeData>
#include <QSet>

#include <algorithm>

namespace parley {

namespace n = notifications;
namespace dnd = BuddyListDragAndDrop;
using BuddyListDecisions::DoubleClick;
using BuddyListDecisions::SelectedItem;

namespace {

bool isDisplayTypeOnlineOffline() { return BuddyListManager::buddyListType() == BuddyListManager::OnlineOffline; }

// Rows in list order: a group before its buddies, groups in order.
std::pair<int, int> listPosition(const QModelIndex &index)
{
    return index.parent().isValid() ? std::pair(index.parent().row(), index.row()) : std::pair(index.row(), -1);
}

} // namespace

BuddyListDataSource::BuddyListDataSource(BuddyListManager &manager, QObject *parent)
    : QObject(parent),
      mManager(manager),
      mModel(new BuddyListModel(manager, this)),
      mCell(new KCParleyCell(this)),
      mTimers(this),
      mPostStatusList([](const QVariantMap &statuses) { return plugin::postBuddyStatusList(statuses); }),
      mRefresh(mTimers, BuddyListRefresh::Actions{
                            [this] { return mShell && mShell->isBuddyDataReceived(); },
                            [this](bool rebuildRows) { reloadOutline(rebuildRows); },
                            [this] { expandAutoSaveItems(); },
                            [this] {
                                if (mPostStatusList)
                                    mPostStatusList(mManager.allBuddyList());
                            },
                            [this] {
                                if (mShell)
                                    mShell->buddyDataReceived();
                            }})
{
    mModel->setHandler(this);
    mCell->setDelegate(this);
    mCell->setDisplayButtons(true);
    mCell->setButtons(&mManager.mainListButtons());
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(this, QLatin1String(n::kBuddyStringTypeChanged), nullptr, [this](const Notification &) {
        if (mIsLoginCompleted)
            reloadBuddyData(false);
    });
    // One per changed buddy; which buddy does not matter: the whole list is rebuilt.
    center.addObserver(this, QLatin1String(n::kBuddyManagerBuddyUpdated), nullptr,
                       [this](const Notification &) { mRefresh.buddyUpdated(); });
}

BuddyListDataSource::~BuddyListDataSource()
{
    if (mView) {
        mView->setOutlineDelegate(nullptr);
        mView->setModel(nullptr);
    }
}

void BuddyListDataSource::setScheduler(BuddyListScheduler *scheduler)
{
    mRefresh.setScheduler(scheduler ? *scheduler : static_cast<BuddyListScheduler &>(mTimers));
}

void BuddyListDataSource::setMBuddyListView(KCOutlineView *view)
{
    mView = view;
    if (!view)
        return;
    view->setModel(mModel);
    view->setCell(mCell);
    view->setOutlineDelegate(this);
    view->setAccessibleName(KCLocalizedString(QStringLiteral("BuddyListName")));
    connect(view, &QTreeView::expanded, this, &BuddyListDataSource::saveExpansion);
    connect(view, &QTreeView::collapsed, this, &BuddyListDataSource::saveExpansion);
    connect(view, &QAbstractItemView::doubleClicked, this, &BuddyListDataSource::doubleClickAction);
    connect(view, &KCOutlineView::returnPressed, this, &BuddyListDataSource::doubleClickAction);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BuddyListDataSource::selectionChanged);
}

void BuddyListDataSource::reloadBuddyData(bool force) { mRefresh.reloadBuddyData(force); }

void BuddyListDataSource::reloadOutline(bool rebuildRows)
{
    // A reset closes every group and clears the selection: both are put back
    // by group ID and (group ID, buddy ID), as the user left them.
    QSet<QString> openGroups;
    QList<SelectedItem> selection;
    if (mView) {
        for (int i = 0; i < mModel->rowCount(); ++i) {
            const QModelIndex group = mModel->index(i, 0);
            if (mView->isExpanded(group))
                openGroups.insert(mModel->groupRecord(group)->group->groupID());
        }
        selection = selectedItems(selectedItemsInBuddyListViewItems());
    }
    mRestoring = true;
    mModel->reload(rebuildRows);
    mCell->setDisplayEmoticon(PrefsManager::general_IsShowAsEmoticon());
    if (mView) {
        for (int i = 0; i < mModel->rowCount(); ++i) {
            const QModelIndex group = mModel->index(i, 0);
            if (openGroups.contains(mModel->groupRecord(group)->group->groupID()))
                mView->expand(group);
        }
        QItemSelection restored;
        for (const SelectedItem &item : std::as_const(selection)) {
            const QModelIndex index =
                item.isGroup ? mModel->indexForGroupID(item.groupID) : mModel->indexForBuddy(item.groupID, item.velaID);
            if (index.isValid())
                restored.select(index, index);
        }
        if (!restored.isEmpty()) {
            mView->selectionModel()->select(restored, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            mView->selectionModel()->setCurrentIndex(restored.indexes().constFirst(), QItemSelectionModel::NoUpdate);
        }
    }
    mRestoring = false;
}

QStringList BuddyListDataSource::expandGroupList() const
{
    QStringList names;
    if (!mView)
        return names;
    for (int i = 0; i < mModel->rowCount(); ++i) {
        const QModelIndex group = mModel->index(i, 0);
        if (mView->isExpanded(group))
            names << mModel->groupRecord(group)->group->groupName();
    }
    return names;
}

void BuddyListDataSource::saveExpansion()
{
    if (mRestoring)
        return;
    // The two display families keep their own saved groups, by name.
    if (isDisplayTypeOnlineOffline())
        PrefsManager::setExpandedGroupNamesForOnlineOffline(expandGroupList());
    else
        PrefsManager::setExpandedGroupNames(expandGroupList());
}

void BuddyListDataSource::expandAutoSaveItems()
{
    if (!mView)
        return;
    const QStringList saved = isDisplayTypeOnlineOffline() ? PrefsManager::expandedGroupNamesForOnlineOffline()
                                                           : PrefsManager::expandedGroupNames();
    const QSet<QString> names(saved.cbegin(), saved.cend());
    const bool wasRestoring = mRestoring;
    mRestoring = true;
    for (int i = 0; i < mModel->rowCount(); ++i) {
        const QModelIndex group = mModel->index(i, 0);
        if (names.contains(mModel->groupRecord(group)->group->groupName()))
            mView->expand(group);
    }
    mRestoring = wasRestoring;
}

void BuddyListDataSource::expandAllItems()
{
    if (!mView)
        return;
    for (int i = 0; i < mModel->rowCount(); ++i)
        mView->expand(mModel->index(i, 0));
}

QModelIndexList BuddyListDataSource::selectedItemsInBuddyListViewItems() const
{
    if (!mView || !mView->selectionModel())
        return {};
    QModelIndexList rows = mView->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return listPosition(a) < listPosition(b); });
    return rows;
}

QList<SelectedItem> BuddyListDataSource::selectedItems(const QModelIndexList &rows) const
{
    QList<SelectedItem> items;
    for (const QModelIndex &index : rows) {
        if (const GroupRecord *record = mModel->groupRecord(index))
            items.append({true, record->group->groupID(), {}});
        else if (const BuddyRow *row = mModel->buddyRow(index))
            items.append({false, row->group->groupID(), row->buddy->velaID()});
    }
    return items;
}

bool BuddyListDataSource::isSelectedBuddyItem() const
{
    const QModelIndexList rows = selectedItemsInBuddyListViewItems();
    return !rows.isEmpty() && mModel->buddyRow(rows.first());
}

bool BuddyListDataSource::isSelectedGroupItem() const
{
    const QModelIndexList rows = selectedItemsInBuddyListViewItems();
    return !rows.isEmpty() && mModel->isGroup(rows.first());
}

bool BuddyListDataSource::isSelectedMultiBuddyItems() const
{
    const QModelIndexList rows = selectedItemsInBuddyListViewItems();
    return rows.size() > 1 && mModel->buddyRow(rows.first());
}

std::optional<QList<BuddyRow>> BuddyListDataSource::selectedBuddies() const
{
    const QModelIndexList rows = selectedItemsInBuddyListViewItems();
    if (rows.isEmpty())
        return std::nullopt;
    if (const GroupRecord *record = mModel->groupRecord(rows.first()))
        return record->buddyList;
    QList<BuddyRow> buddies;
    if (!mModel->buddyRow(rows.first()))
        return buddies;
    for (const QModelIndex &index : rows) {
        if (const BuddyRow *row = mModel->buddyRow(index))
            buddies.append(*row);
    }
    return buddies;
}

QStringList BuddyListDataSource::selectedBuddyIDList() const
{
    QStringList ids;
    for (const BuddyRow &row : selectedBuddies().value_or(QList<BuddyRow>()))
        ids << row.buddy->velaID();
    return ids;
}

QStringList BuddyListDataSource::selectedOnlineBuddyIDList() const
{
    QStringList ids;
    for (const BuddyRow &row : selectedBuddies().value_or(QList<BuddyRow>())) {
        if (BuddyListManager::isOnline(*row.buddy))
            ids << row.buddy->velaID();
    }
    return ids;
}

QStringList BuddyListDataSource::groupIDsForselectedBuddies() const
{
    QStringList ids;
    for (const BuddyRow &row : selectedBuddies().value_or(QList<BuddyRow>())) {
        if (!ids.contains(row.group->groupID()))
            ids << row.group->groupID();
    }
    return ids;
}

void BuddyListDataSource::deSelectItemInBuddyListViewExceptKind(BuddyListModel::Kind keep)
{
    if (!mView)
        return;
    for (const QModelIndex &index : selectedItemsInBuddyListViewItems()) {
        if (index.data(BuddyListModel::KindRole).toInt() != keep)
            mView->selectionModel()->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
}

void BuddyListDataSource::selectionChanged()
{
    if (mRestoring || !mView)
        return;
    QModelIndexList rows = selectedItemsInBuddyListViewItems();
    if (rows.size() > 1) {
        // A selection never mixes groups and buddies, and never holds two groups.
        const QList<int> drop = BuddyListDecisions::rowsToDeselect(selectedItems(rows), mLastSelectedBuddyListItem);
        if (!drop.isEmpty()) {
            QItemSelection removed;
            for (int i : drop)
                removed.select(rows.at(i), rows.at(i));
            mRestoring = true;
            mView->selectionModel()->select(removed, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
            mRestoring = false;
            mView->viewport()->update();
            rows = selectedItemsInBuddyListViewItems();
        }
    }
    if (rows.size() == 1)
        mLastSelectedBuddyListItem = selectedItems(rows).value(0);
    else if (rows.isEmpty())
        mLastSelectedBuddyListItem.reset();
}

void BuddyListDataSource::showOfflineAlert(const char *messageKey)
{
    KCAlertRequest request;
    request.key = QLatin1String(messageKey);
    request.title = KCLocalizedString(QStringLiteral("ChatTitle"));
    request.message = KCLocalizedString(QLatin1String(messageKey));
    request.buttons = {KCLocalizedString(QStringLiteral("OK"))};
    request.style = KCAlertRequest::Style::Warning;
    request.parent = mView ? mView->window() : nullptr;
    KCAlerts().show(request);
}

void BuddyListDataSource::doubleClickAction(const QModelIndex &index)
{
    if (!index.isValid() || !mView)
        return;
    const BuddyRow *row = mModel->buddyRow(index);
    const DoubleClick action = BuddyListDecisions::doubleClickAction(
        mModel->isGroup(index), mView->isExpanded(index), row ? row->buddy.get() : nullptr,
        PLMyInfoManager::sharedManager().status(), PrefsManager::general_doubleClickOption());
    switch (action) {
    case DoubleClick::Expand: mView->expand(index); break;
    case DoubleClick::Collapse: mView->collapse(index); break;
    case DoubleClick::OfflineAlert: showOfflineAlert("ChatErrorForOffline"); break;
    case DoubleClick::OpenChat:
        if (mChat)
            mChat->openChatRoom({row->buddy->velaID()});
        break;
    case DoubleClick::OpenMemo:
        if (mMemos)
            mMemos->createMessageWindowWithTargets(selectedBuddyIDList(), QString());
        break;
    case DoubleClick::Nothing: break;
    }
}

void BuddyListDataSource::memoAction(const PLBuddyPtr &buddy)
{
    if (buddy && mMemos)
        mMemos->createMessageWindowWithTargets({buddy->velaID()}, QString());
}

void BuddyListDataSource::orchardAction(const PLBuddyPtr &buddy)
{
    if (!buddy)
        return;
    buddy->setOrchardGuestBookHasNewPost(false);
    if (mShell)
        mShell->showBuddyMininook(buddy);
    if (mIsLoginCompleted)
        reloadBuddyData(true);
}

QString BuddyListDataSource::outlineViewToolTip(KCOutlineView *, const QModelIndex &index,
                                                BuddyListDecisions::RowButton under)
{
    const BuddyRow *row = mModel->buddyRow(index);
    if (!row)
        return {};
    return BuddyListDecisions::buddyToolTip(*row->buddy, BuddyString::buddyStringWithBuddy(row->buddy), under);
}

Qt::DropAction BuddyListDataSource::outlineViewValidateDrop(const QMimeData &data, const QModelIndex &proposed)
{
    const bool hasBuddies = data.hasFormat(QLatin1String(dnd::kDragAndDropOutlineType));
    const dnd::DropTarget target = mModel->isGroup(proposed) ? dnd::DropTarget::Group
                                 : mModel->buddyRow(proposed) ? dnd::DropTarget::Buddy
                                                              : dnd::DropTarget::Nothing;
    const std::optional<QStringList> paths = hasBuddies ? std::nullopt : dnd::localPaths(data);
    switch (dnd::validateDrop(BuddyListManager::buddyListType(), hasBuddies, paths, target)) {
    case dnd::DropOperation::Move: return Qt::MoveAction;
    case dnd::DropOperation::Copy: return Qt::CopyAction;
    case dnd::DropOperation::None: break;
    }
    return Qt::IgnoreAction;
}

bool BuddyListDataSource::outlineViewAcceptDrop(const QMimeData &data, const QModelIndex &proposed)
{
    // Drops through the model come without the view's validation.
    if (outlineViewValidateDrop(data, proposed) == Qt::IgnoreAction)
        return false;
    if (data.hasFormat(QLatin1String(dnd::kDragAndDropOutlineType))) {
        const GroupRecord *target = mModel->groupRecord(proposed);
        if (!target)
            return false;
        const auto dragged = dnd::parsePayload(data.data(QLatin1String(dnd::kDragAndDropOutlineType)));
        if (!dragged)
            return false;
        const QVariantList requests = dnd::moveRequests(*dragged, *target->group, mManager.buddies());
        if (requests.isEmpty() || !mShell)
            return false;
        const bool sent = mShell->moveBuddies(requests);
        if (mView)
            mView->clearSelection();
        return sent;
    }
    const BuddyRow *row = mModel->buddyRow(proposed);
    const std::optional<QStringList> paths = dnd::localPaths(data);
    if (!row || !paths)
        return false;
    switch (dnd::fileDropAction(PLMyInfoManager::sharedManager().status(), row->buddy.get())) {
    case dnd::FileDrop::OfflineAlert: showOfflineAlert("FileErrorForOffline"); return false;
    case dnd::FileDrop::Refuse: return false;
    case dnd::FileDrop::Transfer: break;
    }
    if (!mChat)
        return false;
    const QString velaID = row->buddy->velaID();
    mChat->openChatRoomWithFileTransfer({velaID}, *paths, velaID);
    return true;
}

bool BuddyListDataSource::renameGroupInPlace(const PLGroupPtr &, const QString &)
{
    // The rename itself (name checks, the request) belongs to the list's actions.
    return false;
}

} // namespace parley
