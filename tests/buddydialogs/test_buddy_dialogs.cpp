// The add-buddy window, the invite panel and the buddy-request window against
// a recording session.
#include "BuddyDialogDoubles.h"
#include "BuddyListFixture.h"

#include "BuddyList/AddBuddyRequest.h"
#include "BuddyList/BuddyController.h"
#include "BuddyList/BuddyInviteController.h"
#include "BuddyList/BuddyInviteLists.h"
#include "BuddyList/BuddyRequestController.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Shell/DomainSheet.h"
#include "Utils/PLEndpoints.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>

namespace buddydialogs::test {
namespace {

using buddylist::test::BuddyStore;

QString t(const char *key) { return KCLocalizedString(QLatin1String(key)); }

class AddBuddyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.group("1", "Alpha");
        store.group("7", t("EtcGroupName"));
        friendOnList = store.buddy({"10", "Friend", "", 1, {"1"}});
        PLMyInfoManager::sharedManager().setLoginID(QStringLiteral("me@parley.test"));
        UserDefaults::standardUserDefaults().removeObjectForKey(QLatin1String(kDefaultDomainsKey));
        dialog = new BuddyController(session);
    }
    void TearDown() override
    {
        delete dialog.data();
        PLMyInfoManager::sharedManager().setLoginID(QString());
        UserDefaults::standardUserDefaults().removeObjectForKey(QLatin1String(kDefaultDomainsKey));
    }
    // Types an ID as the user does and picks a domain.
    void type(const QString &id, const QString &domain)
    {
        dialog->idField()->clear();
        QTest::keyClicks(dialog->idField(), id);
        if (dialog->usesDomainMenu())
            dialog->emailPopupButton()->setCurrentIndex(dialog->emailPopupButton()->findText(domain));
        else
            dialog->emailField()->setText(domain);
    }

    BuddyStore store;
    RecordingSession session;
    QPointer<BuddyController> dialog;
    PLBuddyPtr friendOnList;
};

TEST_F(AddBuddyTest, TheRequestGoesToTheChosenGroupWithTheMessageInCRLF)
{
    ASSERT_TRUE(dialog->usesDomainMenu()); // the suites run in Korean
    EXPECT_FALSE(dialog->requestBuddyButton()->isEnabled());
    type(QStringLiteral("bob"), QStringLiteral("parley.test"));
    EXPECT_TRUE(dialog->requestBuddyButton()->isEnabled());
    // At first the catch-all group is chosen.
    EXPECT_EQ(dialog->groupPopupButton()->currentText(), t("EtcGroupName"));
    dialog->textView()->setPlainText(QStringLiteral("one\ntwo\nthree"));
    dialog->requestBuddyButton()->click();
    EXPECT_EQ(session.calls, QStringList{QStringLiteral("request bob@parley.test 7")});
    EXPECT_EQ(session.lastMessage, QStringLiteral("one\r\ntwo\r\nthree"));
    EXPECT_EQ(dialog->pendingID(), QStringLiteral("bob@parley.test"));

    dialog->groupPopupButton()->setCurrentIndex(dialog->groupPopupButton()->findText(QStringLiteral("Alpha")));
    dialog->requestBuddyButton()->click();
    EXPECT_EQ(session.calls.last(), QStringLiteral("request bob@parley.test 1"));
}

TEST_F(AddBuddyTest, RefusesABuddyAlreadyListedAndTheOwnID)
{
    type(QStringLiteral("10"), QStringLiteral("parley.test"));
    dialog->requestBuddyButton()->click();
    EXPECT_EQ(dialog->displayView()->currentWidget(), dialog->resultView());
    EXPECT_EQ(dialog->resultMessage()->text(), t("AddBuddyAlreayExist").arg(QStringLiteral("10@parley.test")));
    dialog->continueButton()->click();
    EXPECT_EQ(dialog->displayView()->currentWidget(), dialog->addBuddyView());
    EXPECT_TRUE(dialog->idField()->text().isEmpty());
    type(QStringLiteral("me"), QStringLiteral("parley.test"));
    dialog->requestBuddyButton()->click();
    EXPECT_EQ(dialog->resultMessage()->text(), t("AddBuddyIsEqualToMyID"));
    EXPECT_TRUE(session.calls.isEmpty());
}

TEST_F(AddBuddyTest, WithoutGroupsTheRequestGoesToGroupZero)
{
    delete dialog.data();
    store.buddies().reset();
    dialog = new BuddyController(session);
    EXPECT_EQ(AddBuddyRequest::targetGroupID(store.buddies(), QString()), QStringLiteral("0"));
    type(QStringLiteral("bob"), QStringLiteral("parley.test"));
    dialog->requestBuddyButton()->click();
    EXPECT_EQ(session.calls, QStringList{QStringLiteral("request bob@parley.test 0")});
}

