#include "PLGroup.h"

#include "Log.h"

#include <algorithm>

namespace parley {

namespace {

// A sign-in files buddies in ascending CMN order: a new last key goes in at
// the end without a search.
void insertBuddy(PLBuddyDict &dict, const QString &cmn, const PLBuddyPtr &buddy)
{
    if (!dict.isEmpty() && dict.lastKey() < cmn)
        dict.insert(dict.cend(), cmn, buddy);
    else
        dict.insert(cmn, buddy);
}

} // namespace

bool PLGroup::addBuddy(const PLBuddyPtr &buddy)
{
    PL_GUARD_OBJECT(buddy, false);
    const QString cmn = buddy->buddyCMN();
    // Keep the CMN in one dictionary only, or a buddy would show both listed
    // and unlisted after its FL bit changed.
    if (buddy->buddyFlagFLBit()) {
        mNotFLBuddies.remove(cmn);
        insertBuddy(mUserList, cmn, buddy);
    } else {
        mUserList.remove(cmn);
        insertBuddy(mNotFLBuddies, cmn, buddy);
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
    // At sign-in every buddy was filed before its flags came, off the list,
    // and is on it now: the two dictionaries trade places.
    if (mUserList.isEmpty()
        && std::all_of(mNotFLBuddies.cbegin(), mNotFLBuddies.cend(),
                       [](const PLBuddyPtr &buddy) { return buddy->buddyFlagFLBit(); })) {
        mUserList.swap(mNotFLBuddies);
        return;
    }
    // Otherwise both are rebuilt in one ordered pass, each entry appended
    // without a search.
    PLBuddyDict listed;
    PLBuddyDict unlisted;
    const auto file = [&](const QString &cmn, const PLBuddyPtr &buddy) {
        PLBuddyDict &side = buddy->buddyFlagFLBit() ? listed : unlisted;
        side.insert(side.cend(), cmn, buddy);
    };
    auto a = mUserList.cbegin();
    auto b = mNotFLBuddies.cbegin();
    while (a != mUserList.cend() || b != mNotFLBuddies.cend()) {
        if (b == mNotFLBuddies.cend() || (a != mUserList.cend() && a.key() < b.key())) {
            file(a.key(), a.value());
            ++a;
        } else if (a == mUserList.cend() || b.key() < a.key()) {
            file(b.key(), b.value());
            ++b;
        } else {
            // A CMN on both sides (addBuddy never leaves one): a listed
            // record off the list takes the unlisted place; one on the list
            // stays, unless the unlisted record is on the list too.
            const PLBuddyPtr &onList = a.value();
            const PLBuddyPtr &offList = b.value();
            if (!onList->buddyFlagFLBit()) {
                unlisted.insert(unlisted.cend(), a.key(), onList);
            } else if (offList->buddyFlagFLBit()) {
                listed.insert(listed.cend(), b.key(), offList);
            } else {
                listed.insert(listed.cend(), a.key(), onList);
                unlisted.insert(unlisted.cend(), b.key(), offList);
            }
            ++a;
            ++b;
        }
    }
    mUserList = std::move(listed);
    mNotFLBuddies = std::move(unlisted);
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
