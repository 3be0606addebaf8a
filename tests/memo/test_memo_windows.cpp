// The memo windows with recording doubles: what a received memo brings by the
// "showMemoIndex" preference, one window per cookie, placement and the frames
// kept, the compose window's limit, checks and send, the read window's
// answers and thread, the message box's requests, and the records filed in
// the box.

#include "MemoWindowFixture.h"
#include "BuddyList/BuddyListDragAndDrop.h"
#include "Conversation/EmoticonController.h"
#include "Conversation/KCEmoticonPaletteView.h"
#include "Conversation/KCWebView.h"
#include "Model/MemoTextLimit.h"
#include "Preferences/PrefsEmoticonTextEdit.h"
#include "TranscriptLinks.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>

namespace memo::test {
namespace {

// --- received memos

struct ShowCase {
    int showMemoIndex;
    int memoCount, toasters, windows, memoRequests;
};

class ReceivedByPreference : public MemoWindowTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ReceivedByPreference, NoticeWindowOrNeitherAndAlwaysTheDesktopNotice)
{
    const ShowCase c = GetParam();
    setShowMemoType(c.showMemoIndex);
    receive(memo(QStringLiteral("c1")));
    EXPECT_EQ(services.memoCount, c.memoCount);
    EXPECT_EQ(services.toasters.size(), c.toasters);
    EXPECT_EQ(manager->recvMessageWindows().size(), c.windows);
    EXPECT_EQ(services.memoCookies.size(), c.memoRequests);
    ASSERT_EQ(services.desktop.size(), 1);
    EXPECT_TRUE(services.desktop[0].contains(QStringLiteral("ann@parley.test")));
}

INSTANTIATE_TEST_SUITE_P(ShowMemoIndex, ReceivedByPreference,
                         ::testing::Values(ShowCase{0, 1, 1, 0, 0}, ShowCase{1, 0, 0, 1, 1}, ShowCase{2, 0, 0, 0, 0}));

TEST_F(MemoWindowTest, OnlyBuddiesMayWriteDropsAStrangersMemoWithoutATrace)
{
    PLMyInfoManager::sharedManager().setProfileValue(QStringLiteral("Y"), QStringLiteral("allow_buddy_only"));
    addBuddy("1", "bob@parley.test", "Bob");
    receive(memo(QStringLiteral("c1"), QStringLiteral("stranger@parley.test")));
    EXPECT_TRUE(manager->recvMessageWindows().isEmpty());
    EXPECT_TRUE(services.desktop.isEmpty());
    receive(memo(QStringLiteral("c2"), QStringLiteral("bob@parley.test")));
    EXPECT_EQ(manager->recvMessageWindows().size(), 1);
    EXPECT_EQ(services.desktop.size(), 1);
}

TEST_F(MemoWindowTest, TheSameCookieTwiceOpensOneWindow)
{
    receive(memo(QStringLiteral("c1")));
    receive(memo(QStringLiteral("c1")));
    receive(memo(QStringLiteral("c2")));
    EXPECT_EQ(manager->recvMessageWindows().size(), 2);
}

TEST_F(MemoWindowTest, TheReadWindowShowsSenderReceiversAndTextAsPlainText)
{
    addBuddy("1", "ann@parley.test", "<b>Ann</b>");
    receive(memo(QStringLiteral("c1"), QStringLiteral("ann@parley.test"), QStringLiteral("<i>hi</i> there")));
    ASSERT_EQ(manager->recvMessageWindows().size(), 1);
    ReceiveMessageWindowController *window = manager->recvMessageWindows()[0];
    EXPECT_EQ(window->senderText()->textFormat(), Qt::PlainText);
    EXPECT_EQ(window->senderText()->text(), QStringLiteral("<b>Ann</b> (2024-03-01 12:00:00)"));
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("<b>Ann</b>")));
    EXPECT_TRUE(window->messageText()->toPlainText().contains(QStringLiteral("<i>hi</i> there")));
    // No related mark from the server: the pane may open but asks nothing.
    EXPECT_TRUE(window->refButton()->isEnabled());
    window->showRefMessagesAction();
    EXPECT_TRUE(services.relRequests.isEmpty());
}

