#include "PLGroup.h"

#include "Log.h"

namespace parley {

bool PLGroup::addBuddy(const PLBuddyPtr &buddy)
{
    PL_GUARD_OBJECT(buddy, false);
    const QString cmn = buddy->buddyCMN();
    // Keep the CMN in one dictionary only, or a buddy would show both listed
    // and unlisted after its FL bit changed.
    if (buddy->buddyFlagFLBit()) {
        mNotFLBuddies.remove(cmn);
        mUserList.insert(cmn, buddy);
    } else {
        mUserList.remove(cmn);
        mNotFLBuddies.insert(cmn, buddy);
    }
    return true;
}

bool PLGroup::removeBuddy(const QString &cmn)
{
    mUserList.remove(cmn);
    return true;
}

bool PLGroup::moveToNotFLBuddy(const QString &cmn)
{
    const auto found = mUserList.constFind(cmn);
    if (found == mUserList.constEnd())
        return false;
    mNotFLBuddies.insert(cmn, found.value());
    mUserList.remove(cmn);
    return true;
}

void PLGroup::checkNotFLBuddy()
{
    const auto listed = mUserList;
    for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
        if (!it.value()->buddyFlagFLBit()) {
            mNotFLBuddies.insert(it.key(), it.value());
            mUserList.remove(it.key());
        }
    }
    const auto unlisted = mNotFLBuddies;
    for (auto it = unlisted.cbegin(); it != unlisted.cend(); ++it) {
        if (it.value()->buddyFlagFLBit()) {
            mUserList.insert(it.key(), it.value());
            mNotFLBuddies.remove(it.key());
        }
    }
}

bool PLGroup::containsBuddy(const PLBuddyPtr &buddy) const
{
    PL_GUARD_OBJECT(buddy, false);
    return mUserList.contains(buddy->buddyCMN());
}

PLBuddyPtr PLGroup::buddyForCMN(const QString &cmn) const
{
    PL_GUARD_OBJECT(!cmn.isNull(), nullptr);
    if (const auto listed = mUserList.value(cmn))
        return listed;
    return mNotFLBuddies.value(cmn);
}

PLBuddyPtr PLGroup::buddyForID(const QString &velaID) const
{
    PL_GUARD_OBJECT(!velaID.isNull(), nullptr);
    for (const auto *dict : {&mUserList, &mNotFLBuddies}) {
        for (const auto &buddy : *dict) {
            if (buddy->velaID() == velaID)
                return buddy;
        }
    }
    return nullptr;
}

bool PLGroup::isEqualToID(const QString &groupID) const
{
    PL_GUARD_OBJECT(!groupID.isNull(), false);
    return mGroupID == groupID;
}

PLBuddyPtr PLGroup::listedBuddyAtIndex(qsizetype index) const
{
    PL_GUARD_FLAG(index >= 0 && index < mUserList.size(), nullptr);
    return std::next(mUserList.cbegin(), index).value();
}

} // namespace parley
