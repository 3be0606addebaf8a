#pragma once

// Creating, renaming and removing groups from the buddy list: the name sheet,
// the in-place rename, and the rules' alerts (the catch-all group keeps its
// name and stays, a group with buddies stays, names are unique).

#include "BuddyManagement/PLGroup.h"

#include <QObject>
#include <QPointer>

namespace parley {

class BuddyActionsShell;
class BuddyListDataSource;
class BuddySession;
class GroupNameSheet;

class BuddyGroupActions : public QObject
{
    Q_OBJECT

public:
    BuddyGroupActions(BuddyListDataSource &list, BuddySession &session, BuddyActionsShell &shell,
                      QObject *parent = nullptr);

    // Open the sheet (and return it); the request follows its OK.
    GroupNameSheet *addGroupAction();
    GroupNameSheet *renameGroupAction();
    void removeGroupAction();
    // A name typed into the outline; answers whether a request went out.
    bool renameGroupInPlace(const PLGroupPtr &group, const QString &name);
    // What the sheet's OK does: `renamed` is null for a new group.
    void sheetDidEnd(const QString &name, const PLGroupPtr &renamed);

private:
    PLGroupPtr selectedGroup() const;
    void alert(const char *titleKey, const char *messageKey);

    BuddyListDataSource &mList;
    BuddySession &mSession;
    BuddyActionsShell &mShell;
    QPointer<GroupNameSheet> mSheet;
};

} // namespace parley
