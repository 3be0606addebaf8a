#include "BuddyListMenuValidation.h"

#include "BuddyString.h"
#include "Utils/KCUtilities.h"

#include <algorithm>

namespace parley::BuddyListMenuValidation {

namespace {

using A = BuddyMenuAction;

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

BuddyMenuItemState enabled(bool on, bool checked = false) { return {on, checked, std::nullopt}; }

BuddyMenuItemState titled(bool on, const QString &title) { return {on, false, title}; }

constexpr const char *kStatusKeys[] = {"Online", "Away", "Busy", "OnThePhone", "OnThemeeting", "AppearOffline"};

} // namespace

QString statusKeyForTag(int tag)
{
    return QLatin1String(tag >= 0 && tag < 5 ? kStatusKeys[tag] : kStatusKeys[5]);
}

QString statusStringForStatus(int tag) { return KCLocalizedString(statusKeyForTag(tag)); }

int tagForStatusTitle(const QString &title)
{
    for (int tag = 0; tag < 6; ++tag) {
        const QString key = QLatin1String(kStatusKeys[tag]);
        if (title == key || title == KCLocalizedString(key))
            return tag;
    }
    return 0;
}

QString menuTitle(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return escaped;
}

QList<PLGroupPtr> destinationGroups(const QList<PLGroupPtr> &groups, const QStringList &selectedGroupIDs)
{
    QList<PLGroupPtr> out;
    for (const PLGroupPtr &group : groups) {
        if (group && !selectedGroupIDs.contains(group->groupID()))
            out.append(group);
    }
    std::stable_sort(out.begin(), out.end(), [](const PLGroupPtr &a, const PLGroupPtr &b) {
        return a->groupName().compare(b->groupName(), Qt::CaseInsensitive) < 0;
    });
    return out;
}

BuddyMenuItemState validate(BuddyMenuAction action, int tag, const BuddyMenuContext &c)
{
    // 1. Nothing works while signed out.
    if (!c.isLoggedIn)
        return {};
    switch (action) {
    // 2. The display string in use is checked.
    case A::ShowAsName: return enabled(true, c.buddyStringType == QLatin1String(BuddyString::kShowAsName));
    case A::ShowAsNickName: return enabled(true, c.buddyStringType == QLatin1String(BuddyString::kShowAsNickName));
    case A::ShowAsNameID: return enabled(true, c.buddyStringType == QLatin1String(BuddyString::kShowAsNameID));
    case A::ShowAsNameNickName:
        return enabled(true, c.buddyStringType == QLatin1String(BuddyString::kShowAsNameNickName));
    // 3. The display type in use is checked.
    case A::ShowAll: return enabled(true, c.displayType == 0);
    case A::ShowOnlineOnly: return enabled(true, c.displayType == 1);
    case A::ShowOnlineOffline: return enabled(true, c.displayType == 2);
    // 4.
    case A::DisplayEmoticon: return enabled(true, c.showAsEmoticon);
    // 5. Always there.
    case A::AddBuddy:
    case A::AddGroup:
    case A::ExpandAll:
    case A::CloseAll:
    case A::CopyBuddyToGroup:
    case A::MoveBuddyToGroup:
    case A::SendMessage:
    case A::NewChat: return enabled(true);
    // 6. The own status in use is checked.
    case A::ChangeStatus: return {true, tag == c.statusTag, statusStringForStatus(tag)};
    // 7.
    case A::SaveChat: return enabled(c.hasChatToSave);
    // 8. Group items.
    case A::GroupName:
        if (c.groupSelected)
            return titled(true, menuTitle(c.groupName));
        return enabled(false);
    case A::RenameGroup:
    case A::BlockGroup:
    case A::UnblockGroup:
    case A::RemoveGroup: return enabled(c.groupSelected);
    // 9.
    case A::Chat: return enabled(c.selectedOnlineCount > 0);
    default: break;
    }
    // 10. A selected group leaves the buddy items off.
    if (c.groupSelected)
        return {};
    switch (action) {
    // 11.
    case A::BuddyName:
        if (c.selectedBuddyCount > 1)
            return titled(false, text("BuddysNameMenu"));
        if (c.selectedBuddyCount == 1)
            return titled(true, menuTitle(QStringLiteral("%1 (%2)").arg(c.buddyName, c.buddyID)));
        return {};
    // 12.
    case A::BuddyProfile:
        if (c.selectedBuddyCount > 1)
            return titled(false, text("BuddyProfilesMenu"));
        if (c.selectedBuddyCount == 1)
            return titled(true, text("ShowBuddyProfile").arg(menuTitle(c.buddyDisplayString)));
        return {};
    // 13.
    case A::ShowLastChat: return enabled(c.selectedBuddyCount <= 1);
    // 14.
    case A::SendFile: return enabled(c.selectedOnlineCount > 0);
    // 15.
    case A::ShowMiniNook:
        return enabled(c.selectedBuddyCount == 1 && c.buddyFound && !c.buddyOrchardCMN.isEmpty());
    // 16. The sub-menus are rebuilt by the caller when enabled.
    case A::CopyBuddy:
    case A::MoveBuddy: return enabled(c.displayType != 2 && !c.selectedBuddiesEmpty);
    // 17.
    case A::BlockUnblockBuddy:
        if (c.selectedItemCount != 1)
            return titled(false, text("BlockBuddy"));
        return titled(true, text(c.buddyBlocked ? "UnblockBuddy" : "BlockBuddy"));
    // 18.
    case A::RemoveBuddy: return enabled(c.firstSelectedIsBuddy);
    // 19.
    default: return {};
    }
}

} // namespace parley::BuddyListMenuValidation
