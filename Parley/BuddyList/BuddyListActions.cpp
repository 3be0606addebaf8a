#include "BuddyListActions.h"

#include "BuddyActionsShell.h"
#include "BuddyListDataSource.h"
#include "BuddyListManager.h"
#include "BuddyListMenuValidation.h"
#include "BuddySession.h"
#include "BuddyString.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "ChatManagement/ChatManagerInterface.h"
#include "KCAlertPresenter.h"
#include "KCOutlineView.h"
#include "MemoWindowOpener.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/ParleyStringAdditions.h"
#include "Utils/PrefsManager.h"

namespace parley {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

int myStatus() { return PLMyInfoManager::sharedManager().status(); }

} // namespace

BuddyListActions::BuddyListActions(BuddyListDataSource &list, BuddySession &session, BuddyActionsShell &shell,
                                   QObject *parent)
    : QObject(parent), mList(list), mSession(session), mShell(shell)
{
}

void BuddyListActions::showOfflineAlert(const char *messageKey)
{
    KCAlertRequest request;
    request.key = QLatin1String(messageKey);
    request.title = text("ChatTitle");
    request.message = text(messageKey);
    request.buttons = {text("OK")};
    request.style = KCAlertRequest::Style::Warning;
    request.parent = mShell.window();
    KCAlerts().ask(request);
}

void BuddyListActions::reloadIfCompleted(bool rebuild)
{
    if (mList.isLoginCompleted())
        mList.reloadBuddyData(rebuild);
}

// --- chat and files

void BuddyListActions::chatAction()
{
    if (myStatus() == 0)
        return showOfflineAlert("ChatErrorForOffline");
    const QStringList online = mList.selectedOnlineBuddyIDList();
    if (online.isEmpty()) {
        mShell.showInvitePanel(true, [this](const QStringList &ids) { buddyInvitePanelDidEnd(ids); });
        return;
    }
    if (mChat)
        mChat->openChatRoom(online);
}

void BuddyListActions::newChatAction()
{
    mShell.showInvitePanel(true, [this](const QStringList &ids) { buddyInvitePanelDidEnd(ids); });
}

void BuddyListActions::buddyInvitePanelDidEnd(const QStringList &velaIDs)
{
    if (myStatus() == 0)
        return showOfflineAlert("ChatErrorForOffline");
    if (velaIDs.isEmpty() || !mChat)
        return;
    mChat->openChatRoom(velaIDs);
}

void BuddyListActions::sendFileAction()
{
    if (myStatus() == 0)
        return showOfflineAlert("FileErrorForOffline");
    if (mChat)
        mChat->openChatRoomWithFileTransfer(mList.selectedOnlineBuddyIDList(), {}, {});
}

void BuddyListActions::saveChatAction()
{
    // The alert says only what happened: a log went to the save queue.
    if (!mShell.hasChatToSave() || !mShell.saveChat())
        return;
    KCAlertRequest request;
    request.key = QStringLiteral("ChatTextSaveAlert");
    request.title = text("SaveDialog");
    request.message = text("ChatTextSaveAlert");
    request.buttons = {text("OK")};
    request.parent = mShell.window();
    KCAlerts().ask(request);
}

void BuddyListActions::showLastChatAction()
{
    if (PrefsManager::msg_saveChatType() != 0) {
        KCAlertRequest request;
        request.key = QStringLiteral("ShowLastChatMessage");
        request.title = text("ReadLastChatText");
        request.message = text("ShowLastChatMessage");
        request.buttons = {text("OK"), text("Cancel")};
        request.parent = mShell.window();
        if (KCAlerts().ask(request).button == 0)
            mShell.openMessagePreferences();
        return;
    }
    const QList<BuddyRow> rows = mList.selectedBuddies().value_or(QList<BuddyRow>());
    // The web chat log: the one buddy's, or all.
    if (rows.size() == 1) {
        const QString param = QStringLiteral("cmn=%1&boxType=C&searchKey=user&searchValue=%2")
                                  .arg(PLMyInfoManager::sharedManager().cmn(), urlEncode(rows.first().buddy->name()));
        mShell.bridgePageCall(QStringLiteral("H217"), param, -1);
    } else {
        mShell.bridgePageCall(QStringLiteral("H216"), QString(), -1);
    }
}

// --- memos and pages

void BuddyListActions::sendMessageAction()
{
    if (mMemos)
        mMemos->createMessageWindowWithTargets(mList.selectedBuddyIDList(), QString());
}

