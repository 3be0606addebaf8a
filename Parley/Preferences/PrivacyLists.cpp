#include "PrivacyLists.h"

#include "Utils/KCUtilities.h"

namespace parley {

PrivacyLists::PrivacyLists(QList<PLBuddyPtr> allowed, QList<PLBuddyPtr> blocked, bool onlyAllowedMayChat,
                           bool signedIn)
    : mAllowed(std::move(allowed)),
      mBlocked(std::move(blocked)),
      mOnlyAllowedMayChat(onlyAllowedMayChat),
      mSignedIn(signedIn)
{
}

const QList<PLBuddyPtr> &PrivacyLists::list(Table table) const
{
    return table == Table::Allowed ? mAllowed : mBlocked;
}

bool PrivacyLists::hasOtherBuddiesRow(Table table) const
{
    return table == Table::Allowed ? !mOnlyAllowedMayChat : mOnlyAllowedMayChat;
}

int PrivacyLists::rowCount(Table table) const
{
    return int(list(table).size()) + (hasOtherBuddiesRow(table) ? 1 : 0);
}

bool PrivacyLists::isOtherBuddiesRow(Table table, int row) const
{
    return row == 0 && hasOtherBuddiesRow(table);
}

PLBuddyPtr PrivacyLists::buddyAt(Table table, int row) const
{
    if (row < 0 || isOtherBuddiesRow(table, row))
        return nullptr;
    const int index = hasOtherBuddiesRow(table) ? row - 1 : row;
    const QList<PLBuddyPtr> &buddies = list(table);
    return index < buddies.size() ? buddies.at(index) : nullptr;
}

QString PrivacyLists::buddyText(const PLBuddyPtr &buddy, Table table)
{
    if (!buddy)
        return {};
    if (table == Table::Blocked || buddy->buddyFlagFLBit())
        return QStringLiteral("%1 (%2)").arg(buddy->name(), buddy->velaID());
    return buddy->velaID();
}

QString PrivacyLists::cellText(Table table, int row) const
{
    if (!mSignedIn)
        return {};
    if (isOtherBuddiesRow(table, row))
        return KCLocalizedString(QStringLiteral("PrivacyOtherBuddies"));
    return buddyText(buddyAt(table, row), table);
}

PrivacyLists::Action PrivacyLists::moveAction(Table from, std::optional<int> selectedRow) const
{
    if (!selectedRow || *selectedRow < 0)
        return {};
    if (isOtherBuddiesRow(from, *selectedRow))
        return {Action::Kind::FlipOnlyAllowed, nullptr};
    const PLBuddyPtr buddy = buddyAt(from, *selectedRow);
    if (!buddy)
        return {};
    return {Action::Kind::Send, buddy};
}

PrivacyLists::Action PrivacyLists::blockAction(std::optional<int> selectedRow) const
{
    return moveAction(Table::Allowed, selectedRow);
}

PrivacyLists::Action PrivacyLists::allowAction(std::optional<int> selectedRow) const
{
    return moveAction(Table::Blocked, selectedRow);
}

PrivacyLists::MenuItemState PrivacyLists::validate(MenuItem item, const PLBuddyPtr &buddy)
{
    if (!buddy)
        return {};
    switch (item) {
    case MenuItem::Profile: {
        const QString who = buddy->buddyFlagFLBit() ? QStringLiteral("%1 (%2)").arg(buddy->name(), buddy->velaID())
                                                    : buddy->velaID();
        return {true, KCLocalizedString(QStringLiteral("ShowBuddyProfile")).arg(who)};
    }
    case MenuItem::ShowAtList:
        return {!buddy->buddyFlagFLBit(), {}};
    case MenuItem::Move:
        return {true, {}};
    case MenuItem::Remove:
        return {!buddy->buddyFlagRLBit(), {}};
    }
    return {};
}

} // namespace parley
