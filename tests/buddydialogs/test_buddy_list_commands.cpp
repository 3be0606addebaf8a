// The buddy list's commands on a real outline: removing (one group with and
// without the block option, several groups, several buddies, display type 2,
// the Delete key), blocking, the move and copy sub-menus, the group rules,
// the status items, chat and the context menus, against a recording session,
// a recording shell and scripted alerts.
#include "BuddyDialogDoubles.h"
#include "BuddyListFixture.h"

#include "BuddyList/BuddyGroupActions.h"
#include "BuddyList/BuddyListActions.h"
#include "BuddyList/BuddyListDataSource.h"
#include "BuddyList/BuddyListMenus.h"
#include "BuddyList/BuddyListView.h"
#include "BuddyList/GroupNameSheet.h"
#include "BuddyList/KCOutlineView.h"
#include "ScriptedAlerts.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace buddydialogs::test {
namespace {

using buddylist::test::BuddyStore;
using buddylist::test::RecordingShell;
using buddylist::test::TestImages;
using parley::test::ScriptedAlerts;

QString t(const char *key) { return KCLocalizedString(QLatin1String(key)); }

class BuddyListCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestImages::install();
        store.group("1", "Alpha");
        store.group("2", "beta");
        store.group("3", t("EtcGroupName"));
        store.group("4", "Empty");
        store.group("5", "R&D");
        x = store.buddy({"10", "Xavier", "", 1, {"1"}});
        y = store.buddy({"11", "Yuna", "", 1, {"1", "2"}});
        z = store.buddy({"12", "Zed", "", 0, {"2"}});
        w = store.buddy({"13", "Won", "", 1, {"5"}, "1010"});
        source.setShell(&listShell);
        source.setMBuddyListView(view.outlineView());
        source.setIsLoginCompleted(true);
        view.resize(260, 400);
        view.show();
        source.reloadBuddyData(true);
        view.outlineView()->expandAll();
        actions.setChatManager(&chat);
        UserDefaults::standardUserDefaults().removeObjectForKey(QLatin1String(BuddyListActions::kBlockDontShowKey));
    }
    void TearDown() override
    {
        UserDefaults::standardUserDefaults().removeObjectForKey(QLatin1String(BuddyListActions::kBlockDontShowKey));
        UserDefaults::standardUserDefaults().removeObjectForKey(QLatin1String(BuddyListManager::kDisplayBuddyTypeKey));
    }

    QModelIndex row(const char *groupID, const PLBuddyPtr &buddy)
    {
        return source.model()->indexForBuddy(QLatin1String(groupID), buddy->velaID());
    }
    QModelIndex group(const char *groupID) { return source.model()->indexForGroupID(QLatin1String(groupID)); }
    void select(const QList<QModelIndex> &indexes)
    {
        QItemSelection selection;
        for (const QModelIndex &index : indexes)
            selection.select(index, index);
        view.outlineView()->selectionModel()->select(selection,
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    void setDisplayType(int type)
    {
        BuddyListManager::setBuddyListType(type);
        source.reloadBuddyData(true);
        view.outlineView()->expandAll();
    }
    static QAction *item(QMenu *menu, BuddyMenuAction action)
    {
        for (QAction *a : menu->actions())
            if (BuddyListMenus::actionOf(a) == action)
                return a;
        return nullptr;
    }
    static QString record(const char *cmn, const char *from, const char *target = nullptr)
    {
        QVariantMap r{{"buddyCMN", QLatin1String(cmn)},
                      {"buddyID", QLatin1String(cmn) + QStringLiteral("@parley.test")},
                      {"fromGID", QLatin1String(from)}};
        if (target)
            r.insert(QStringLiteral("targetGID"), QLatin1String(target));
        return RecordingSession::json({r});
    }

    BuddyStore store;
    BuddyListDataSource source;
    BuddyListView view;
    RecordingShell listShell;
    RecordingSession session;
    RecordingActionsShell shell;
    RecordingChat chat;
    BuddyListActions actions{source, session, shell};
    BuddyGroupActions groups{source, session, shell};
    BuddyListMenus menus{source, session, shell, actions, groups};
    ScriptedAlerts alerts;
    PLBuddyPtr x, y, z, w;
};

struct OneGroupCase {
    const char *name;
    int button;
    bool checked;
    QStringList calls;
    bool removedLocally;
};

class RemoveFromOneGroup : public BuddyListCommandsTest, public ::testing::WithParamInterface<OneGroupCase> {};

TEST_P(RemoveFromOneGroup, AsksWithTheBlockOption)
{
    select({row("1", x)});
    alerts.answer(GetParam().button, GetParam().checked);
    actions.removeBuddyAction();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].checkBoxText, t("BuddyBlockOption"));
    EXPECT_FALSE(alerts.shown[0].checkBoxChecked);
    EXPECT_EQ(alerts.shown[0].message, t("BuddyRemoveMessage").arg(QStringLiteral("Xavier"), x->velaID()));
    EXPECT_EQ(session.calls, GetParam().calls) << GetParam().name;
    EXPECT_EQ(!store.buddies().groupForID(QStringLiteral("1"))->containsBuddy(x), GetParam().removedLocally);
}