void BuddyListActions::smsAction()
{
    // "name|mobile" of every selected buddy with a mobile number, ";" between entries.
    const QList<BuddyRow> rows = mList.selectedBuddies().value_or(QList<BuddyRow>());
    QStringList entries;
    for (const BuddyRow &row : rows) {
        if (row.buddy && !row.buddy->mobile().isEmpty())
            entries << QStringLiteral("%1|%2").arg(row.buddy->name(), row.buddy->mobile());
    }
    const QString recipients = entries.join(QLatin1Char(';'));
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    mShell.bridgePageCall(QStringLiteral("G047"),
                          QStringLiteral("TICKET=%1&ID=%2&mobile=%3").arg(me.ticket(), me.loginID(), recipients), -1);
}

void BuddyListActions::showMiniNookAction()
{
    const QList<BuddyRow> rows = mList.selectedBuddies().value_or(QList<BuddyRow>());
    if (rows.size() == 1 && rows.first().buddy && !rows.first().buddy->orchardCMN().isEmpty())
        mShell.showBuddyMininook(rows.first().buddy);
}

void BuddyListActions::buddyProfileAction()
{
    const QList<BuddyRow> rows = mList.selectedBuddies().value_or(QList<BuddyRow>());
    if (rows.size() == 1 && rows.first().buddy)
        mShell.bridgePageCall(QStringLiteral("F009"), rows.first().buddy->buddyCMN(), -1);
}

void BuddyListActions::addBuddyAction() { mShell.showAddBuddyWindow(); }

void BuddyListActions::changeStatusAction(int tag)
{
    // The status view knows its entries by their shown (localized) titles.
    mShell.setStatusTitle(BuddyListMenuValidation::statusStringForStatus(tag));
}

// --- display options

void BuddyListActions::setDisplayType(int type)
{
    BuddyListManager::setBuddyListType(type);
    reloadIfCompleted(true);
}

void BuddyListActions::setBuddyStringType(const QString &type)
{
    BuddyString::setBuddyStringType(type);
    reloadIfCompleted(true);
}

void BuddyListActions::displayEmoticon()
{
    PrefsManager::setGeneral_IsShowAsEmoticon(!PrefsManager::general_IsShowAsEmoticon());
    mShell.reloadPreferences();
    reloadIfCompleted(false);
}

void BuddyListActions::expandAllItems() { mList.expandAllItems(); }

void BuddyListActions::closeAllItems()
{
    if (KCOutlineView *view = mList.mBuddyListView())
        view->collapseAll();
}

// --- block, unblock, remove

bool BuddyListActions::dontShowAgainAlert(const QString &title, const QString &message, const QString &defaultsKey)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (defaults.objectForKey(defaultsKey).toInt() != 0)
        return true;
    KCAlertRequest request;
    request.key = defaultsKey;
    request.title = title;
    request.message = message;
    request.buttons = {text("OK"), text("Cancel")};
    request.checkBoxText = text("DontShowMe");
    request.style = KCAlertRequest::Style::Critical;
    request.parent = mShell.window();
    const KCAlertAnswer answer = KCAlerts().ask(request);
    if (answer.button != 0)
        return false;
    if (answer.checked)
        defaults.setObject(true, defaultsKey);
    return true;
}

void BuddyListActions::blockUnblockBuddyAction()
{
    const QModelIndexList rows = mList.selectedItemsInBuddyListViewItems();
    if (rows.isEmpty())
        return;
    const BuddyRow *row = mList.model()->buddyRow(rows.first());
    if (!row || !row->buddy)
        return;
    // The item's title follows the blocked flag, and so does what it does.
    if (row->buddy->buddyFlagBLBit()) {
        mSession.unblockBuddy(row->buddy->velaID());
        return;
    }
    if (dontShowAgainAlert(text("BuddyBlockTitle"), text("BuddyBlockMessage"), QLatin1String(kBlockDontShowKey)))
        mSession.blockBuddy(row->buddy->velaID());
}

void BuddyListActions::blockGroupAction()
{
    const QList<BuddyRow> rows = mList.selectedBuddies().value_or(QList<BuddyRow>());
    if (!dontShowAgainAlert(text("BuddyBlockTitle"), text("BuddyBlockMessage"), QLatin1String(kBlockDontShowKey)))
        return;
    for (const BuddyRow &row : rows)
        mSession.blockBuddy(row.buddy->velaID());
}

void BuddyListActions::unblockGroupAction()
{
    for (const BuddyRow &row : mList.selectedBuddies().value_or(QList<BuddyRow>()))
        mSession.unblockBuddy(row.buddy->velaID());
}

