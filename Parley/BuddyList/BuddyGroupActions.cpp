#include "BuddyGroupActions.h"

#include "BuddyActionsShell.h"
#include "BuddyGroupRules.h"
#include "BuddyListDataSource.h"
#include "BuddySession.h"
#include "GroupNameSheet.h"
#include "KCAlertPresenter.h"
#include "Utils/KCUtilities.h"

namespace parley {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

} // namespace

BuddyGroupActions::BuddyGroupActions(BuddyListDataSource &list, BuddySession &session, BuddyActionsShell &shell,
                                     QObject *parent)
    : QObject(parent), mList(list), mSession(session), mShell(shell)
{
}

void BuddyGroupActions::alert(const char *titleKey, const char *messageKey)
{
    KCAlertRequest request;
    request.key = QLatin1String(messageKey);
    request.title = text(titleKey);
    request.message = text(messageKey);
    request.buttons = {text("OK")};
    request.style = KCAlertRequest::Style::Critical;
    request.parent = mShell.window();
    KCAlerts().ask(request);
}

PLGroupPtr BuddyGroupActions::selectedGroup() const
{
    const QModelIndexList rows = mList.selectedItemsInBuddyListViewItems();
    if (rows.isEmpty())
        return nullptr;
    const GroupRecord *record = mList.model()->groupRecord(rows.first());
    return record ? record->group : nullptr;
}

GroupNameSheet *BuddyGroupActions::addGroupAction()
{
    if (mSheet)
        mSheet->close();
    mSheet = new GroupNameSheet(QStringLiteral("AddGroupMessage"), QString(), mShell.window());
    connect(mSheet, &QDialog::accepted, this, [this, sheet = mSheet] { sheetDidEnd(sheet->name(), nullptr); });
    mSheet->open();
    return mSheet;
}

GroupNameSheet *BuddyGroupActions::renameGroupAction()
{
    const PLGroupPtr group = selectedGroup();
    if (!group)
        return nullptr;
    if (BuddyGroupRules::isCatchAll(*group)) {
        alert("Parley", "EtcGroupRenameErrorMessage");
        return nullptr;
    }
    if (mSheet)
        mSheet->close();
    mSheet = new GroupNameSheet(QStringLiteral("RenameGroupMessage"), group->groupName(), mShell.window());
    connect(mSheet, &QDialog::accepted, this, [this, sheet = mSheet, group] { sheetDidEnd(sheet->name(), group); });
    mSheet->open();
    return mSheet;
}

void BuddyGroupActions::sheetDidEnd(const QString &name, const PLGroupPtr &renamed)
{
    const PLGroupPtr existing = mList.viewModel().buddies().groupForName(name);
    switch (BuddyGroupRules::checkName(name, existing, renamed)) {
    case BuddyGroupRules::NameCheck::Blank:
    case BuddyGroupRules::NameCheck::Unchanged: return;
    case BuddyGroupRules::NameCheck::Duplicate: alert("GroupNameErrorTitle", "GroupNameErrorMessage"); return;
    case BuddyGroupRules::NameCheck::OK: break;
    }
    if (renamed)
        mSession.renameGroup(renamed->groupID(), name);
    else
        mSession.addGroup(name);
}

bool BuddyGroupActions::renameGroupInPlace(const PLGroupPtr &group, const QString &name)
{
    if (!group)
        return false;
    if (BuddyGroupRules::isCatchAll(*group)) {
        alert("Parley", "EtcGroupRenameErrorMessage");
        return false;
    }
    const PLGroupPtr existing = mList.viewModel().buddies().groupForName(name);
    switch (BuddyGroupRules::checkName(name, existing, group)) {
    case BuddyGroupRules::NameCheck::Blank:
    case BuddyGroupRules::NameCheck::Unchanged: return false;
    case BuddyGroupRules::NameCheck::Duplicate: alert("GroupNameErrorTitle", "GroupNameErrorMessage"); return false;
    case BuddyGroupRules::NameCheck::OK: break;
    }
    return mSession.renameGroup(group->groupID(), name);
}

void BuddyGroupActions::removeGroupAction()
{
    const PLGroupPtr group = selectedGroup();
    if (!group)
        return;
    switch (BuddyGroupRules::removal(*group)) {
    case BuddyGroupRules::Removal::CatchAll: alert("GroupRemoveTitle", "EtcGroupRemoveErrorMessage"); return;
    case BuddyGroupRules::Removal::NotEmpty: alert("GroupRemoveTitle", "ExistBuddyGroupRemoveErrorMessage"); return;
    case BuddyGroupRules::Removal::Ask: break;
    }
    KCAlertRequest request;
    request.key = QStringLiteral("GroupRemoveMessage");
    request.title = text("GroupRemoveTitle");
    request.message = text("GroupRemoveMessage");
    request.buttons = {text("OK"), text("Cancel")};
    request.parent = mShell.window();
    if (KCAlerts().ask(request).button == 0)
        mSession.removeGroup(group->groupID());
}

} // namespace parley
