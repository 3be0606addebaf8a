#pragma once

// The buddy list's menus as data: every item is an action (and, for the
// own-status items, a tag); one function decides from the action and the
// list's state whether the item is enabled, checked and what it is titled,
// in a fixed order of rules. Peer text in a title is escaped for the menu
// ("&" doubled). Free of widgets.

#include "BuddyManagement/PLGroup.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace parley {

enum class BuddyMenuAction {
    // Display options.
    ShowAsName, ShowAsNickName, ShowAsNameID, ShowAsNameNickName,
    ShowAll, ShowOnlineOnly, ShowOnlineOffline, DisplayEmoticon,
    // Always there.
    AddBuddy, AddGroup, ExpandAll, CloseAll, CopyBuddyToGroup, MoveBuddyToGroup, SendMessage, NewChat,
    ChangeStatus, SaveChat,
    // Groups.
    GroupName, RenameGroup, BlockGroup, UnblockGroup, RemoveGroup,
    Chat,
    // Buddies.
    BuddyName, BuddyProfile, ShowLastChat, SendFile, ShowMiniNook,
    CopyBuddy, MoveBuddy, BlockUnblockBuddy, RemoveBuddy,
    // The tool bar's SMS button; no menu item of its own.
    Sms,
};

// The state of the list that the rules read.
struct BuddyMenuContext {
    bool isLoggedIn = false;
    QString buddyStringType;   // BuddyString's type
    int displayType = 0;       // 0 all, 1 online only, 2 online and offline
    bool showAsEmoticon = false;
    int statusTag = 0;         // the own-status view's title as a tag
    bool hasChatToSave = false;
    // The first selected row is a group, and its name.
    bool groupSelected = false;
    QString groupName;
    int selectedItemCount = 0;     // rows selected, groups included
    bool firstSelectedIsBuddy = false;
    int selectedBuddyCount = 0;    // selected buddy rows
    bool selectedBuddiesEmpty = true; // no buddy rows (a selected group gives its rows)
    int selectedOnlineCount = 0;   // online buddies among them
    // The one selected buddy, when exactly one is.
    bool buddyFound = false;
    QString buddyName;
    QString buddyID;
    QString buddyDisplayString;
    QString buddyOrchardCMN;
    bool buddyBlocked = false;     // its BL flag
};

struct BuddyMenuItemState {
    bool enabled = false;
    bool checked = false;
    std::optional<QString> title; // none: the item keeps its title
    friend bool operator==(const BuddyMenuItemState &, const BuddyMenuItemState &) = default;
};

namespace BuddyListMenuValidation {

BuddyMenuItemState validate(BuddyMenuAction action, int tag, const BuddyMenuContext &context);

// The own-status items: tags 0 Online, 1 Away, 2 Busy, 3 OnThePhone,
// 4 OnThemeeting, any other AppearOffline. The status view takes the key.
QString statusKeyForTag(int tag);
// The localized word of a tag.
QString statusStringForStatus(int tag);
// The tag of a status view title (key or localized word); 0 for any other.
int tagForStatusTitle(const QString &title);

// Text for a menu title: "&" doubled, so that a name never makes a shortcut.
QString menuTitle(const QString &text);

// The groups a selection may be moved or copied to: every group that holds
// none of the selected rows, sorted by name without regard to case.
QList<PLGroupPtr> destinationGroups(const QList<PLGroupPtr> &groups, const QStringList &selectedGroupIDs);

} // namespace BuddyListMenuValidation

} // namespace parley