QList<BuddyRemovalRow> BuddyListActions::removalRows() const
{
    QList<BuddyRemovalRow> rows;
    const PLBuddyManager &buddies = mList.viewModel().buddies();
    for (const BuddyRow &row : mList.selectedBuddies().value_or(QList<BuddyRow>())) {
        if (!row.buddy || !row.group)
            continue;
        rows.append({row.buddy->velaID(), row.buddy->buddyCMN(), row.buddy->name(), row.group->groupID(),
                     int(buddies.groupsContainsBuddy(row.buddy->velaID()).size())});
    }
    return rows;
}

void BuddyListActions::runRemovalStep(const BuddyRemovalStep &step)
{
    switch (step.kind) {
    case BuddyRemovalStep::Kind::Block: mSession.blockBuddy(step.velaID); break;
    case BuddyRemovalStep::Kind::RemoveFromList: mSession.removeBuddyFlag(step.velaID, QStringLiteral("FL")); break;
    case BuddyRemovalStep::Kind::RemoveLocally:
        PLBuddyManager::sharedManager().removeBuddy(step.buddyCMN, step.groupID);
        break;
    case BuddyRemovalStep::Kind::RemoveFromGroups: mSession.removeBuddies(step.records); break;
    }
}

void BuddyListActions::removeBuddyAction()
{
    const BuddyRemovalPlan plan = BuddyListRemoval::plan(BuddyListManager::buddyListType(), removalRows());
    QString message = text(plan.messageKey.toLatin1().constData());
    if (plan.messageArgs.size() == 2)
        message = message.arg(plan.messageArgs[0], plan.messageArgs[1]);
    else if (plan.messageArgs.size() == 1)
        message = message.arg(plan.messageArgs[0]);
    QList<BuddyRemovalStep> steps;
    switch (plan.question) {
    case BuddyRemovalPlan::Question::None: steps = plan.steps; break;
    case BuddyRemovalPlan::Question::BlockOption: {
        KCAlertRequest request;
        request.key = plan.messageKey;
        request.title = text("BuddyRemoveTitle");
        request.message = message;
        request.buttons = {text("OK"), text("Cancel")};
        request.checkBoxText = text("BuddyBlockOption");
        request.checkBoxChecked = false;
        request.parent = mShell.window();
        const KCAlertAnswer answer = KCAlerts().ask(request);
        if (answer.button == 0)
            steps = answer.checked ? plan.stepsWithOption : plan.steps;
        break;
    }
    case BuddyRemovalPlan::Question::Confirm: {
        KCAlertRequest request;
        request.key = plan.messageKey;
        request.title = text("BuddyRemoveTitle");
        request.message = message;
        request.buttons = {text("OK"), text("Cancel")};
        request.parent = mShell.window();
        if (KCAlerts().ask(request).button == 0)
            steps = plan.steps;
        break;
    }
    }
    for (const BuddyRemovalStep &step : std::as_const(steps))
        runRemovalStep(step);
}

void BuddyListActions::deleteKeyAction()
{
    if (BuddyListManager::buddyListType() == BuddyListManager::OnlineOffline && mList.isSelectedGroupItem())
        return;
    if (mList.selectedBuddies().value_or(QList<BuddyRow>()).isEmpty())
        return;
    removeBuddyAction();
}

void BuddyListActions::moveOrCopy(const QString &groupID, bool move)
{
    const PLBuddyManager &buddies = mList.viewModel().buddies();
    const PLGroupPtr target = buddies.groupForID(groupID);
    if (!target)
        return;
    QVariantList records;
    for (const BuddyRow &row : mList.selectedBuddies().value_or(QList<BuddyRow>())) {
        const PLBuddyPtr buddy = row.buddy ? buddies.buddyForID(row.buddy->velaID()) : nullptr;
        if (!buddy || !row.group)
            continue;
        records.append(QVariantMap{{QStringLiteral("buddyID"), buddy->velaID()},
                                   {QStringLiteral("buddyCMN"), buddy->buddyCMN()},
                                   {QStringLiteral("fromGID"), row.group->groupID()},
                                   {QStringLiteral("targetGID"), target->groupID()}});
    }
    if (records.isEmpty())
        return;
    if (move) {
        mSession.moveBuddies(records);
        if (KCOutlineView *view = mList.mBuddyListView())
            view->clearSelection();
    } else {
        mSession.copyBuddies(records);
    }
}

void BuddyListActions::moveBuddyToGroup(const QString &groupID) { moveOrCopy(groupID, true); }

void BuddyListActions::copyBuddyToGroup(const QString &groupID) { moveOrCopy(groupID, false); }

} // namespace parley
