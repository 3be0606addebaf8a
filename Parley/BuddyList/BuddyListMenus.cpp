#include "BuddyListMenus.h"

#include "BuddyActionsShell.h"
#include "BuddyGroupActions.h"
#include "BuddyListActions.h"
#include "BuddySession.h"
#include "BuddyString.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace parley {

namespace {

using A = BuddyMenuAction;

constexpr char kActionProperty[] = "buddyMenuAction";
constexpr char kTagProperty[] = "buddyMenuTag";
constexpr char kTitleKeyProperty[] = "buddyMenuTitleKey";

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

} // namespace

BuddyListMenus::BuddyListMenus(BuddyListDataSource &list, BuddySession &session, BuddyActionsShell &shell,
                               BuddyListActions &actions, BuddyGroupActions &groups, QObject *parent)
    : QObject(parent), mList(list), mSession(session), mShell(shell), mActions(actions), mGroups(groups)
{
    mBuddyMenu = newMenu(QStringLiteral("buddyMenu"));
    mGroupMenu = newMenu(QStringLiteral("groupMenu"));
    mOptionMenu = newMenu(QStringLiteral("optionMenu"));
    fillBuddyMenu(mBuddyMenu);
    fillGroupMenu(mGroupMenu);
    fillOptionMenu(mOptionMenu);
    mList.setCommandHandler(this);
}

BuddyListMenus::~BuddyListMenus()
{
    mList.setCommandHandler(nullptr);
    qDeleteAll(mOwned);
}

QMenu *BuddyListMenus::newMenu(const QString &objectName)
{
    auto *menu = new QMenu;
    menu->setObjectName(objectName);
    validateOnShow(menu);
    mOwned.append(menu);
    return menu;
}

QAction *BuddyListMenus::addItem(QMenu *menu, BuddyMenuAction action, const char *titleKey, int tag)
{
    QAction *item = menu->addAction(text(titleKey));
    item->setProperty(kActionProperty, int(action));
    item->setProperty(kTagProperty, tag);
    item->setProperty(kTitleKeyProperty, QLatin1String(titleKey));
    switch (action) {
    case A::CopyBuddy:
    case A::MoveBuddy: {
        // A holder: its sub-menu lists the destinations when it is checked.
        auto *sub = new QMenu(menu);
        sub->setObjectName(action == A::CopyBuddy ? QStringLiteral("copyBuddyMenu") : QStringLiteral("moveBuddyMenu"));
        item->setMenu(sub);
        break;
    }
    case A::ChangeStatus:
    case A::ShowAsName:
    case A::ShowAsNickName:
    case A::ShowAsNameID:
    case A::ShowAsNameNickName:
    case A::ShowAll:
    case A::ShowOnlineOnly:
    case A::ShowOnlineOffline:
    case A::DisplayEmoticon: item->setCheckable(true); break;
    default: break;
    }
    connect(item, &QAction::triggered, this, [this, item] { trigger(item); });
    return item;
}

void BuddyListMenus::addLines(QMenu *menu, std::span<const MenuLine> lines)
{
    for (const MenuLine &line : lines) {
        if (line.titleKey)
            addItem(menu, line.action, line.titleKey);
        else
            menu->addSeparator();
    }
}

void BuddyListMenus::validateOnShow(QMenu *menu)
{
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { validateMenu(menu); });
}

void BuddyListMenus::fillBuddyMenu(QMenu *menu)
{
    static constexpr MenuLine lines[] = {
        {A::BuddyName, "BuddysNameMenu"}, {A::BuddyProfile, "BuddyProfilesMenu"}, {A::ShowLastChat, "ReadLastChatText"},
        kSeparator,
        {A::Chat, "DoChat"}, {A::SendMessage, "SendMessage"}, {A::SendFile, "SendFile"},
        kSeparator,
        {A::ShowMiniNook, "GotoMiniNookpage"},
        kSeparator,
        {A::CopyBuddy, "CopyBuddy"}, {A::MoveBuddy, "MoveBuddy"}, {A::BlockUnblockBuddy, "BlockBuddy"},
        {A::RemoveBuddy, "RemoveBuddy"},
    };
    addLines(menu, lines);
}

void BuddyListMenus::fillGroupMenu(QMenu *menu)
{
    static constexpr MenuLine lines[] = {
        {A::GroupName, "GroupNameMenu"}, {A::Chat, "DoGroupChat"}, {A::SendMessage, "SendGroupMessage"},
        kSeparator,
        {A::AddGroup, "AddGroup"}, {A::RenameGroup, "RenameGroup"}, {A::BlockGroup, "BlockGroup"},
        {A::UnblockGroup, "UnBlockGroup"}, {A::RemoveGroup, "RemoveGroup"},
        kSeparator,
        {A::ExpandAll, "OpenGroup"}, {A::CloseAll, "CloseGroup"},
    };
    addLines(menu, lines);
}