TEST_F(AddBuddyTest, OnlyItsOwnRequestsAnswerMovesItToTheResult)
{
    type(QStringLiteral("bob"), QStringLiteral("parley.test"));
    dialog->requestBuddyButton()->click();
    NotificationCenter &center = NotificationCenter::defaultCenter();
    const auto error = [&](const char *code, const char *velaID) {
        center.post(QLatin1String(notifications::kErrorCodeReceived), nullptr,
                    {{"errorInfo", QVariantMap{{"errorCode", QLatin1String(code)}}},
                     {"jobInfo", QVariantMap{{"velaID", QLatin1String(velaID)}}}});
    };
    error("304", "carol@parley.test");
    error("205", "bob@parley.test");
    center.post(QLatin1String(notifications::kBuddyManagerAddBuddyResultReceived), nullptr,
                {{"userID", QStringLiteral("carol@parley.test")}});
    EXPECT_EQ(dialog->displayView()->currentWidget(), dialog->addBuddyView());
    error("304", "bob@parley.test");
    EXPECT_EQ(dialog->displayView()->currentWidget(), dialog->resultView());
    EXPECT_EQ(dialog->resultMessage()->text(), t("AddBuddyFail"));

    dialog->continueButton()->click();
    type(QStringLiteral("dave"), QStringLiteral("parley.test"));
    dialog->requestBuddyButton()->click();
    center.post(QLatin1String(notifications::kBuddyManagerAddBuddyResultReceived), nullptr,
                {{"userID", QStringLiteral("dave@parley.test")}});
    EXPECT_EQ(dialog->resultMessage()->text(),
              t("AddBuddySuccess").arg(QStringLiteral("dave@parley.test"), QStringLiteral("dave@parley.test")));
}

TEST_F(AddBuddyTest, ATypedDomainIsSavedBeforeOthersAndABlankOneNever)
{
    QComboBox *domains = dialog->emailPopupButton();
    const QStringList before = KCDefaultDomain();
    ASSERT_EQ(domains->itemText(domains->count() - 1), t("Others"));
    domains->setCurrentIndex(domains->count() - 1);
    dialog->selectDomainAction();
    shell::DomainSheet *sheet = dialog->domainSheet();
    ASSERT_TRUE(sheet->isVisible());
    sheet->domainField->setText(QStringLiteral("   "));
    sheet->domainOKButton->click();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(KCDefaultCurrentDomain().has_value());
    sheet->domainField->setText(QStringLiteral("mail.example"));
    sheet->domainOKButton->click();
    const QStringList saved = KCDefaultCurrentDomain().value_or(QStringList());
    ASSERT_EQ(saved.size(), before.size() + 1);
    EXPECT_EQ(saved[saved.size() - 2], QStringLiteral("mail.example"));
    EXPECT_EQ(saved.last(), t("Others"));
    EXPECT_EQ(domains->currentText(), QStringLiteral("mail.example"));

    // Cancelled: the service's own domain.
    domains->setCurrentIndex(domains->count() - 1);
    dialog->selectDomainAction();
    sheet->domainCancelButton->click();
    EXPECT_EQ(domains->currentText(), PLEndpoints::current().portalDomain);
    EXPECT_EQ(AddBuddyRequest::domainsWith({"a", "Others"}, QStringLiteral("a")), std::nullopt);
    EXPECT_EQ(AddBuddyRequest::domainsWith({"Others"}, QStringLiteral(" b ")), (QStringList{"b", "Others"}));
}

TEST_F(AddBuddyTest, TheSearchPanelHasNoRequestOfItsOwn)
{
    dialog->showSearchBuddyTab();
    EXPECT_EQ(dialog->displayView()->currentWidget(), dialog->searchBuddyView());
    for (QPushButton *button : dialog->searchBuddyView()->findChildren<QPushButton *>())
        if (button->text() == t("RequestBuddy"))
            EXPECT_FALSE(button->isEnabled());
}

// --- the invite panel

class InvitePanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.group("1", "Alpha");
        store.group("2", "Beta");
        ann = store.buddy({"10", "ann", "", 1, {"1", "2"}});
        bob = store.buddy({"11", "Bob", "", 0, {"1"}});
        cat = store.buddy({"12", "Cathy", "", 2, {"2"}});
        noName = store.buddy({"13", "", "", 1, {"2"}});
        noName->setName(QString());
    }
    static QStringList ids(const QList<PLBuddyPtr> &list)
    {
        QStringList out;
        for (const PLBuddyPtr &b : list)
            out << b->buddyCMN();
        return out;
    }
    BuddyStore store;
    PLBuddyPtr ann, bob, cat, noName;
};