INSTANTIATE_TEST_SUITE_P(
    BuddyList, RemoveFromOneGroup,
    ::testing::Values(OneGroupCase{"ok", 0, false, {"removeFlag 10@parley.test FL"}, true},
                      OneGroupCase{"ok and block", 0, true, {"block 10@parley.test", "removeFlag 10@parley.test FL"}, true},
                      OneGroupCase{"cancel", 1, true, {}, false},
                      OneGroupCase{"closed", -1, false, {}, false}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST_F(BuddyListCommandsTest, ABuddyInSeveralGroupsLeavesOnlyTheGroupItWasSelectedIn)
{
    select({row("2", y)});
    alerts.answer(0);
    actions.removeBuddyAction();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_TRUE(alerts.shown[0].checkBoxText.isEmpty());
    EXPECT_EQ(session.calls, QStringList{QStringLiteral("removeBuddies ") + record("11", "2")});
    // Cancel sends nothing.
    session.calls.clear();
    alerts.answer(1);
    actions.removeBuddyAction();
    EXPECT_TRUE(session.calls.isEmpty());
}

TEST_F(BuddyListCommandsTest, SeveralBuddiesAreAskedOnceThenEachLeavesListOrGroup)
{
    select({row("1", x), row("1", y)});
    alerts.answer(0);
    actions.removeBuddyAction();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, t("BuddysRemoveMessage").arg(2));
    EXPECT_EQ(session.calls, (QStringList{QStringLiteral("removeFlag 10@parley.test FL"),
                                          QStringLiteral("removeBuddies ") + record("11", "1")}));
}

TEST_F(BuddyListCommandsTest, DisplayTypeTwoTakesBuddiesOffTheListWithoutAsking)
{
    setDisplayType(2);
    const QModelIndex online = source.model()->index(0, 0);
    ASSERT_TRUE(source.model()->isGroup(online));
    QList<QModelIndex> rows;
    for (int i = 0; i < source.model()->rowCount(online); ++i)
        rows << source.model()->index(i, 0, online);
    ASSERT_EQ(rows.size(), 3);
    select(rows);
    actions.removeBuddyAction();
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_EQ(session.calls.size(), 3);
    for (const QString &call : std::as_const(session.calls))
        EXPECT_TRUE(call.startsWith(QStringLiteral("removeFlag ")) && call.endsWith(QStringLiteral(" FL"))) << call.toStdString();
}

TEST_F(BuddyListCommandsTest, TheDeleteKeyLeavesADisplayTypeTwoGroupAlone)
{
    setDisplayType(2);
    select({source.model()->index(0, 0)});
    QTest::keyClick(view.outlineView(), Qt::Key_Delete);
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_TRUE(session.calls.isEmpty());
}

TEST_F(BuddyListCommandsTest, TheDeleteKeyOnAGroupAsksForAllItsRows)
{
    select({group("1")});
    alerts.answer(1);
    QTest::keyClick(view.outlineView(), Qt::Key_Delete);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, t("BuddysRemoveMessage").arg(2));
    EXPECT_TRUE(session.calls.isEmpty());
    // An empty group: nothing to ask.
    select({group("4")});
    QTest::keyClick(view.outlineView(), Qt::Key_Delete);
    EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(BuddyListCommandsTest, BlockFollowsTheBlockedFlagAndAsksOnceWhenTold)
{
    // Neither allowed nor blocked: the item says Block and blocks.
    x->setBuddyFlags(QStringLiteral("1000"));
    select({row("1", x)});
    menus.validateMenu(menus.buddyMenu());
    EXPECT_EQ(item(menus.buddyMenu(), BuddyMenuAction::BlockUnblockBuddy)->text(), t("BlockBuddy"));
    alerts.answer(0, true);
    actions.blockUnblockBuddyAction();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].checkBoxText, t("DontShowMe"));
    EXPECT_EQ(session.calls, QStringList{QStringLiteral("block 10@parley.test")});
    // The box was ticked: no more questions, for a group either.
    select({group("2")});
    actions.blockGroupAction();
    EXPECT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(session.calls.mid(1), (QStringList{QStringLiteral("block 11@parley.test"), QStringLiteral("block 12@parley.test")}));

    // A blocked buddy: the item says Unblock and unblocks at once.
    session.calls.clear();
    select({row("5", w)});
    menus.validateMenu(menus.buddyMenu());
    EXPECT_EQ(item(menus.buddyMenu(), BuddyMenuAction::BlockUnblockBuddy)->text(), t("UnblockBuddy"));
    actions.blockUnblockBuddyAction();
    EXPECT_EQ(session.calls, QStringList{QStringLiteral("unblock 13@parley.test")});
    EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(BuddyListCommandsTest, BlockIsAskedEveryTimeUntilTheBoxIsTicked)
{
    select({row("1", x)});
    alerts.answer(1);
    actions.blockUnblockBuddyAction();
    alerts.answer(0, false);
    actions.blockUnblockBuddyAction();
    alerts.answer(0, false);
    actions.blockUnblockBuddyAction();
    EXPECT_EQ(alerts.shown.size(), 3u);
    EXPECT_EQ(session.calls, (QStringList{QStringLiteral("block 10@parley.test"), QStringLiteral("block 10@parley.test")}));
}

