#include "BuddyListDecisions.h"

#include "BuddyListManager.h"
#include "BuddyString.h"
#include "Utils/KCUtilities.h"

namespace parley::BuddyListDecisions {

QString groupTitle(int displayType, const QString &name, int onlineCount, int count)
{
    if (displayType == BuddyListManager::AllBuddies)
        return QStringLiteral("%1 (%2/%3)").arg(name, QString::number(onlineCount), QString::number(count));
    // One pass over the format: a group name holding "%2" stays as it is.
    return QStringLiteral("%1 (%2)").arg(name, QString::number(count));
}

bool canEditGroup(int displayType, const PLGroup &group)
{
    return displayType != BuddyListManager::OnlineOffline && !group.groupID().isEmpty()
        && group.groupName() != KCLocalizedString(QStringLiteral("EtcGroupName"));
}

DoubleClick doubleClickAction(bool isGroup, bool isExpanded, const PLBuddy *buddy, int myStatus,
                              int doubleClickOption)
{
    if (isGroup)
        return isExpanded ? DoubleClick::Collapse : DoubleClick::Expand;
    if (!buddy)
        return DoubleClick::Nothing;
    if (myStatus == 0)
        return DoubleClick::OfflineAlert;
    if (BuddyListManager::isOnline(*buddy) && doubleClickOption != 1)
        return DoubleClick::OpenChat;
    return DoubleClick::OpenMemo;
}

QString buddyToolTip(const PLBuddy &buddy, const QString &displayString, RowButton under)
{
    switch (under) {
    case RowButton::Talk: return KCLocalizedString(QStringLiteral("ToolTipTalkMemo"));
    case RowButton::Orchard: return KCLocalizedString(QStringLiteral("ToolTipGoBuddyHome")).arg(buddy.name());
    case RowButton::None: break;
    }
    const QString word = BuddyString::buddyStatusStringWithStatus(buddy.status());
    // A status without a word (a code beyond the six) shows the name alone.
    if (word.isEmpty())
        return displayString;
    return QStringLiteral("%1 (%2)").arg(displayString, word);
}

QList<int> rowsToDeselect(const QList<SelectedItem> &selected, const std::optional<SelectedItem> &lastSingle)
{
    QList<int> drop;
    if (selected.size() <= 1)
        return drop;
    const bool keepGroupOnly = lastSingle && lastSingle->isGroup;
    for (int i = 0; i < selected.size(); ++i) {
        const SelectedItem &item = selected.at(i);
        const bool keep = keepGroupOnly ? (item.isGroup && item.groupID == lastSingle->groupID) : !item.isGroup;
        if (!keep)
            drop.append(i);
    }
    return drop;
}

} // namespace parley::BuddyListDecisions
