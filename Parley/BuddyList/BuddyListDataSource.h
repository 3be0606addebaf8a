#pragma once

// The controller of the buddy outline in the main window: it feeds the
// outline from the view model, keeps the groups' saved expansion, applies the
// selection rules, acts on double clicks, row buttons and drops, and turns
// bursts of buddy updates into few rebuilds, telling the message box every
// buddy's status after a forced one. One instance for the life of the
// application, main thread only.

#include "BuddyListDecisions.h"
#include "BuddyListManager.h"
#include "BuddyListModel.h"
#include "BuddyListRefresh.h"
#include "BuddyListScheduler.h"
#include "KCOutlineView.h"
#include "KCParleyCell.h"

#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

namespace parley {

class BuddyListShell;
class ChatManagerInterface;
class MemoWindowOpener;

class BuddyListDataSource : public QObject,
                            public KCOutlineViewDelegate,
                            public KCParleyCellDelegate,
                            public BuddyListModelHandler
{
    Q_OBJECT

public:
    using StatusListPoster = std::function<bool(const QVariantMap &statusByVelaID)>;

    explicit BuddyListDataSource(BuddyListManager &manager = BuddyListManager::sharedManager(),
                                 QObject *parent = nullptr);
    ~BuddyListDataSource() override;

    // The services it calls; none is owned.
    void setShell(BuddyListShell *shell) { mShell = shell; }
    void setChatManager(ChatManagerInterface *chat) { mChat = chat; }
    void setMemoWindows(MemoWindowOpener *memos) { mMemos = memos; }
    // The timers of the refresh (the main event loop's by default).
    void setScheduler(BuddyListScheduler *scheduler);
    // How "PLBuddyStatusList" goes out (the plug-in bus by default).
    void setStatusListPoster(StatusListPoster poster) { mPostStatusList = std::move(poster); }

    // Takes the outline: gives it the model, the row cell and this controller.
    void setMBuddyListView(KCOutlineView *view);
    KCOutlineView *mBuddyListView() const { return mView; }
    BuddyListModel *model() const { return mModel; }
    KCParleyCell *cell() const { return mCell; }
    BuddyListManager &viewModel() const { return mManager; }

    bool isLoginCompleted() const { return mIsLoginCompleted; }
    void setIsLoginCompleted(bool completed) { mIsLoginCompleted = completed; }
    bool mIsBuddyLoading() const { return mRefresh.mIsBuddyLoading(); }
    void setMIsBuddyLoading(bool loading) { mRefresh.setMIsBuddyLoading(loading); }

    // YES: rebuild now and tell the message box; NO: redraw (rebuilding
    // unless a timer rebuild is pending).
    void reloadBuddyData(bool force);
    // Opens the groups saved as open for the current display type.
    void expandAutoSaveItems();
    // The names of the open groups, in list order.
    QStringList expandGroupList() const;
    void expandAllItems();

    // Selection queries, rows in list order.
    QModelIndexList selectedItemsInBuddyListViewItems() const;
    bool isSelectedBuddyItem() const;
    bool isSelectedGroupItem() const;
    bool isSelectedMultiBuddyItems() const;
    // None when nothing is selected; a selected group gives its rows.
    std::optional<QList<BuddyRow>> selectedBuddies() const;
    QStringList selectedBuddyIDList() const;
    QStringList selectedOnlineBuddyIDList() const;
    QStringList groupIDsForselectedBuddies() const;
    // Deselects every selected row that is not of that kind.
    void deSelectItemInBuddyListViewExceptKind(BuddyListModel::Kind keep);

    void doubleClickAction(const QModelIndex &index);

    // KCParleyCellDelegate
    void memoAction(const PLBuddyPtr &buddy) override;
    void orchardAction(const PLBuddyPtr &buddy) override;
    // KCOutlineViewDelegate
    QString outlineViewToolTip(KCOutlineView *view, const QModelIndex &index,
                               BuddyListDecisions::RowButton under) override;
    Qt::DropAction outlineViewValidateDrop(const QMimeData &data, const QModelIndex &proposed) override;
    bool outlineViewAcceptDrop(const QMimeData &data, const QModelIndex &proposed) override;
    // BuddyListModelHandler
    Qt::DropAction validateDrop(const QMimeData &data, const QModelIndex &proposed) override
    {
        return outlineViewValidateDrop(data, proposed);
    }
    bool acceptDrop(const QMimeData &data, const QModelIndex &proposed) override
    {
        return outlineViewAcceptDrop(data, proposed);
    }
    bool renameGroupInPlace(const PLGroupPtr &group, const QString &name) override;

private:
    // A model reset that keeps the open groups and the selection.
    void reloadOutline(bool rebuildRows);
    void saveExpansion();
    void selectionChanged();
    void showOfflineAlert(const char *messageKey);
    QList<BuddyListDecisions::SelectedItem> selectedItems(const QModelIndexList &rows) const;

    BuddyListManager &mManager;
    BuddyListModel *mModel;
    KCParleyCell *mCell;
    QPointer<KCOutlineView> mView;
    BuddyListShell *mShell = nullptr;
    ChatManagerInterface *mChat = nullptr;
    MemoWindowOpener *mMemos = nullptr;
    BuddyListTimerScheduler mTimers;
    StatusListPoster mPostStatusList;
    BuddyListRefresh mRefresh;
    bool mIsLoginCompleted = false;
    // Set while the list puts back its own state: no saving, no selection rules.
    bool mRestoring = false;
    std::optional<BuddyListDecisions::SelectedItem> mLastSelectedBuddyListItem;
};

} // namespace parley
