#pragma once

// One buddy group. Listed buddies (FL bit set) and buddies filed here but off
// the list are kept apart; a CMN stands in at most one of the two.

#include "PLBuddy.h"

#include <QMap>
#include <QMetaType>
#include <QString>

#include <memory>

namespace parley {

using PLBuddyDict = QMap<QString, PLBuddyPtr>;

class PLGroup
{
public:
    PLGroup() = default;
    PLGroup(const QString &groupID, const QString &groupName) : mGroupID(groupID), mGroupName(groupName) {}

    QString groupID() const { return mGroupID; }
    QString groupName() const { return mGroupName; }
    void setGroupID(const QString &groupID) { mGroupID = groupID; }
    void setGroupName(const QString &groupName) { mGroupName = groupName; }

    const PLBuddyDict &mUserListDict() const { return mUserList; }
    const PLBuddyDict &mNotFLBuddyDict() const { return mNotFLBuddies; }
    void setMUserListDict(const PLBuddyDict &dict) { mUserList = dict; }
    void setMNotFLBuddyDict(const PLBuddyDict &dict) { mNotFLBuddies = dict; }

    // Files the buddy by its FL bit and takes it out of the other dictionary.
    bool addBuddy(const PLBuddyPtr &buddy);
    // Removes the CMN from the listed buddies only.
    bool removeBuddy(const QString &cmn);
    // Moves a listed buddy off the list; false when it is not listed here.
    bool moveToNotFLBuddy(const QString &cmn);
    // Files every buddy again by its current FL bit.
    void checkNotFLBuddy();
    // Whether the buddy is listed here.
    bool containsBuddy(const PLBuddyPtr &buddy) const;
    // Listed first, then off the list.
    PLBuddyPtr buddyForCMN(const QString &cmn) const;
    PLBuddyPtr buddyForID(const QString &velaID) const;
    bool isEqualToID(const QString &groupID) const;
    qsizetype listedBuddyCount() const { return mUserList.size(); }
    // Null for an index out of range.
    PLBuddyPtr listedBuddyAtIndex(qsizetype index) const;

private:
    QString mGroupID;
    QString mGroupName;
    PLBuddyDict mUserList;
    PLBuddyDict mNotFLBuddies;
};

using PLGroupPtr = std::shared_ptr<PLGroup>;

} // namespace parley

Q_DECLARE_METATYPE(parley::PLGroupPtr)