void BuddyListMenus::fillOptionMenu(QMenu *menu)
{
    static constexpr MenuLine lines[] = {
        {A::ShowAsName, "ShowAsName"}, {A::ShowAsNickName, "ShowAsNickName"}, {A::ShowAsNameID, "ShowAsID"},
        {A::ShowAsNameNickName, "ShowAsNameAndNic"},
        kSeparator,
        {A::ShowAll, "ShowAllBuddy"}, {A::ShowOnlineOnly, "ShowOnlineOnly"},
        {A::ShowOnlineOffline, "ShowOnlineAndOffline"},
        kSeparator,
        {A::ExpandAll, "OpenGroup"}, {A::CloseAll, "CloseGroup"},
        kSeparator,
        {A::DisplayEmoticon, "DisplayEmoticon"},
    };
    addLines(menu, lines);
}

void BuddyListMenus::fillMainMenus(QMenu *buddies, QMenu *view)
{
    if (buddies) {
        // The status sub-menu stands between these two parts.
        static constexpr MenuLine beforeStatus[] = {
            {A::AddBuddy, "AddBuddy"}, {A::AddGroup, "AddGroup"},
            kSeparator,
            {A::NewChat, "NewChat"}, {A::SendMessage, "SendMessage"}, {A::SendFile, "SendFile"},
            kSeparator,
            {A::SaveChat, "SaveChat"}, {A::ShowLastChat, "ReadLastChatText"},
            kSeparator,
        };
        static constexpr MenuLine afterStatus[] = {
            kSeparator,
            {A::BlockUnblockBuddy, "BlockBuddy"}, {A::RemoveBuddy, "RemoveBuddy"},
        };
        validateOnShow(buddies);
        addLines(buddies, beforeStatus);
        QMenu *status = buddies->addMenu(text("MyStatus"));
        status->setObjectName(QStringLiteral("statusMenu"));
        validateOnShow(status);
        for (int tag = 0; tag < 6; ++tag)
            addItem(status, A::ChangeStatus, BuddyListMenuValidation::statusKeyForTag(tag).toLatin1().constData(), tag);
        addLines(buddies, afterStatus);
        // The menu bar shows a menu once it has items.
        buddies->menuAction()->setVisible(true);
    }
    if (view) {
        validateOnShow(view);
        fillOptionMenu(view);
        view->menuAction()->setVisible(true);
    }
}

std::optional<BuddyMenuAction> BuddyListMenus::actionOf(const QAction *item)
{
    const QVariant v = item ? item->property(kActionProperty) : QVariant();
    if (!v.isValid())
        return std::nullopt;
    return static_cast<BuddyMenuAction>(v.toInt());
}

BuddyMenuContext BuddyListMenus::context() const
{
    BuddyMenuContext c;
    c.isLoggedIn = mSession.isLoggedIn();
    c.buddyStringType = BuddyString::buddyStringType();
    c.displayType = BuddyListManager::buddyListType();
    c.showAsEmoticon = PrefsManager::general_IsShowAsEmoticon();
    c.statusTag = BuddyListMenuValidation::tagForStatusTitle(mShell.statusTitle());
    c.hasChatToSave = mShell.hasChatToSave();
    const QModelIndexList rows = mList.selectedItemsInBuddyListViewItems();
    c.selectedItemCount = int(rows.size());
    if (!rows.isEmpty()) {
        if (const GroupRecord *record = mList.model()->groupRecord(rows.first())) {
            c.groupSelected = true;
            c.groupName = record->group->groupName();
        }
        c.firstSelectedIsBuddy = mList.model()->buddyRow(rows.first()) != nullptr;
    }
    const QList<BuddyRow> buddies = mList.selectedBuddies().value_or(QList<BuddyRow>());
    c.selectedBuddiesEmpty = buddies.isEmpty();
    c.selectedBuddyCount = c.firstSelectedIsBuddy ? int(buddies.size()) : 0;
    c.selectedOnlineCount = int(mList.selectedOnlineBuddyIDList().size());
    if (c.selectedBuddyCount == 1 && buddies.first().buddy) {
        const PLBuddyPtr &buddy = buddies.first().buddy;
        c.buddyFound = mList.viewModel().buddies().buddyForID(buddy->velaID()) != nullptr;
        c.buddyName = buddy->name();
        c.buddyID = buddy->velaID();
        c.buddyDisplayString = BuddyString::buddyStringWithBuddy(buddy);
        c.buddyOrchardCMN = buddy->orchardCMN();
        c.buddyBlocked = buddy->buddyFlagBLBit();
    }
    return c;
}