TEST_F(MemoWindowTest, EveryKindOfLinkInAMemoOpensWhatItShows)
{
    PLMyInfoManager::sharedManager().setTicket(QStringLiteral("T1"));
    receive(memo(QStringLiteral("c1"), QStringLiteral("ann@parley.test"),
                 QStringLiteral("intranet http://intranet.example/x?a=1&b=2 :) mail kim@parley.dev, "
                                "docs www.parley.dev/docs에서 "
                                "<link href=\"bridge://G125?http://mail.parley.test/\">your mail</link>")));
    ASSERT_EQ(manager->recvMessageWindows().size(), 1);
    ReceiveMessageWindowController *window = manager->recvMessageWindows()[0];
    window->show();
    QCoreApplication::processEvents();
    const std::pair<const char *, const char *> links[] = {
        {"http://intranet.example/x?a=1&b=2", "http://intranet.example/x?a=1&b=2"},
        {"mailto:kim@parley.dev", "mailto:kim@parley.dev"},
        {"www.parley.dev/docs", "http://www.parley.dev/docs"},
        {"bridge://G125?http://mail.parley.test/",
         "http://portal.test/bridge.php?t=T1&code=G125&r_url=http://mail.parley.test/"},
    };
    QStringList expected;
    for (const auto &[href, opened] : links) {
        SCOPED_TRACE(href);
        EXPECT_TRUE(parley::test::clickLink(*window->messageText(), QLatin1String(href)));
        expected << QLatin1String(opened);
    }
    EXPECT_EQ(services.urls, expected);
    PLMyInfoManager::sharedManager().setTicket(QString());
}

// --- placement

TEST_F(MemoWindowTest, ComposeWindowsCascadeAndTheLastOneClosedKeepsItsFrame)
{
    const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
    manager->createMessageWindowWithTargets({}, QString());
    manager->createMessageWindowWithTargets({}, QString());
    ASSERT_EQ(manager->sendMessageWindows().size(), 2);
    MessageWindowController *first = manager->sendMessageWindows()[0];
    MessageWindowController *second = manager->sendMessageWindows()[1];
    EXPECT_EQ(first->geometry().size(), QSize(375, 240));
    EXPECT_EQ(first->geometry().x(), qRound((visible.width() - 375) / 2.0));
    EXPECT_EQ(second->geometry().topLeft(), first->geometry().topLeft() + QPoint(20, 24));

    second->close();
    EXPECT_TRUE(defaults->stringForKey(QStringLiteral("SendMessageWindowFrame")).isEmpty());
    first->move(first->x() + 7, first->y());
    first->close();
    EXPECT_TRUE(manager->sendMessageWindows().isEmpty());
    manager->createMessageWindowWithTargets({}, QString());
    EXPECT_EQ(manager->sendMessageWindows()[0]->geometry().x(), qRound((visible.width() - 375) / 2.0) + 7);
}

TEST_F(MemoWindowTest, TheTextColourStartsBlackAndTheChosenOneStartsTheNextWindow)
{
    EXPECT_EQ(manager->fontColor(), QColor(Qt::black));
    EXPECT_EQ(defaults->doubleForKey(QStringLiteral("MemoFontColorG")), 0.0);
    EXPECT_TRUE(defaults->objectForKey(QStringLiteral("MemoFontColorG")).isValid());
    MessageWindowController *window = manager->createMessageWindow({}, QString());
    window->fontColorChanged(QColor(255, 128, 0));
    EXPECT_EQ(window->fontStringForColorWell(), QStringLiteral("#ff8000"));
    MessageWindowController *next = manager->createMessageWindow({}, QString());
    EXPECT_EQ(next->fontStringForColorWell(), QStringLiteral("#ff8000"));
}

// --- the compose window

struct LimitCase {
    int units;
    int kept;
    bool alert;
};

