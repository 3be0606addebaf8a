#pragma once

// The signed-in user's buddy list: every buddy by CMN, every group by ID and
// the server's group-cache number. The account session applies the server's
// replies here and asks the manager to announce the changes. Used on the main
// thread only: even a lookup may sort the ordered view again.

#include "PLBuddy.h"
#include "PLGroup.h"
#include "NotificationCenter.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QVariantMap>

namespace parley {

using PLGroupDict = QMap<QString, PLGroupPtr>;

class PLBuddyManager
{
public:
    static PLBuddyManager &sharedManager();
    PLBuddyManager(const PLBuddyManager &) = delete;
    PLBuddyManager &operator=(const PLBuddyManager &) = delete;

    // Status code <-> wire letter: 0 X, 1 O, 2 B, 3 A, 4 P, 5 M, 6 a.
    static QString statusCharFrom(qint32 status);
    // Exact match of "O", "A", "B", "P" or "M"; anything else is 0.
    static qint32 buddyStatusFrom(const QString &letter);

    PLBuddyPtr buddyForCMN(const QString &cmn) const;
    PLBuddyPtr buddyForID(const QString &velaID) const;
    PLBuddyPtr buddyForQ7CMN(const QString &q7CMN) const;
    PLBuddyPtr buddyForOrchardCMN(const QString &orchardCMN) const;
    QString cmnForBuddyID(const QString &velaID) const;
    QString buddyIDForCMN(const QString &cmn) const;
    // A buddy with that ID exists and is on the forward list.
    bool isOnTheBuddyList(const QString &velaID) const;
    PLGroupPtr groupForID(const QString &groupID) const;
    PLGroupPtr groupForName(const QString &groupName) const;
    bool containsGroup(const PLGroupPtr &group) const;
    qsizetype groupCount() const { return mGroupDict_.size(); }
    // Null for an index out of range.
    PLGroupPtr groupAtIndex(qsizetype index) const;
    // The groups that list the buddy with that ID.
    QList<PLGroupPtr> groupsContainsBuddy(const QString &velaID) const;
    // Group name -> group ID.
    QMap<QString, QString> groupNameIDPair() const;
    QStringList orcmnArrayForAllBuddies() const;
    // Blocked and allowed buddies, by name without regard to case.
    QList<PLBuddyPtr> blockedBuddies() const;
    QList<PLBuddyPtr> allowedBuddies() const;
    qint32 groupCacheNo() const { return mGroupCacheNo_; }
    // Every buddy by CMN, in CMN order.
    QMap<QString, PLBuddyPtr> mBuddyDict() const;
    const PLGroupDict &mGroupDict() const { return mGroupDict_; }
    void setMBuddyDict(const QMap<QString, PLBuddyPtr> &dict);
    void setMGroupDict(const PLGroupDict &dict)
    {
        mGroupDict_ = dict;
        forgetGroupIndex();
    }

    // The buddy of that CMN, made and stored when there is none.
    PLBuddyPtr createBuddyForCMN(const QString &cmn);
    // Room for this many buddies, taken at once: a sign-in announces its list's size.
    void reserveBuddies(qsizetype count);
    // The group of that ID, made (without name) and stored when there is none.
    PLGroupPtr createGroupForID(const QString &groupID);
    bool addGroup(const PLGroupPtr &group);
    void removeGroupWithID(const QString &groupID);
    bool addBuddy(const QString &cmn, const QString &groupID);
    void removeBuddy(const QString &cmn, const QString &groupID);
    void copyBuddy(const QString &cmn, const QString &fromGroupID, const QString &toGroupID);
    void moveBuddy(const QString &cmn, const QString &fromGroupID, const QString &toGroupID);
    // Takes the buddy off the list in every group that lists it.
    bool removeBuddyWithCMN(const QString &cmn);
    // Posts a group update when the number changes.
    void setGroupCacheNo(qint32 number);
    void setMGroupCacheNo(qint32 number) { mGroupCacheNo_ = number; }
    // Forgets every buddy and group; posts nothing.
    void reset();

    void postBuddyLoggedInNotification(const QString &velaID);
    void postBuddyLogoutNotification(const QString &velaID);
    void postBuddyUpdatedNotification(const QString &velaID);
    void postAddBuddyResultReceivedNotification(const QString &userID);
    void postGroupUpdatedNotification(const PLGroupPtr &group);
    // Records the asker's ID on its buddy (made when needed), then posts the
    // request itself.
    void postRequestAddBuddyReceivedNotification(const QVariantMap &request);

    // The whole list, to the log.
    void dump() const;

private:
    PLBuddyManager();
    ~PLBuddyManager();

    PLBuddyPtr firstBuddy(const std::function<bool(const PLBuddy &)> &matches) const;
    // The buddies in CMN order, sorted again after a buddy was added.
    const QList<std::pair<QString, PLBuddyPtr>> &buddiesInOrder() const;
    void storeBuddy(const QString &cmn, const PLBuddyPtr &buddy);
    QList<PLBuddyPtr> sortedBuddies(bool (PLBuddy::*bit)() const) const;
    void postWithVelaID(const char *name, const QString &velaID);

    qint32 mGroupCacheNo_ = 0;
    // Looked up by CMN once or twice per buddy line of a sign-in: hashed.
    // Walks whose order shows (first match, lists) go in CMN order.
    QHash<QString, PLBuddyPtr> mBuddyDict_;
    mutable QList<std::pair<QString, PLBuddyPtr>> mBuddiesInOrder_;
    mutable bool mBuddiesInOrderStale_ = false;
    PLGroupDict mGroupDict_;
    // mGroupDict_ by hash, for the lookup of a group per buddy line of a
    // sign-in. Built on first use after any change of the table.
    mutable QHash<QString, PLGroupPtr> mGroupIndex;
    mutable bool mGroupIndexStale = true;
    void forgetGroupIndex() const
    {
        mGroupIndex.clear();
        mGroupIndexStale = true;
    }
    NotificationCenter::Token mDownloadObserver = 0;
};

} // namespace parley