TEST_F(InvitePanelTest, AllGroupsListEachBuddyOnceSortedByName)
{
    BuddyInviteLists lists(store.buddies(), false);
    lists.searchGroup(t("ViewAll"));
    EXPECT_EQ(ids(lists.searchList()), (QStringList{"13", "10", "11", "12"}));
    lists.searchGroup(QStringLiteral("Beta"));
    EXPECT_EQ(ids(lists.searchList()), (QStringList{"13", "10", "12"}));
    lists.searchGroup(QStringLiteral("Gone"));
    EXPECT_TRUE(lists.searchList().isEmpty());
}

TEST_F(InvitePanelTest, OnlineOnlyKeepsOfflineBuddiesOutOfBothLists)
{
    BuddyInviteLists lists(store.buddies(), true);
    lists.searchGroup(t("ViewAll"));
    EXPECT_FALSE(ids(lists.searchList()).contains(QStringLiteral("11")));
    EXPECT_FALSE(lists.insertIDs({bob->velaID()}));
    EXPECT_TRUE(lists.insertIDs({ann->velaID(), QStringLiteral("ghost@parley.test")}));
    EXPECT_EQ(lists.invitedIDs(), QStringList{ann->velaID()});
}

TEST_F(InvitePanelTest, PickingTwiceKeepsOneEntry)
{
    BuddyInviteLists lists(store.buddies(), false);
    lists.searchGroup(t("ViewAll"));
    EXPECT_TRUE(lists.insert({1, 1, 3, 99, -1}));
    EXPECT_FALSE(lists.insert({1}));
    EXPECT_FALSE(lists.insertIDs({ann->velaID(), cat->velaID()}));
    EXPECT_EQ(lists.invitedIDs(), (QStringList{ann->velaID(), cat->velaID()}));
    EXPECT_TRUE(lists.remove({0}));
    EXPECT_EQ(lists.invitedIDs(), QStringList{cat->velaID()});
}

TEST_F(InvitePanelTest, TheNameSearchIsCaseSensitiveAnywhereInTheName)
{
    BuddyInviteLists lists(store.buddies(), false);
    lists.searchName(QStringLiteral("a"), t("ViewAll"));
    // In group order: Alpha's, then Beta's; "Bob" has no small a.
    EXPECT_EQ(ids(lists.searchList()), (QStringList{"10", "12"}));
    lists.searchName(QStringLiteral("A"), t("ViewAll"));
    EXPECT_TRUE(lists.searchList().isEmpty());
    lists.searchName(QString(), t("ViewAll"));
    EXPECT_TRUE(lists.searchList().isEmpty());
    lists.searchName(QStringLiteral("th"), QStringLiteral("Alpha"));
    EXPECT_TRUE(lists.searchList().isEmpty());
}

TEST_F(InvitePanelTest, TheCatchAllGroupIsOfferedOnce)
{
    BuddyInviteLists lists(store.buddies(), false);
    EXPECT_EQ(lists.groupTitles(), (QStringList{t("ViewAll"), "Alpha", "Beta", t("EtcGroupName")}));
    store.group("3", t("EtcGroupName"));
    EXPECT_EQ(lists.groupTitles().count(t("EtcGroupName")), 1);
}

TEST_F(InvitePanelTest, DragDataIsCheckedBeforeItIsTaken)
{
    EXPECT_EQ(BuddyInviteLists::idsFromDragData(BuddyInviteLists::dragData({ann, cat})),
              (QStringList{ann->velaID(), cat->velaID()}));
    for (const QByteArray &bad : {QByteArray("{}"), QByteArray("[1, 2]"), QByteArray("[\"\"]"), QByteArray("not json"),
                                  QByteArray(BuddyInviteLists::kMaxDragBytes + 1, ' ')})
        EXPECT_FALSE(BuddyInviteLists::idsFromDragData(bad)) << bad.left(20).toStdString();
}