TEST_F(BuddyListCommandsTest, MoveAndCopyOfferEveryOtherGroupByIDAndName)
{
    select({row("1", x), row("2", z)});
    menus.validateMenu(menus.buddyMenu());
    QAction *move = item(menus.buddyMenu(), BuddyMenuAction::MoveBuddy);
    ASSERT_TRUE(move->isEnabled());
    QStringList titles;
    QStringList ids;
    for (QAction *a : move->menu()->actions()) {
        titles << a->text();
        ids << a->data().toString();
    }
    // Neither Alpha nor beta; sorted without case; "&" doubled; IDs as data.
    QStringList expected{"Empty", "R&&D", t("EtcGroupName")};
    std::sort(expected.begin(), expected.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(titles, expected);
    EXPECT_FALSE(ids.contains(QStringLiteral("1")));
    EXPECT_FALSE(ids.contains(QStringLiteral("2")));
    const qsizetype rnd = titles.indexOf(QStringLiteral("R&&D"));
    ASSERT_GE(rnd, 0);
    EXPECT_EQ(ids[rnd], QStringLiteral("5"));

    // Copy keeps the selection; move clears it.
    QAction *copyTo = item(menus.buddyMenu(), BuddyMenuAction::CopyBuddy)->menu()->actions().at(int(rnd));
    copyTo->trigger();
    EXPECT_EQ(session.calls.value(0), QStringLiteral("copy ") + RecordingSession::json(
        {QVariantMap{{"buddyCMN", "10"}, {"buddyID", "10@parley.test"}, {"fromGID", "1"}, {"targetGID", "5"}},
         QVariantMap{{"buddyCMN", "12"}, {"buddyID", "12@parley.test"}, {"fromGID", "2"}, {"targetGID", "5"}}}));
    EXPECT_EQ(source.selectedBuddyIDList().size(), 2);
    move->menu()->actions().at(int(rnd))->trigger();
    EXPECT_TRUE(session.calls.value(1).startsWith(QStringLiteral("move ")));
    EXPECT_TRUE(source.selectedBuddyIDList().isEmpty());
}

TEST_F(BuddyListCommandsTest, AddingAGroupRefusesBlankAndTakenNames)
{
    GroupNameSheet *sheet = groups.addGroupAction();
    ASSERT_TRUE(sheet);
    sheet->field()->setText(QStringLiteral("   "));
    sheet->okButton()->click();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(session.calls.isEmpty());
    sheet->field()->setText(QStringLiteral("Alpha"));
    sheet->okButton()->click();
    EXPECT_EQ(alerts.keys(), QStringList{QStringLiteral("GroupNameErrorMessage")});
    EXPECT_TRUE(session.calls.isEmpty());
    // Names differ by case: another group.
    groups.sheetDidEnd(QStringLiteral("alpha"), nullptr);
    EXPECT_EQ(session.calls, QStringList{QStringLiteral("addGroup alpha")});
}

TEST_F(BuddyListCommandsTest, RenamingInPlaceRefusesBlankTakenAndCatchAllNames)
{
    const PLGroupPtr alpha = store.buddies().groupForID(QStringLiteral("1"));
    EXPECT_FALSE(groups.renameGroupInPlace(alpha, QString()));
    EXPECT_FALSE(groups.renameGroupInPlace(alpha, QStringLiteral("  ")));
    EXPECT_FALSE(groups.renameGroupInPlace(alpha, QStringLiteral("Alpha")));
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_FALSE(groups.renameGroupInPlace(alpha, QStringLiteral("beta")));
    EXPECT_EQ(alerts.keys(), QStringList{QStringLiteral("GroupNameErrorMessage")});
    EXPECT_FALSE(groups.renameGroupInPlace(store.buddies().groupForID(QStringLiteral("3")), QStringLiteral("Misc")));
    EXPECT_EQ(alerts.keys().last(), QStringLiteral("EtcGroupRenameErrorMessage"));
    EXPECT_TRUE(session.calls.isEmpty());
    EXPECT_TRUE(groups.renameGroupInPlace(alpha, QStringLiteral("Friends")));
    EXPECT_EQ(session.calls, QStringList{QStringLiteral("renameGroup 1 Friends")});
}

TEST_F(BuddyListCommandsTest, TheRenameSheetStartsWithTheNameAndKeepsTheCatchAllGroup)
{
    select({group("3")});
    EXPECT_EQ(groups.renameGroupAction(), nullptr);
    EXPECT_EQ(alerts.keys(), QStringList{QStringLiteral("EtcGroupRenameErrorMessage")});
    select({group("1")});
    GroupNameSheet *sheet = groups.renameGroupAction();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->field()->text(), QStringLiteral("Alpha"));
    sheet->field()->setText(QStringLiteral("Friends"));
    sheet->okButton()->click();
    EXPECT_EQ(session.calls, QStringList{QStringLiteral("renameGroup 1 Friends")});
}

