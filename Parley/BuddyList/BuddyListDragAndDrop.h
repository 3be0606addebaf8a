#pragma once

// Dragging buddies out of the outline and what may be dropped on it, free of
// widgets. Buddies travel under a private type as a JSON array of
// {"velaID", "groupID"}, one per dragged row in row order; the chat window
// (to invite) and the memo window (to address) read the same data. Files come
// as a list of URLs. Dropped data comes from outside this process too: it is
// size-limited, every entry checked, and every ID looked up before use.

#include "BuddyListManager.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

class QMimeData;

namespace parley {

namespace BuddyListDragAndDrop {

// The private type of dragged buddies.
inline constexpr char kDragAndDropOutlineType[] = "application/x-parley-DragAndDropOutline";
// Beyond these the data is refused whole.
inline constexpr qsizetype kMaxPayloadBytes = 1 << 20;
inline constexpr qsizetype kMaxPayloadEntries = 10000;

struct DraggedBuddy {
    QString velaID;
    QString groupID;
    bool operator==(const DraggedBuddy &) const = default;
};

// The data of a drag of these rows (null for a group line), or none when no
// drag may start: display type 2, no rows, or a group line first. Rows
// without a buddy or group are left out.
std::optional<QByteArray> payloadForRows(int displayType, const QList<const BuddyRow *> &rows);
// The entries of dragged data; none when it is too large or not an array of
// objects with the two texts.
std::optional<QList<DraggedBuddy>> parsePayload(const QByteArray &payload);

// What a drop is offered: nothing, a copy (files) or a move (buddies).
enum class DropOperation { None = 0, Copy = 1, Move = 16 };
enum class DropTarget { Nothing, Group, Buddy };

// The local paths of dropped URLs; none when any is not a local file URL.
std::optional<QStringList> localPaths(const QMimeData &data);
// Every path names a regular file, links followed; an empty list does not.
bool areRegularFiles(const QStringList &paths);

// Validation of a drop: `paths` is what the drop carries as files, none when
// it carries none (or URLs that are not local files).
DropOperation validateDrop(int displayType, bool hasBuddies, const std::optional<QStringList> &paths,
                           DropTarget target);

// The move requests {"buddyID", "buddyCMN", "fromGID", "targetGID"} for
// dragged buddies dropped on `target`: entries whose buddy or group is gone,
// or that come from the target itself, are skipped.
QVariantList moveRequests(const QList<DraggedBuddy> &dragged, const PLGroup &target, const PLBuddyManager &buddies);

// Files dropped on a buddy.
enum class FileDrop { OfflineAlert, Refuse, Transfer };
FileDrop fileDropAction(int myStatus, const PLBuddy *buddy);

} // namespace BuddyListDragAndDrop

} // namespace parley
