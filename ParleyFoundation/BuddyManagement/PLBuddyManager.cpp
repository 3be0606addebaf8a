#include "PLBuddyManager.h"

#include "Log.h"
#include "NotificationNames.h"

#include <algorithm>

namespace parley {

namespace nn = notifications;

namespace {

const char *const kStatusLetters[] = {"X", "O", "B", "A", "P", "M", "a"};

} // namespace

PLBuddyManager &PLBuddyManager::sharedManager()
{
    static PLBuddyManager instance;
    return instance;
}

PLBuddyManager::PLBuddyManager()
{
    mDownloadObserver = NotificationCenter::defaultCenter().addObserver(
        QLatin1String(nn::kBuddyInfoDidDownloaded), nullptr, [this](const Notification &) {
            for (const PLGroupPtr &group : std::as_const(mGroupDict_))
                group->checkNotFLBuddy();
        });
}

PLBuddyManager::~PLBuddyManager()
{
    NotificationCenter::defaultCenter().removeObserver(mDownloadObserver);
}

QString PLBuddyManager::statusCharFrom(qint32 status)
{
    if (status < 0 || status >= qint32(std::size(kStatusLetters)))
        return QString();
    return QLatin1String(kStatusLetters[status]);
}

qint32 PLBuddyManager::buddyStatusFrom(const QString &letter)
{
    static const struct {
        const char *letter;
        qint32 status;
    } table[] = {{"O", 1}, {"A", 3}, {"B", 2}, {"P", 4}, {"M", 5}};
    for (const auto &entry : table) {
        if (letter == QLatin1String(entry.letter))
            return entry.status;
    }
    return 0;
}

const QList<std::pair<QString, PLBuddyPtr>> &PLBuddyManager::buddiesInOrder() const
{
    if (mBuddiesInOrderStale_) {
        mBuddiesInOrder_.clear();
        mBuddiesInOrder_.reserve(mBuddyDict_.size());
        for (auto it = mBuddyDict_.cbegin(); it != mBuddyDict_.cend(); ++it)
            mBuddiesInOrder_.append({it.key(), it.value()});
        std::sort(mBuddiesInOrder_.begin(), mBuddiesInOrder_.end(),
                  [](const auto &a, const auto &b) { return a.first < b.first; });
        mBuddiesInOrderStale_ = false;
    }
    return mBuddiesInOrder_;
}

void PLBuddyManager::storeBuddy(const QString &cmn, const PLBuddyPtr &buddy)
{
    mBuddyDict_.insert(cmn, buddy);
    mBuddiesInOrderStale_ = true;
}

QMap<QString, PLBuddyPtr> PLBuddyManager::mBuddyDict() const
{
    QMap<QString, PLBuddyPtr> dict;
    for (const auto &[cmn, buddy] : buddiesInOrder())
        dict.insert(dict.cend(), cmn, buddy);
    return dict;
}

void PLBuddyManager::setMBuddyDict(const QMap<QString, PLBuddyPtr> &dict)
{
    mBuddyDict_.clear();
    for (auto it = dict.cbegin(); it != dict.cend(); ++it)
        mBuddyDict_.insert(it.key(), it.value());
    mBuddiesInOrderStale_ = true;
}

PLBuddyPtr PLBuddyManager::firstBuddy(const std::function<bool(const PLBuddy &)> &matches) const
{
    for (const auto &entry : buddiesInOrder()) {
        if (matches(*entry.second))
            return entry.second;
    }
    return nullptr;
}

PLBuddyPtr PLBuddyManager::buddyForCMN(const QString &cmn) const
{
    PL_GUARD_OBJECT(!cmn.isNull(), nullptr);
    return mBuddyDict_.value(cmn);
}

PLBuddyPtr PLBuddyManager::buddyForID(const QString &velaID) const
{
    PL_GUARD_OBJECT(!velaID.isNull(), nullptr);
    return firstBuddy([&](const PLBuddy &buddy) { return buddy.velaID() == velaID; });
}

PLBuddyPtr PLBuddyManager::buddyForQ7CMN(const QString &q7CMN) const
{
    PL_GUARD_OBJECT(!q7CMN.isNull(), nullptr);
    return firstBuddy([&](const PLBuddy &buddy) { return buddy.q7CMN() == q7CMN; });
}

PLBuddyPtr PLBuddyManager::buddyForOrchardCMN(const QString &orchardCMN) const
{
    PL_GUARD_OBJECT(!orchardCMN.isNull(), nullptr);
    return firstBuddy([&](const PLBuddy &buddy) { return buddy.orchardCMN() == orchardCMN; });
}

QString PLBuddyManager::cmnForBuddyID(const QString &velaID) const
{
    if (velaID.isNull())
        return QString();
    const PLBuddyPtr buddy = buddyForID(velaID);
    return buddy ? buddy->buddyCMN() : QString();
}

QString PLBuddyManager::buddyIDForCMN(const QString &cmn) const
{
    if (cmn.isNull())
        return QString();
    const PLBuddyPtr buddy = buddyForCMN(cmn);
    return buddy ? buddy->velaID() : QString();
}

bool PLBuddyManager::isOnTheBuddyList(const QString &velaID) const
{
    PL_GUARD_OBJECT(!velaID.isNull(), false);
    const PLBuddyPtr buddy = buddyForID(velaID);
    return buddy && buddy->buddyFlagFLBit();
}

PLGroupPtr PLBuddyManager::groupForID(const QString &groupID) const
{
    if (mGroupIndexStale) {
        mGroupIndex.reserve(mGroupDict_.size());
        for (auto it = mGroupDict_.cbegin(); it != mGroupDict_.cend(); ++it)
            mGroupIndex.insert(it.key(), it.value());
        mGroupIndexStale = false;
    }
    return mGroupIndex.value(groupID);
}

PLGroupPtr PLBuddyManager::groupForName(const QString &groupName) const
{
    PL_GUARD_OBJECT(!groupName.isNull(), nullptr);
    for (const PLGroupPtr &group : mGroupDict_) {
        if (group->groupName() == groupName)
            return group;
    }
    return nullptr;
}

bool PLBuddyManager::containsGroup(const PLGroupPtr &group) const
{
    return group && mGroupDict_.contains(group->groupID());
}

PLGroupPtr PLBuddyManager::groupAtIndex(qsizetype index) const
{
    PL_GUARD_FLAG(index >= 0 && index < mGroupDict_.size(), nullptr);
    return std::next(mGroupDict_.cbegin(), index).value();
}

QList<PLGroupPtr> PLBuddyManager::groupsContainsBuddy(const QString &velaID) const
{
    QList<PLGroupPtr> groups;
    if (velaID.isNull())
        return groups;
    const PLBuddyPtr buddy = buddyForID(velaID);
    if (!buddy)
        return groups;
    for (const PLGroupPtr &group : mGroupDict_) {
        if (group->containsBuddy(buddy))
            groups << group;
    }
    return groups;
}

QMap<QString, QString> PLBuddyManager::groupNameIDPair() const
{
    QMap<QString, QString> pairs;
    for (const PLGroupPtr &group : mGroupDict_)
        pairs.insert(group->groupName(), group->groupID());
    return pairs;
}

QStringList PLBuddyManager::orcmnArrayForAllBuddies() const
{
    QStringList numbers;
    for (const auto &[cmn, buddy] : buddiesInOrder()) {
        if (!buddy->orchardCMN().isEmpty())
            numbers << buddy->orchardCMN();
    }
    return numbers;
}

QList<PLBuddyPtr> PLBuddyManager::sortedBuddies(bool (PLBuddy::*bit)() const) const
{
    QList<PLBuddyPtr> buddies;
    for (const auto &[cmn, buddy] : buddiesInOrder()) {
        if (((*buddy).*bit)())
            buddies << buddy;
    }
    std::stable_sort(buddies.begin(), buddies.end(), [](const PLBuddyPtr &a, const PLBuddyPtr &b) {
        return a->name().compare(b->name(), Qt::CaseInsensitive) < 0;
    });
    return buddies;
}

QList<PLBuddyPtr> PLBuddyManager::blockedBuddies() const
{
    return sortedBuddies(&PLBuddy::buddyFlagBLBit);
}

QList<PLBuddyPtr> PLBuddyManager::allowedBuddies() const
{
    return sortedBuddies(&PLBuddy::buddyFlagALBit);
}

PLBuddyPtr PLBuddyManager::createBuddyForCMN(const QString &cmn)
{
    PL_GUARD_OBJECT(!cmn.isNull(), nullptr);
    // One lookup: a sign-in creates every buddy of its list here.
    PLBuddyPtr &slot = mBuddyDict_[cmn];
    if (!slot) {
        slot = std::make_shared<PLBuddy>(cmn);
        mBuddiesInOrderStale_ = true;
    }
    return slot;
}

void PLBuddyManager::reserveBuddies(qsizetype count)
{
    // The count comes from the network: beyond this the list grows as it arrives.
    constexpr qsizetype kMostReserved = 1 << 16;
    count = std::min(count, kMostReserved);
    // Only growing: reserve() rehashes even when the room is there.
    if (count > mBuddyDict_.capacity())
        mBuddyDict_.reserve(count);
}

PLGroupPtr PLBuddyManager::createGroupForID(const QString &groupID)
{
    PL_GUARD_OBJECT(!groupID.isNull(), nullptr);
    PLGroupPtr &slot = mGroupDict_[groupID];
    if (!slot) {
        slot = std::make_shared<PLGroup>(groupID, QString());
        forgetGroupIndex();
    }
    return slot;
}

bool PLBuddyManager::addGroup(const PLGroupPtr &group)
{
    if (!group || containsGroup(group))
        return false;
    forgetGroupIndex();
    mGroupDict_.insert(group->groupID(), group);
    return true;
}

void PLBuddyManager::removeGroupWithID(const QString &groupID)
{
    forgetGroupIndex();
    mGroupDict_.remove(groupID);
}

bool PLBuddyManager::addBuddy(const QString &cmn, const QString &groupID)
{
    const PLBuddyPtr buddy = cmn.isNull() ? nullptr : mBuddyDict_.value(cmn);
    const PLGroupPtr group = groupForID(groupID);
    PL_GUARD_OBJECT(buddy && group, false);
    return group->addBuddy(buddy);
}

void PLBuddyManager::removeBuddy(const QString &cmn, const QString &groupID)
{
    PL_GUARD_OBJECT(!cmn.isNull() && !groupID.isNull());
    const PLGroupPtr group = groupForID(groupID);
    PL_GUARD_OBJECT(group);
    group->removeBuddy(cmn);
}

void PLBuddyManager::copyBuddy(const QString &cmn, const QString &fromGroupID, const QString &toGroupID)
{
    PL_GUARD_OBJECT(!cmn.isNull() && !fromGroupID.isNull() && !toGroupID.isNull());
    const PLGroupPtr from = groupForID(fromGroupID);
    const PLGroupPtr to = groupForID(toGroupID);
    PL_GUARD_OBJECT(from && to);
    const PLBuddyPtr buddy = from->buddyForCMN(cmn);
    PL_GUARD_OBJECT(buddy);
    to->addBuddy(buddy);
}

void PLBuddyManager::moveBuddy(const QString &cmn, const QString &fromGroupID, const QString &toGroupID)
{
    PL_GUARD_OBJECT(!cmn.isNull() && !fromGroupID.isNull() && !toGroupID.isNull());
    const PLGroupPtr from = groupForID(fromGroupID);
    const PLGroupPtr to = groupForID(toGroupID);
    PL_GUARD_OBJECT(from && to);
    const PLBuddyPtr buddy = from->buddyForCMN(cmn);
    PL_GUARD_OBJECT(buddy);
    to->addBuddy(buddy);
    from->removeBuddy(cmn);
}

bool PLBuddyManager::removeBuddyWithCMN(const QString &cmn)
{
    if (cmn.isNull())
        return false;
    bool moved = false;
    // A snapshot: observers of the group notice may change the groups.
    const PLGroupDict groups = mGroupDict_;
    for (const PLGroupPtr &group : groups) {
        if (group->moveToNotFLBuddy(cmn)) {
            moved = true;
            postGroupUpdatedNotification(group);
        }
    }
    if (moved) {
        if (const PLBuddyPtr buddy = mBuddyDict_.value(cmn))
            postBuddyUpdatedNotification(buddy->velaID());
    }
    return moved;
}

void PLBuddyManager::setGroupCacheNo(qint32 number)
{
    if (number == mGroupCacheNo_)
        return;
    mGroupCacheNo_ = number;
    postGroupUpdatedNotification(nullptr);
}

void PLBuddyManager::reset()
{
    mGroupCacheNo_ = 0;
    mBuddyDict_.clear();
    mBuddiesInOrder_.clear();
    mBuddiesInOrderStale_ = false;
    mGroupDict_.clear();
    forgetGroupIndex();
}

void PLBuddyManager::postWithVelaID(const char *name, const QString &velaID)
{
    PL_GUARD_OBJECT(!velaID.isNull());
    NotificationCenter::defaultCenter().post(QLatin1String(name), this,
                                             {{QLatin1String(nn::kKeyVelaID), velaID}});
}

void PLBuddyManager::postBuddyLoggedInNotification(const QString &velaID)
{
    postWithVelaID(nn::kBuddyManagerBuddyLoggedIn, velaID);
}

void PLBuddyManager::postBuddyLogoutNotification(const QString &velaID)
{
    postWithVelaID(nn::kBuddyManagerBuddyLogout, velaID);
}

void PLBuddyManager::postBuddyUpdatedNotification(const QString &velaID)
{
    postWithVelaID(nn::kBuddyManagerBuddyUpdated, velaID);
}

void PLBuddyManager::postAddBuddyResultReceivedNotification(const QString &userID)
{
    PL_GUARD_OBJECT(!userID.isNull());
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kBuddyManagerAddBuddyResultReceived), this,
                                             {{QLatin1String(nn::kKeyUserID), userID}});
}

