#pragma once

// The buddy list's small decisions, free of widgets: group titles, which
// groups may be renamed in place, what a double click does, the tooltip of a
// row, and which rows drop out of a selection being extended.

#include "BuddyManagement/PLBuddy.h"
#include "BuddyManagement/PLGroup.h"

#include <QList>
#include <QString>

#include <optional>

namespace parley {

namespace BuddyListDecisions {

// "name (online/all)" in display type 0, "name (count)" otherwise.
QString groupTitle(int displayType, const QString &name, int onlineCount, int count);

// In-place renaming: only a real group with an ID, never the catch-all group,
// never in display type 2 (its two groups are not the user's).
bool canEditGroup(int displayType, const PLGroup &group);

enum class DoubleClick { Nothing, Expand, Collapse, OfflineAlert, OpenChat, OpenMemo };
// What a double click on a row does. `myStatus` is the own status code;
// `doubleClickOption` 1 means "always a memo".
DoubleClick doubleClickAction(bool isGroup, bool isExpanded, const PLBuddy *buddy, int myStatus,
                              int doubleClickOption);

enum class RowButton { None, Talk, Orchard };
// The tooltip of a buddy row: the memo button's, the home button's (with the
// buddy's name), else "display string (status word)".
QString buddyToolTip(const PLBuddy &buddy, const QString &displayString, RowButton under);

// One selected row, as the selection rules see it.
struct SelectedItem {
    bool isGroup = false;
    QString groupID;
    QString velaID; // empty for a group
    bool operator==(const SelectedItem &) const = default;
};
// The positions (in `selected`) to deselect while a selection of more than
// one row is extended: a selection that began on a group keeps only that
// group; one that began on a buddy (or nothing) keeps only buddy rows.
QList<int> rowsToDeselect(const QList<SelectedItem> &selected, const std::optional<SelectedItem> &lastSingle);

} // namespace BuddyListDecisions

} // namespace parley
