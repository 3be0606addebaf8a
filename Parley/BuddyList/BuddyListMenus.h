#pragma once

// The buddy list's menus, built in code from tables: the buddy-row, group-row
// and option menus (the option menu is also the outline's own and the view
// button's), and the items it puts into the menu bar's Buddies and View
// menus. Every menu is checked against the list's state when it is about to
// show (BuddyListMenuValidation); every item carries its action, the status
// items their tag and the move and copy destinations their group's ID.

#include "BuddyListDataSource.h"
#include "BuddyListMenuValidation.h"

#include <QObject>

#include <span>

class QAction;
class QMenu;

namespace parley {

class BuddyActionsShell;
class BuddyGroupActions;
class BuddyListActions;
class BuddySession;

class BuddyListMenus : public QObject, public BuddyListCommandHandler
{
    Q_OBJECT

public:
    BuddyListMenus(BuddyListDataSource &list, BuddySession &session, BuddyActionsShell &shell,
                   BuddyListActions &actions, BuddyGroupActions &groups, QObject *parent = nullptr);
    ~BuddyListMenus() override;

    QMenu *buddyMenu() const { return mBuddyMenu; }
    QMenu *groupMenu() const { return mGroupMenu; }
    QMenu *optionMenu() const { return mOptionMenu; }
    // Adds the list's items to the menu bar's menus.
    void fillMainMenus(QMenu *buddies, QMenu *view);

    // The list's state as the rules read it.
    BuddyMenuContext context() const;
    // Applies the rules to every item of a menu (its sub-menus are checked
    // when they show).
    void validateMenu(QMenu *menu);
    // Runs an item's action.
    void trigger(QAction *item);

    // BuddyListCommandHandler
    QMenu *menuForIndex(const QModelIndex &index) override;
    void deleteKeyPressed() override;
    bool renameGroupInPlace(const PLGroupPtr &group, const QString &name) override;

    // The action an item carries (none for separators and holders' sub-items).
    static std::optional<BuddyMenuAction> actionOf(const QAction *item);

private:
    // One line of a menu's table: an item, or a separator where the title key is null.
    struct MenuLine
    {
        BuddyMenuAction action;
        const char *titleKey;
    };
    static constexpr MenuLine kSeparator{BuddyMenuAction::BuddyName, nullptr};

    QMenu *newMenu(const QString &objectName);
    // Every menu and sub-menu is checked by validateMenu just before it shows.
    void validateOnShow(QMenu *menu);
    QAction *addItem(QMenu *menu, BuddyMenuAction action, const char *titleKey, int tag = 0);
    void addLines(QMenu *menu, std::span<const MenuLine> lines);
    void fillBuddyMenu(QMenu *menu);
    void fillGroupMenu(QMenu *menu);
    void fillOptionMenu(QMenu *menu);
    void rebuildDestinations(QMenu *sub, BuddyMenuAction itemAction);

    BuddyListDataSource &mList;
    BuddySession &mSession;
    BuddyActionsShell &mShell;
    BuddyListActions &mActions;
    BuddyGroupActions &mGroups;
    QMenu *mBuddyMenu;
    QMenu *mGroupMenu;
    QMenu *mOptionMenu;
    QList<QMenu *> mOwned;
};

} // namespace parley
