#pragma once

// The view model behind the main window's buddy outline: turns the buddy
// manager's unordered groups and buddies into ordered rows for one of three
// display types, answers the outline's questions, and builds the
// velaID-to-status list the message box is told. It holds no buddy data of
// its own: every rebuild reads the buddy manager afresh. Main thread only.

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyRowButtons.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <array>

namespace parley {

// One buddy line of the outline.
struct BuddyRow {
    PLBuddyPtr buddy;
    PLGroupPtr group;      // the synthetic group in display type 2
    QString buddyString;   // display type 0 only: the display string at the rebuild
    QString sortKey;       // the display string the rows were sorted by
};

// One group line with its sorted rows.
struct GroupRecord {
    PLGroupPtr group;
    QList<BuddyRow> buddyList;
};

class BuddyListManager
{
public:
    // The user default holding the display type (one value for every account).
    static constexpr char kDisplayBuddyTypeKey[] = "DisplayBuddyType";
    enum DisplayType { AllBuddies = 0, OnlineOnly = 1, OnlineOffline = 2 };

    static BuddyListManager &sharedManager();
    // A view model over the given store (tests make their own).
    explicit BuddyListManager(PLBuddyManager &buddies = PLBuddyManager::sharedManager());
    BuddyListManager(const BuddyListManager &) = delete;
    BuddyListManager &operator=(const BuddyListManager &) = delete;

    // The store the rows are read from.
    const PLBuddyManager &buddies() const { return mBuddies; }

    // The stored display type; stores 0 first when none is stored.
    static int buddyListType();
    // Stores the type; rebuilds nothing.
    static void setBuddyListType(int type);

    // The rebuild of the current type; another stored value keeps the rows.
    void reloadData();
    void reloadBuddyListAll();
    void reloadBuddyListOnlineOnly();
    void reloadBuddyListOnlineOffline();
    void removeAllOnlineOfflineGroupBuddies();

    int groupCount() const { return int(mGroupArray.size()); }
    // Null for an index out of range.
    PLGroupPtr groupAtIndex(int index) const;
    const GroupRecord *groupRecordAtIndex(int index) const;
    // The rows of the first record whose group has that group's ID; null when none.
    const QList<BuddyRow> *buddyListForGroup(const PLGroupPtr &group) const;
    int buddyCountForGroup(const PLGroupPtr &group) const;
    int onlineBuddyCountForGroup(const PLGroupPtr &group) const;
    // Null for an index out of range or a group without a record.
    const BuddyRow *buddyDictAtIndex(int index, const PLGroupPtr &group) const;
    PLBuddyPtr buddyAtIndex(int index, const PLGroupPtr &group) const;
    static PLGroupPtr groupForBuddyDict(const BuddyRow *row) { return row ? row->group : nullptr; }
    static PLBuddyPtr buddyForBuddyDict(const BuddyRow *row) { return row ? row->buddy : nullptr; }

    // velaID -> status of every listed buddy of every group.
    QVariantMap allBuddyList() const;

    const QList<GroupRecord> &groupRecords() const { return mGroupArray; }
    // Index 0 the online group, 1 the offline group.
    const std::array<PLGroupPtr, 2> &mOnlineOfflineGroupArray() const { return mOnlineOfflineGroupArray_; }

    // The main list's row buttons; other lists keep their own.
    BuddyRowButtons &mainListButtons() { return mButtons; }
    void clearTalkButtonX() { mButtons.clearTalkButtonX(); }
    void clearOrButtonX() { mButtons.clearOrButtonX(); }

    // Online means any status but 0.
    static bool isOnline(const PLBuddy &buddy) { return buddy.status() != 0; }

    // Sorts rows by their key, equal keys in the order they came.
    static void sortRows(QList<BuddyRow> &rows);

private:
    void rebuildByGroups(bool onlineOnly);

    PLBuddyManager &mBuddies;
    QList<GroupRecord> mGroupArray;
    std::array<PLGroupPtr, 2> mOnlineOfflineGroupArray_;
    BuddyRowButtons mButtons;
};

} // namespace parley