struct RemoveGroupCase {
    const char *name;
    const char *groupID;
    const char *alertKey;
    int answer;
    QStringList calls;
};

class RemoveGroup : public BuddyListCommandsTest, public ::testing::WithParamInterface<RemoveGroupCase> {};

TEST_P(RemoveGroup, Rules)
{
    select({group(GetParam().groupID)});
    alerts.answer(GetParam().answer);
    groups.removeGroupAction();
    EXPECT_EQ(alerts.keys(), QStringList{QLatin1String(GetParam().alertKey)}) << GetParam().name;
    EXPECT_EQ(session.calls, GetParam().calls) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    BuddyList, RemoveGroup,
    ::testing::Values(RemoveGroupCase{"catch-all", "3", "EtcGroupRemoveErrorMessage", 0, {}},
                      RemoveGroupCase{"not empty", "1", "ExistBuddyGroupRemoveErrorMessage", 0, {}},
                      RemoveGroupCase{"empty ok", "4", "GroupRemoveMessage", 0, {"removeGroup 4"}},
                      RemoveGroupCase{"empty cancel", "4", "GroupRemoveMessage", 1, {}}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST_F(BuddyListCommandsTest, StatusItemsSetTheTitleAsTheUsersChoice)
{
    QMenu buddies;
    QMenu viewMenu;
    menus.fillMainMenus(&buddies, &viewMenu);
    QMenu *status = buddies.findChild<QMenu *>(QStringLiteral("statusMenu"));
    ASSERT_TRUE(status);
    shell.status = QStringLiteral("Busy");
    menus.validateMenu(status);
    ASSERT_EQ(status->actions().size(), 6);
    for (int tag = 0; tag < 6; ++tag)
        EXPECT_EQ(status->actions()[tag]->isChecked(), tag == 2) << tag;
    EXPECT_EQ(status->actions()[1]->text(), t("Away"));
    status->actions()[1]->trigger();
    // The status view knows its entries by their shown titles, not by the keys.
    EXPECT_EQ(shell.calls, QStringList{QStringLiteral("setStatusTitle %1 selected").arg(t("Away"))});
}

TEST_F(BuddyListCommandsTest, SignedOutEveryItemIsOff)
{
    session.loggedIn = false;
    select({row("1", x)});
    for (QMenu *menu : {menus.buddyMenu(), menus.groupMenu(), menus.optionMenu()}) {
        menus.validateMenu(menu);
        for (QAction *a : menu->actions())
            if (!a->isSeparator()) {
                EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
            }
    }
}

TEST_F(BuddyListCommandsTest, TheMenuOfARightClickDependsOnTheRow)
{
    EXPECT_EQ(menus.menuForIndex(row("1", x)), menus.buddyMenu());
    EXPECT_EQ(menus.menuForIndex(group("1")), menus.groupMenu());
    EXPECT_EQ(menus.menuForIndex(QModelIndex()), menus.optionMenu());
    setDisplayType(2);
    EXPECT_EQ(menus.menuForIndex(source.model()->index(0, 0)), nullptr);
}

TEST_F(BuddyListCommandsTest, ChatOpensTheOnlineBuddiesOrThePanel)
{
    select({row("1", x), row("2", z)});
    actions.chatAction();
    EXPECT_EQ(chat.calls, QStringList{QStringLiteral("openChatRoom 10@parley.test")});
    select({row("2", z)});
    actions.chatAction();
    EXPECT_EQ(shell.calls, QStringList{QStringLiteral("invitePanel online=1")});
    ASSERT_TRUE(shell.panelDidEnd);
    shell.panelDidEnd({});
    shell.panelDidEnd({QStringLiteral("11@parley.test")});
    EXPECT_EQ(chat.calls.last(), QStringLiteral("openChatRoom 11@parley.test"));
    EXPECT_EQ(chat.calls.size(), 2);
    // Appearing offline: the alert and nothing else.
    PLMyInfoManager::sharedManager().setStatus(0);
    actions.chatAction();
    actions.sendFileAction();
    EXPECT_EQ(alerts.keys(), (QStringList{QStringLiteral("ChatErrorForOffline"), QStringLiteral("FileErrorForOffline")}));
    EXPECT_EQ(chat.calls.size(), 2);
}

TEST_F(BuddyListCommandsTest, SaveChatReportsSavedOnlyWhenALogWentToTheQueue)
{
    const struct
    {
        const char *name;
        bool chatToSave;
        bool saved;
        QStringList calls;
        QStringList alerts;
    } cases[] = {
        {"no chat window", false, false, {}, {}},
        {"nothing to save", true, false, {QStringLiteral("saveChat")}, {}},
        {"a log saved", true, true, {QStringLiteral("saveChat")}, {QStringLiteral("ChatTextSaveAlert")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        shell.calls.clear();
        alerts.shown.clear();
        shell.chatToSave = c.chatToSave;
        shell.chatSaved = c.saved;
        actions.saveChatAction();
        EXPECT_EQ(shell.calls, c.calls);
        EXPECT_EQ(alerts.keys(), c.alerts);
    }
}

} // namespace
} // namespace buddydialogs::test