TEST_F(InvitePanelTest, OKHandsThePickedIDsAndCancelNothing)
{
    QList<QStringList> results;
    BuddyInviteController *panel = BuddyInviteController::runBuddyInvitePanel(
        nullptr, true, [&](const QStringList &picked) { results << picked; }, store.buddies());
    QPointer<BuddyInviteController> alive(panel);
    ASSERT_EQ(panel->viewByGroupButton()->currentText(), t("ViewAll"));
    ASSERT_EQ(panel->searchTableView()->model()->rowCount(), 3);
    // A drop of a known, an offline and an unknown ID on the right table.
    QMimeData data;
    data.setData(QLatin1String(BuddyInviteLists::kDragType),
                 BuddyInviteLists::dragData({cat, bob}).replace("]", ",\"ghost@x.y\"]"));
    EXPECT_TRUE(panel->inviteTableView()->model()->dropMimeData(&data, Qt::CopyAction, -1, -1, {}));
    EXPECT_FALSE(panel->searchTableView()->model()->canDropMimeData(&data, Qt::CopyAction, -1, -1, {}));
    panel->searchTableView()->selectRow(1);
    panel->insertBuddy();
    EXPECT_EQ(panel->inviteTableView()->model()->rowCount(), 2);
    panel->okButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(alive);
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(results[0], (QStringList{cat->velaID(), ann->velaID()}));

    panel = BuddyInviteController::runBuddyInvitePanel(
        nullptr, false, [&](const QStringList &picked) { results << picked; }, store.buddies());
    panel->cancelButton()->click();
    EXPECT_EQ(results.size(), 1);
    panel = BuddyInviteController::runBuddyInvitePanel(
        nullptr, false, [&](const QStringList &picked) { results << picked; }, store.buddies());
    panel->okButton()->click();
    ASSERT_EQ(results.size(), 2);
    EXPECT_TRUE(results[1].isEmpty());
}

// --- the buddy-request window

struct RequestCase {
    const char *name;
    const char *button;  // objectName
    const char *group;   // chosen title
    QStringList calls;
    bool stillOpen;
};

class BuddyRequest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(BuddyRequest, Answers)
{
    BuddyStore store;
    store.group("5", "Zeta");
    store.group("2", "Work");
    RecordingSession session;
    BuddyRequestWindow window(session, QStringLiteral("eve@parley.test"), QStringLiteral("500"),
                              QStringLiteral("<b>hi</b> & welcome"));
    window.show();
    // The store's own order, not sorted.
    QStringList titles;
    for (int i = 0; i < window.groupSelectButton()->count(); ++i)
        titles << window.groupSelectButton()->itemText(i);
    QStringList stored;
    for (qsizetype i = 0; i < store.buddies().groupCount(); ++i)
        stored << store.buddies().groupAtIndex(i)->groupName();
    EXPECT_EQ(titles, stored);
    EXPECT_EQ(window.requestMessageView()->toPlainText(), QStringLiteral("<b>hi</b> & welcome"));
    EXPECT_EQ(window.mainMessage()->textFormat(), Qt::PlainText);

    if (QLatin1String(GetParam().group) == QLatin1String("gone"))
        store.buddies().removeGroupWithID(QStringLiteral("2"));
    window.groupSelectButton()->setCurrentIndex(window.groupSelectButton()->findText(QStringLiteral("Work")));
    window.findChild<QPushButton *>(QLatin1String(GetParam().button))->click();
    EXPECT_EQ(session.calls, GetParam().calls) << GetParam().name;
    EXPECT_EQ(window.isVisible(), GetParam().stillOpen) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    BuddyList, BuddyRequest,
    ::testing::Values(RequestCase{"accept", "acceptButton", "Work", {"accept eve@parley.test 500 2"}, false},
                      RequestCase{"accept into a group gone", "acceptButton", "gone", {}, true},
                      RequestCase{"reject", "rejectButton", "Work", {"reject eve@parley.test 500"}, false},
                      RequestCase{"cancel", "cancelButton", "Work", {}, false}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(BuddyRequestController, TwoRequestsOpenTwoWindows)
{
    BuddyStore store;
    RecordingSession session;
    BuddyRequestController first(session);
    BuddyRequestController second(session);
    first.showBuddyRequestWindow(QStringLiteral("a@parley.test"), QStringLiteral("1"), QStringLiteral("hi"));
    second.showBuddyRequestWindow(QStringLiteral("b@parley.test"), QStringLiteral("2"), QStringLiteral("hey"));
    ASSERT_TRUE(first.window() && second.window());
    first.window()->buddyRejectAction();
    EXPECT_FALSE(first.window()->isVisible());
    EXPECT_TRUE(second.window()->isVisible());
    second.close();
    EXPECT_FALSE(second.window()->isVisible());
    EXPECT_EQ(session.calls, QStringList{QStringLiteral("reject a@parley.test 1")});
}

} // namespace
} // namespace buddydialogs::test
