#pragma once

// The Privacy pane's two tables as data: the allowed and the blocked buddies,
// and the "other buddies" row that stands for everybody on neither list. The
// row heads the allowed table while only allowed buddies may chat is off,
// and the blocked table while it is on. The model also decides what Block,
// Allow and the tables' menu items do for a row.

#include "BuddyManagement/PLBuddy.h"

#include <QList>
#include <QString>

#include <optional>

namespace parley {

class PrivacyLists
{
public:
    enum class Table { Allowed, Blocked };

    PrivacyLists(QList<PLBuddyPtr> allowed, QList<PLBuddyPtr> blocked, bool onlyAllowedMayChat, bool signedIn);

    int rowCount(Table table) const;
    bool isOtherBuddiesRow(Table table, int row) const;
    // The row's text: empty while signed out, the localized
    // "PrivacyOtherBuddies" for the other-buddies row, else the buddy.
    QString cellText(Table table, int row) const;
    // The buddy of a row; null for the other-buddies row or past the end.
    PLBuddyPtr buddyAt(Table table, int row) const;
    // "name (ID)" for a buddy on the user's own list, else the ID; in the
    // blocked table always "name (ID)".
    static QString buddyText(const PLBuddyPtr &buddy, Table table);

    // What Block (on the allowed table) or Allow (on the blocked table) does
    // for the selected row.
    struct Action {
        enum class Kind { Nothing, FlipOnlyAllowed, Send };
        Kind kind = Kind::Nothing;
        PLBuddyPtr buddy; // for Send
    };
    Action blockAction(std::optional<int> selectedRow) const;
    Action allowAction(std::optional<int> selectedRow) const;

    // The tables' menu items: the buddy's profile, show on my list, move to
    // the other table, remove from this one.
    enum class MenuItem { Profile, ShowAtList, Move, Remove };
    struct MenuItemState {
        bool enabled = false;
        QString title; // set for the profile item only
    };
    static MenuItemState validate(MenuItem item, const PLBuddyPtr &buddy);

private:
    Action moveAction(Table from, std::optional<int> selectedRow) const;
    const QList<PLBuddyPtr> &list(Table table) const;
    bool hasOtherBuddiesRow(Table table) const;

    QList<PLBuddyPtr> mAllowed;
    QList<PLBuddyPtr> mBlocked;
    bool mOnlyAllowedMayChat;
    bool mSignedIn;
};

} // namespace parley