void PLBuddyManager::postGroupUpdatedNotification(const PLGroupPtr &group)
{
    QVariantMap userInfo;
    if (group)
        userInfo.insert(QLatin1String(nn::kKeyGroup), QVariant::fromValue(group));
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kBuddyManagerGroupUpdated), this, userInfo);
}

void PLBuddyManager::postRequestAddBuddyReceivedNotification(const QVariantMap &request)
{
    PL_GUARD_OBJECT(!request.isEmpty());
    const QString fromID = request.value(QLatin1String(nn::kKeyFromID)).toString();
    PLBuddyPtr asker = fromID.isNull() ? nullptr : buddyForID(fromID);
    if (!asker) {
        const QString fromCMN = request.value(QLatin1String(nn::kKeyFromCMN)).toString();
        asker = createBuddyForCMN(fromCMN);
    }
    if (asker)
        asker->setVelaID(fromID);
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kBuddyManagerRequestedAddBuddy), this, request);
}

void PLBuddyManager::dump() const
{
    plLog(QStringLiteral("===== BuddyManager Dump ====="));
    for (const PLGroupPtr &group : mGroupDict_) {
        plLog(QStringLiteral("%1 (%2)").arg(group->groupName(), group->groupID()));
        for (const PLBuddyPtr &buddy : group->mUserListDict())
            plLog(QStringLiteral("    %1").arg(buddy->name()));
    }
    plLog(QStringLiteral("============================="));
}

} // namespace parley
