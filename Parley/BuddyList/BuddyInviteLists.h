#pragma once

// The invite panel's two lists, free of widgets: the candidates (a group's
// buddies, every group's, or those whose name holds a text) and the picked
// buddies in the order picked. Neither list holds a buddy twice, and with
// the online restriction no offline buddy enters either.
//
// Drags between the panel's tables carry the picked IDs as a JSON array of
// texts; a drag too large, of another shape, or naming no known buddy adds
// nothing.

#include "BuddyManagement/PLBuddyManager.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <optional>

namespace parley {

class BuddyInviteLists
{
public:
    static constexpr char kDragType[] = "application/x-parley-DragAndDropBuddyList";
    static constexpr qsizetype kMaxDragBytes = 1 << 20;
    static constexpr qsizetype kMaxDragIDs = 10000;

    BuddyInviteLists(const PLBuddyManager &buddies, bool onlineOnly) : mBuddies(buddies), mOnlineOnly(onlineOnly) {}

    bool onlineOnly() const { return mOnlineOnly; }
    // Whether a buddy may be listed or picked.
    bool admits(const PLBuddyPtr &buddy) const { return buddy && (!mOnlineOnly || buddy->status() != 0); }

    // The pop-up's titles: the localized "ViewAll", the group names, and the
    // catch-all group's name unless a group already has it.
    QStringList groupTitles() const;
    // The candidates of a pop-up title, sorted by name (no name first, then
    // without regard to case); a title that names no group lists nothing.
    void searchGroup(const QString &title);
    // The candidates whose name holds the text (case counts), in group
    // order, unsorted; an empty text matches no one.
    void searchName(const QString &text, const QString &groupTitle);

    // Picks candidates by position; answers whether the picked list changed.
    bool insert(const QList<int> &searchRows);
    bool remove(const QList<int> &inviteRows);
    // Picks buddies by ID (a drop); unknown IDs are skipped.
    bool insertIDs(const QStringList &ids);

    const QList<PLBuddyPtr> &searchList() const { return mSearch; }
    const QList<PLBuddyPtr> &inviteList() const { return mInvite; }
    QStringList invitedIDs() const;

    // The drag data of some candidates, and the IDs of drag data.
    static QByteArray dragData(const QList<PLBuddyPtr> &buddies);
    static std::optional<QStringList> idsFromDragData(const QByteArray &data);

private:
    void appendGroup(const PLGroupPtr &group, const QString &nameFilter, bool filter);

    const PLBuddyManager &mBuddies;
    bool mOnlineOnly;
    QList<PLBuddyPtr> mSearch;
    QList<PLBuddyPtr> mInvite;
};

} // namespace parley