class ComposeLimit : public MemoWindowTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(ComposeLimit, TheCounterAndTheCutAtTheLimit)
{
    MessageWindowController *window = manager->createMessageWindow({QStringLiteral("ann@parley.test")}, QString());
    window->messageText()->setPlainText(QString(GetParam().units, QLatin1Char('a')));
    EXPECT_EQ(alerts.keys().contains(QStringLiteral("OverflowMessageAlert")), GetParam().alert);
    parley::test::waitUntil([&] { return window->textForm().size() == GetParam().kept; }, 2000);
    EXPECT_EQ(window->textForm().size(), GetParam().kept);
    EXPECT_EQ(window->usedBytesField()->text(), QStringLiteral("%1/4000").arg(GetParam().kept * 2));
    EXPECT_EQ(window->sendButton()->isEnabled(), GetParam().kept > 0);
    EXPECT_EQ(window->rewriteButton()->isEnabled(), GetParam().kept > 0);
}

INSTANTIATE_TEST_SUITE_P(Units, ComposeLimit,
                         ::testing::Values(LimitCase{0, 0, false}, LimitCase{1, 1, false},
                                           LimitCase{2000, 2000, false}, LimitCase{2001, 2000, true}));

TEST_F(MemoWindowTest, AForwardedTextOverTheLimitIsCutAndSaysSo)
{
    MessageWindowController *window =
        manager->createMessageWindow({}, QString(1999, QLatin1Char('x')) + QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_EQ(alerts.keys(), QStringList{QStringLiteral("OverflowMessageAlert")});
    ASSERT_TRUE(parley::test::waitUntil([&] { return !window->textForm().isEmpty(); }, 2000));
    // The pair is not split: the cut stops before it.
    EXPECT_EQ(window->textForm(), QString(1999, QLatin1Char('x')));
}

struct SendCase {
    const char *name;
    const char *field;
    bool sessionTakes;
    const char *alert; // nullptr: none
    QStringList sentTo;
    bool closes;
};

class ComposeSend : public MemoWindowTest, public ::testing::WithParamInterface<SendCase> {};

TEST_P(ComposeSend, ChecksTheReceiversAndClosesOnlyWhenTheSessionTakesTheMemo)
{
    const SendCase c = GetParam();
    services.sendAnswer = c.sessionTakes;
    addBuddy("1", "ann@parley.test", "Ann");
    QPointer<MessageWindowController> window = manager->createMessageWindow({}, QStringLiteral("hello /smile/"));
    window->receiversField()->setText(QLatin1String(c.field));
    window->sendAction();
    EXPECT_EQ(alerts.keys(), c.alert ? QStringList{QLatin1String(c.alert)} : QStringList());
    ASSERT_EQ(services.notes.size(), c.sentTo.isEmpty() ? 0 : 1);
    if (!c.sentTo.isEmpty()) {
        const PLNote &note = services.notes[0];
        EXPECT_EQ(note.mTargetIDs(), c.sentTo);
        EXPECT_EQ(note.mBody(), QStringLiteral("hello /smile/"));
        EXPECT_EQ(note.mNoteHeader().mFontColor(), QStringLiteral("#000000"));
        EXPECT_EQ(note.mNoteHeader().mFontSize(), 9);
    }
    parley::test::waitUntil([&] { return window.isNull(); }, c.closes ? 2000 : 50);
    EXPECT_EQ(window.isNull(), c.closes);
    if (!c.closes && c.sentTo.isEmpty()) {
        EXPECT_EQ(window->receiversField()->text(), QLatin1String(c.field)); // left as typed
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComposeSend,
    ::testing::Values(
        SendCase{"Sent", "\"Ann\"<ann@parley.test>; bob@parley.test", true, nullptr,
                 {QStringLiteral("ann@parley.test"), QStringLiteral("bob@parley.test")}, true},
        SendCase{"ToMe", "ann@parley.test me@parley.test", true, "SendToMeErrorMsg", {}, false},
        SendCase{"NoValidReceiver", "ann bob@nowhere", true, "NoReceiverMsg", {}, false},
        SendCase{"Refused", "ann@parley.test", false, "FailSendMessageAlert", {QStringLiteral("ann@parley.test")}, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MemoWindowTest, ClearAsksFirstAndOnlyOKEmptiesTheText)
{
    MessageWindowController *window = manager->createMessageWindow({}, QStringLiteral("draft"));
    alerts.answer(1); // Cancel
    window->rewriteAction();
    EXPECT_EQ(window->textForm(), QStringLiteral("draft"));
    alerts.answer(0);
    window->rewriteAction();
    EXPECT_TRUE(window->textForm().isEmpty());
    EXPECT_FALSE(window->sendButton()->isEnabled());
    EXPECT_EQ(alerts.keys(), (QStringList{QStringLiteral("RemoveMessageAlert"), QStringLiteral("RemoveMessageAlert")}));
}

TEST_F(MemoWindowTest, EscapeClosesAComposeWindowOnlyWhenItHoldsNoText)
{
    QPointer<MessageWindowController> window = manager->createMessageWindow({}, QStringLiteral("draft"));
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->messageText(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    ASSERT_TRUE(window) << "a draft is not thrown away by Escape";
    EXPECT_TRUE(window->isVisible());
    window->messageText()->clear();
    QTest::keyClick(window->messageText(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_TRUE(!window || !window->isVisible());
}

TEST_F(MemoWindowTest, BuddiesDroppedOnTheWindowJoinTheReceiversOnce)
{
    addBuddy("1", "ann@parley.test", "Ann");
    MessageWindowController *window = manager->createMessageWindow({QStringLiteral("ann@parley.test")}, QString());
    QMimeData data;
    data.setData(QLatin1String(BuddyListDragAndDrop::kDragAndDropOutlineType),
                 R"([{"velaID": "bob@parley.test", "groupID": "1"}, {"velaID": "ann@parley.test", "groupID": "1"},
                     {"velaID": "bob@parley.test", "groupID": "2"}])");
    // A drag enters before it drops (the application delivers no drop otherwise).
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(window, &drop);
    EXPECT_EQ(window->tokenizeTargetIDs(), (QStringList{QStringLiteral("ann@parley.test"), QStringLiteral("bob@parley.test")}));
    EXPECT_EQ(window->receiversField()->text(), QStringLiteral("\"Ann\"<ann@parley.test>;<bob@parley.test>;"));
    // Anything else dropped changes nothing.
    QMimeData text;
    text.setText(QStringLiteral("carol@parley.test"));
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, {});
    QApplication::sendEvent(window, &refused);
    EXPECT_FALSE(refused.isAccepted());
    QDropEvent other(QPointF(10, 10), Qt::CopyAction, &text, Qt::LeftButton, {});
    QApplication::sendEvent(window, &other);
    EXPECT_EQ(window->tokenizeTargetIDs().size(), 2);
}

TEST_F(MemoWindowTest, AnEmoticonPickedInThePaletteGoesIntoTheTextAsItsToken)
{
    MessageWindowController *window = manager->createMessageWindow({}, QStringLiteral("hi "));
    QTextCursor end = window->messageText()->textCursor();
    end.movePosition(QTextCursor::End);
    window->messageText()->setTextCursor(end);
    window->showEmoticonPaletteAction();
    KCEmoticonPaletteView *grid = EmoticonController::defaultController()->paletteView();
    ASSERT_FALSE(grid->cells().isEmpty());
    const QString token = grid->cells()[0].token;
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cells()[0].image.center());
    EXPECT_EQ(window->textForm(), QStringLiteral("hi ") + token);
    EXPECT_EQ(window->usedBytesField()->text(), QStringLiteral("%1/4000").arg((3 + token.size()) * 2));
}

// --- answers and threads

TEST_F(MemoWindowTest, ReplyReplyAllAndForwardOpenComposeWindowsAndCloseTheMemo)
{
    addBuddy("1", "ann@parley.test", "Ann");
    addBuddy("2", "bob@parley.test", "Bob");
    struct Step {
        void (ReceiveMessageWindowController::*action)();
        QStringList targets;
        bool forwardsText;
    };
    const Step steps[] = {
        {&ReceiveMessageWindowController::replyAction, {QStringLiteral("ann@parley.test")}, false},
        {&ReceiveMessageWindowController::replyToAllAction,
         {QStringLiteral("bob@parley.test"), QStringLiteral("ann@parley.test")}, false},
        {&ReceiveMessageWindowController::forwardingAction, {}, true},
    };
    int cookie = 0;
    for (const Step &step : steps) {
        manager->createReceiveMessageWindowWithInfo(memo(QStringLiteral("c%1").arg(++cookie)));
        QPointer<ReceiveMessageWindowController> read = manager->recvMessageWindows().last();
        (read->*step.action)();
        ASSERT_TRUE(parley::test::waitUntil([&] { return read.isNull(); }, 2000));
        MessageWindowController *compose = manager->sendMessageWindows().last();
        EXPECT_EQ(compose->tokenizeTargetIDs(), step.targets);
        EXPECT_EQ(compose->cookie(), QStringLiteral("c%1").arg(cookie));
        EXPECT_EQ(compose->textForm().contains(QStringLiteral("----- Original Message -----")), step.forwardsText);
        EXPECT_EQ(compose->textForm().contains(QStringLiteral("Lunch at noon?")), step.forwardsText);
    }
    // A reply of a memo without related memos shows the memo answered alone.
    MessageWindowController *compose = manager->sendMessageWindows().first();
    ASSERT_TRUE(compose->refButton()->isEnabled());
    compose->showRefMessagesAction();
    EXPECT_TRUE(services.relRequests.isEmpty());
    EXPECT_TRUE(compose->refMessagesText()->toPlainText().contains(QStringLiteral("Lunch at noon?")));
}

TEST_F(MemoWindowTest, TheThreadIsAskedInBatchesAndRoutedToTheWindowThatAsked)
{
    QVariantMap info = memo(QStringLiteral("c9"));
    info.insert(QStringLiteral("related"), QStringLiteral("Y"));
    manager->createReceiveMessageWindowWithInfo(info);
    manager->createReceiveMessageWindowWithInfo(memo(QStringLiteral("other")));
    ReceiveMessageWindowController *window = manager->recvMessageWindows().first();
    window->showRefMessagesAction();
    EXPECT_TRUE(window->isRelatedPaneShown());
    ASSERT_EQ(services.relRequests.size(), 1);
    EXPECT_EQ(services.relRequests[0], (RelRequest{QStringLiteral("c9"), -1, 5, false}));

    const auto line = [](int seq, const QString &text) {
        return QStringLiteral("\r\n%1 0 0 R ann@parley.test me@parley.test 20240301120000 Y f %2")
            .arg(seq)
            .arg(stringByParleyEncoding(text));
    };
    QString batch = QStringLiteral("Y");
    for (int i = 1; i <= 5; ++i)
        batch += line(i, QStringLiteral("<b>part %1</b>").arg(i));
    manager->setCookie(QStringLiteral("c9"), QStringLiteral("41"));
    center.post(QLatin1String(notifications::kNoteRelation), nullptr,
                {{QStringLiteral("tid"), 41}, {QStringLiteral("data"), batch}});
    ASSERT_EQ(services.relRequests.size(), 2);
    EXPECT_EQ(services.relRequests[1], (RelRequest{QStringLiteral("c9"), 5, 5, false}));
    EXPECT_TRUE(window->refMessagesText()->toPlainText().isEmpty()); // filled only at the end

    // An answer whose tid names no request goes nowhere.
    EXPECT_FALSE(manager->relStringToMemo(QStringLiteral("99"), QStringLiteral("N")));
    manager->setCookie(QStringLiteral("c9"), QStringLiteral("42"));
    EXPECT_TRUE(manager->relStringToMemo(QStringLiteral("42"), QStringLiteral("N") + line(6, QStringLiteral("end"))));
    EXPECT_EQ(services.relRequests.size(), 2);
    const QString pane = window->refMessagesText()->toPlainText();
    EXPECT_TRUE(pane.contains(QStringLiteral("<b>part 1</b>"))); // server text stays text
    EXPECT_TRUE(pane.contains(QStringLiteral("end")));
    EXPECT_TRUE(manager->recvMessageWindows().last()->refMessagesText()->toPlainText().isEmpty());
}

TEST_F(MemoWindowTest, RelatedNoneDisablesThePane)
{
    QVariantMap info = memo(QStringLiteral("c1"));
    info.insert(QStringLiteral("related"), QStringLiteral("N"));
    manager->createReceiveMessageWindowWithInfo(info);
    EXPECT_FALSE(manager->recvMessageWindows()[0]->refButton()->isEnabled());
}

TEST_F(MemoWindowTest, TheOptionBoxStoresTheNoticeChoice)
{
    manager->createReceiveMessageWindowWithInfo(memo(QStringLiteral("c1")));
    ReceiveMessageWindowController *window = manager->recvMessageWindows()[0];
    EXPECT_FALSE(window->showMessageOptionButton()->isChecked());
    window->showMessageOptionButton()->click();
    EXPECT_EQ(PrefsManager::noti_showMemoType(), 0);
    EXPECT_EQ(services.preferencesReloaded, 1);
}

TEST_F(MemoWindowTest, ASendFailureReportedByTheSessionListsTheIDs)
{
    center.post(QLatin1String(notifications::kSendNoteErrorReceived), nullptr, {});
    EXPECT_TRUE(alerts.shown.empty());
    center.post(QLatin1String(notifications::kSendNoteErrorReceived), nullptr,
                {{QStringLiteral("failIDArray"), QStringList{QStringLiteral("x@parley.test")}}});
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_TRUE(alerts.shown[0].message.contains(QStringLiteral("x@parley.test")));
}

TEST_F(MemoWindowTest, TransparencyNeverGoesBelowATenth)
{
    manager->createReceiveMessageWindowWithInfo(memo(QStringLiteral("c1")));
    ReceiveMessageWindowController *read = manager->recvMessageWindows()[0];
    MessageWindowController *compose = manager->createMessageWindow({}, QString());
    const struct {
        double asked, kept;
    } cases[] = {{0.05, 0.1}, {0.0, 0.1}, {0.5, 0.5}, {1.0, 1.0}};
    for (const auto &c : cases) {
        read->fadeAction(c.asked);
        compose->fadeAction(c.asked);
        EXPECT_NEAR(read->windowOpacity(), c.kept, 0.01) << c.asked;
        EXPECT_NEAR(compose->windowOpacity(), c.kept, 0.01) << c.asked;
    }
}

// --- the message box

QVariantMap boxPayload()
{
    return {{QStringLiteral("suserID"), QStringLiteral("ann@parley.test")},
            {QStringLiteral("ruserID"), QStringList{QStringLiteral("me@parley.test"), QStringLiteral("bob@parley.test")}},
            {QStringLiteral("subject"), QStringLiteral("Filed")},
            {QStringLiteral("date"), QDateTime(QDate(2024, 3, 1), QTime(9, 30))},
            {QStringLiteral("bodyData"), QStringLiteral("From the box")},
            {QStringLiteral("uuid"), QStringLiteral("box-uuid")}};
}

TEST_F(MemoWindowTest, TheBoxsRequestsOpenWindowsAndBadPayloadsNothing)
{
    using R = MessageWindowManager::BoxRequest;
    QVariantMap bad = boxPayload();
    bad.insert(QStringLiteral("ruserID"), 7);
    manager->memoDocumentRequest(R::Read, bad);
    bad = boxPayload();
    bad.remove(QStringLiteral("subject"));
    manager->memoDocumentRequest(R::Reply, bad);
    EXPECT_TRUE(manager->recvMessageWindows().isEmpty());
    EXPECT_TRUE(manager->sendMessageWindows().isEmpty());

    manager->memoDocumentRequest(R::Read, boxPayload());
    ASSERT_EQ(manager->recvMessageWindows().size(), 1);
    EXPECT_TRUE(manager->recvMessageWindows()[0]->messageText()->toPlainText().contains(QStringLiteral("From the box")));
    manager->memoDocumentRequest(R::ReplyAll, boxPayload());
    ASSERT_EQ(manager->sendMessageWindows().size(), 1);
    EXPECT_EQ(manager->sendMessageWindows()[0]->tokenizeTargetIDs(),
              (QStringList{QStringLiteral("bob@parley.test"), QStringLiteral("ann@parley.test")}));
    manager->writeMemoDocument(QStringLiteral("carol@parley.test"));
    EXPECT_EQ(manager->sendMessageWindows()[1]->tokenizeTargetIDs(), QStringList{QStringLiteral("carol@parley.test")});
}

TEST_F(MemoWindowTest, EveryMemoReceivedOpenedOrSentIsFiledOnceAndNothingForOneFromTheBox)
{
    if (!busReady())
        GTEST_SKIP() << "no private bus";
    addBuddy("1", "ann@parley.test", "Ann");
    setShowMemoType(0);
    receive(memo(QStringLiteral("c1")));
    ASSERT_TRUE(waitForSaved(1));
    const QVariantMap inbox = saved[0];
    EXPECT_EQ(inbox.value(QStringLiteral("msgType")), QStringLiteral("inbox"));
    EXPECT_EQ(inbox.value(QStringLiteral("uuid")), QStringLiteral("uuid-c1"));
    EXPECT_EQ(inbox.value(QStringLiteral("unread")).toInt(), 1);
    EXPECT_EQ(inbox.value(QStringLiteral("suserID")), QStringLiteral("ann@parley.test"));
    EXPECT_EQ(inbox.value(QStringLiteral("suser")), QStringLiteral("Ann"));
    EXPECT_EQ(inbox.value(QStringLiteral("ruserID")).toStringList(),
              (QStringList{QStringLiteral("me@parley.test"), QStringLiteral("bob@parley.test")}));
    EXPECT_EQ(inbox.value(QStringLiteral("ruser")).toStringList(), (QStringList{QStringLiteral("Me"), QStringLiteral("bob@parley.test")}));
    EXPECT_EQ(inbox.value(QStringLiteral("bodyData")), QStringLiteral("Lunch at noon?"));
    EXPECT_EQ(inbox.value(QStringLiteral("size")).toInt(), 1);
    EXPECT_EQ(inbox.value(QStringLiteral("date")).toDateTime(), QDateTime(QDate(2024, 3, 1), QTime(12, 0)));

    // Opened from its notice: filed again under the same uuid (the box marks it read).
    manager->createReceiveMessageWindowWithInfo(memo(QStringLiteral("c1")));
    ASSERT_TRUE(waitForSaved(2));
    EXPECT_EQ(saved[1].value(QStringLiteral("uuid")), QStringLiteral("uuid-c1"));

    // Opened from the box: nothing.
    manager->memoDocumentRequest(MessageWindowManager::BoxRequest::Read, boxPayload());
    EXPECT_FALSE(parley::test::waitUntil([&] { return saved.size() > 2; }, 300));

    MessageWindowController *window = manager->createMessageWindow({QStringLiteral("ann@parley.test")}, QStringLiteral("Yes"));
    window->sendAction();
    ASSERT_TRUE(waitForSaved(3));
    const QVariantMap outbox = saved[2];
    EXPECT_EQ(outbox.value(QStringLiteral("msgType")), QStringLiteral("outbox"));
    EXPECT_EQ(outbox.value(QStringLiteral("unread")).toInt(), 0);
    EXPECT_EQ(outbox.value(QStringLiteral("uuid")), services.notes[0].mNoteHeader().mUUID());
    EXPECT_EQ(outbox.value(QStringLiteral("suserID")), QStringLiteral("me@parley.test"));
    EXPECT_EQ(outbox.value(QStringLiteral("ruserID")).toStringList(), QStringList{QStringLiteral("ann@parley.test")});
    EXPECT_EQ(outbox.value(QStringLiteral("bodyData")), QStringLiteral("Yes"));
    EXPECT_EQ(saved.size(), 3);
}

} // namespace
} // namespace memo::test
