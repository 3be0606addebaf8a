#include "BuddyInviteLists.h"

#include "Utils/KCUtilities.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace parley {

namespace {

bool contains(const QList<PLBuddyPtr> &list, const PLBuddyPtr &buddy)
{
    return std::any_of(list.cbegin(), list.cend(), [&](const PLBuddyPtr &b) { return b == buddy; });
}

bool nameLess(const PLBuddyPtr &a, const PLBuddyPtr &b)
{
    const QString x = a->name();
    const QString y = b->name();
    if (x.isNull() || y.isNull())
        return x.isNull() && !y.isNull();
    return x.compare(y, Qt::CaseInsensitive) < 0;
}

QString viewAll() { return KCLocalizedString(QStringLiteral("ViewAll")); }

} // namespace

QStringList BuddyInviteLists::groupTitles() const
{
    QStringList titles{viewAll()};
    const QStringList names = mBuddies.groupNameIDPair().keys();
    titles << names;
    const QString catchAll = KCLocalizedString(QStringLiteral("EtcGroupName"));
    if (!names.contains(catchAll))
        titles << catchAll;
    return titles;
}

void BuddyInviteLists::appendGroup(const PLGroupPtr &group, const QString &nameFilter, bool filter)
{
    if (!group)
        return;
    for (qsizetype i = 0; i < group->listedBuddyCount(); ++i) {
        const PLBuddyPtr buddy = group->listedBuddyAtIndex(i);
        if (!admits(buddy) || contains(mSearch, buddy))
            continue;
        if (filter && (nameFilter.isEmpty() || !buddy->name().contains(nameFilter, Qt::CaseSensitive)))
            continue;
        mSearch.append(buddy);
    }
}

void BuddyInviteLists::searchGroup(const QString &title)
{
    if (title.isNull())
        return;
    mSearch.clear();
    if (title == viewAll()) {
        for (qsizetype i = 0; i < mBuddies.groupCount(); ++i)
            appendGroup(mBuddies.groupAtIndex(i), {}, false);
    } else {
        appendGroup(mBuddies.groupForName(title), {}, false);
    }
    std::stable_sort(mSearch.begin(), mSearch.end(), nameLess);
}

void BuddyInviteLists::searchName(const QString &text, const QString &groupTitle)
{
    mSearch.clear();
    if (const PLGroupPtr group = mBuddies.groupForName(groupTitle)) {
        appendGroup(group, text, true);
        return;
    }
    for (qsizetype i = 0; i < mBuddies.groupCount(); ++i)
        appendGroup(mBuddies.groupAtIndex(i), text, true);
}

bool BuddyInviteLists::insert(const QList<int> &searchRows)
{
    bool changed = false;
    for (int row : searchRows) {
        if (row < 0 || row >= mSearch.size())
            continue;
        const PLBuddyPtr buddy = mSearch.at(row);
        if (admits(buddy) && !contains(mInvite, buddy)) {
            mInvite.append(buddy);
            changed = true;
        }
    }
    return changed;
}

bool BuddyInviteLists::remove(const QList<int> &inviteRows)
{
    QList<PLBuddyPtr> gone;
    for (int row : inviteRows) {
        if (row >= 0 && row < mInvite.size())
            gone.append(mInvite.at(row));
    }
    for (const PLBuddyPtr &buddy : gone)
        mInvite.removeOne(buddy);
    return !gone.isEmpty();
}

bool BuddyInviteLists::insertIDs(const QStringList &ids)
{
    bool changed = false;
    for (const QString &id : ids) {
        const PLBuddyPtr buddy = mBuddies.buddyForID(id);
        if (admits(buddy) && !contains(mInvite, buddy)) {
            mInvite.append(buddy);
            changed = true;
        }
    }
    return changed;
}

QStringList BuddyInviteLists::invitedIDs() const
{
    QStringList ids;
    for (const PLBuddyPtr &buddy : mInvite)
        ids << buddy->velaID();
    return ids;
}

QByteArray BuddyInviteLists::dragData(const QList<PLBuddyPtr> &buddies)
{
    QJsonArray ids;
    for (const PLBuddyPtr &buddy : buddies) {
        if (buddy)
            ids.append(buddy->velaID());
    }
    return QJsonDocument(ids).toJson(QJsonDocument::Compact);
}

std::optional<QStringList> BuddyInviteLists::idsFromDragData(const QByteArray &data)
{
    if (data.size() > kMaxDragBytes)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() || document.array().size() > kMaxDragIDs)
        return std::nullopt;
    QStringList ids;
    for (const QJsonValue &value : document.array()) {
        if (!value.isString() || value.toString().isEmpty())
            return std::nullopt;
        ids << value.toString();
    }
    return ids;
}

} // namespace parley