void BuddyListMenus::validateMenu(QMenu *menu)
{
    const BuddyMenuContext c = context();
    for (QAction *item : menu->actions()) {
        const std::optional<BuddyMenuAction> action = actionOf(item);
        if (!action)
            continue;
        const BuddyMenuItemState state =
            BuddyListMenuValidation::validate(*action, item->property(kTagProperty).toInt(), c);
        item->setEnabled(state.enabled);
        if (item->isCheckable())
            item->setChecked(state.checked);
        item->setText(state.title.value_or(text(item->property(kTitleKeyProperty).toByteArray().constData())));
        if (state.enabled && (*action == A::CopyBuddy || *action == A::MoveBuddy))
            rebuildDestinations(item->menu(), *action == A::CopyBuddy ? A::CopyBuddyToGroup : A::MoveBuddyToGroup);
    }
}

void BuddyListMenus::rebuildDestinations(QMenu *sub, BuddyMenuAction itemAction)
{
    if (!sub)
        return;
    sub->clear();
    const PLBuddyManager &buddies = mList.viewModel().buddies();
    QList<PLGroupPtr> groups;
    for (qsizetype i = 0; i < buddies.groupCount(); ++i)
        groups.append(buddies.groupAtIndex(i));
    for (const PLGroupPtr &group : BuddyListMenuValidation::destinationGroups(groups, mList.groupIDsForselectedBuddies())) {
        // The name is peer text; the ID says where to go.
        QAction *item = sub->addAction(BuddyListMenuValidation::menuTitle(group->groupName()));
        item->setProperty(kActionProperty, int(itemAction));
        item->setData(group->groupID());
        connect(item, &QAction::triggered, this, [this, item] { trigger(item); });
    }
}

void BuddyListMenus::trigger(QAction *item)
{
    const std::optional<BuddyMenuAction> action = actionOf(item);
    if (!action)
        return;
    switch (*action) {
    case A::ShowAsName: mActions.setBuddyStringType(QLatin1String(BuddyString::kShowAsName)); break;
    case A::ShowAsNickName: mActions.setBuddyStringType(QLatin1String(BuddyString::kShowAsNickName)); break;
    case A::ShowAsNameID: mActions.setBuddyStringType(QLatin1String(BuddyString::kShowAsNameID)); break;
    case A::ShowAsNameNickName: mActions.setBuddyStringType(QLatin1String(BuddyString::kShowAsNameNickName)); break;
    case A::ShowAll: mActions.setDisplayType(0); break;
    case A::ShowOnlineOnly: mActions.setDisplayType(1); break;
    case A::ShowOnlineOffline: mActions.setDisplayType(2); break;
    case A::DisplayEmoticon: mActions.displayEmoticon(); break;
    case A::AddBuddy: mActions.addBuddyAction(); break;
    case A::AddGroup: mGroups.addGroupAction(); break;
    case A::ExpandAll: mActions.expandAllItems(); break;
    case A::CloseAll: mActions.closeAllItems(); break;
    case A::CopyBuddyToGroup: mActions.copyBuddyToGroup(item->data().toString()); break;
    case A::MoveBuddyToGroup: mActions.moveBuddyToGroup(item->data().toString()); break;
    case A::SendMessage: mActions.sendMessageAction(); break;
    case A::NewChat: mActions.newChatAction(); break;
    case A::ChangeStatus: mActions.changeStatusAction(item->property(kTagProperty).toInt()); break;
    case A::SaveChat: mActions.saveChatAction(); break;
    case A::RenameGroup: mGroups.renameGroupAction(); break;
    case A::BlockGroup: mActions.blockGroupAction(); break;
    case A::UnblockGroup: mActions.unblockGroupAction(); break;
    case A::RemoveGroup: mGroups.removeGroupAction(); break;
    case A::Chat: mActions.chatAction(); break;
    case A::BuddyProfile: mActions.buddyProfileAction(); break;
    case A::ShowLastChat: mActions.showLastChatAction(); break;
    case A::SendFile: mActions.sendFileAction(); break;
    case A::ShowMiniNook: mActions.showMiniNookAction(); break;
    case A::BlockUnblockBuddy: mActions.blockUnblockBuddyAction(); break;
    case A::RemoveBuddy: mActions.removeBuddyAction(); break;
    case A::Sms: mActions.smsAction(); break;
    // Title holders.
    case A::GroupName:
    case A::BuddyName:
    case A::CopyBuddy:
    case A::MoveBuddy: break;
    }
}

QMenu *BuddyListMenus::menuForIndex(const QModelIndex &index)
{
    if (QWidget *window = mShell.window())
        window->activateWindow();
    if (mList.model()->isGroup(index))
        return BuddyListManager::buddyListType() == BuddyListManager::OnlineOffline ? nullptr : mGroupMenu;
    if (mList.model()->buddyRow(index))
        return mBuddyMenu;
    return mOptionMenu;
}

void BuddyListMenus::deleteKeyPressed() { mActions.deleteKeyAction(); }

bool BuddyListMenus::renameGroupInPlace(const PLGroupPtr &group, const QString &name)
{
    return mGroups.renameGroupInPlace(group, name);
}

} // namespace parley
