// Alert panels: the folding alert, the switch-option question and their
// answers, the kit presenter's choice of dialog, and the shell hooks' warning.
#include "KCAlertShellHooks.h"
#include "KCAlertWindow.h"
#include "KCDialogAlertPresenter.h"
#include "KCTextInputAlert.h"
#include "ScriptedAlerts.h"
#include "SwitchOptionAlertController.h"
#include "TestSupport.h"
#include "Utils/KCRevealInFileManager.h"
#include "Utils/KCUtilities.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using parley::KCLocalizedString;
using namespace parley::test;

namespace {

// Runs `act` on the modal dialog once it is up (the caller then blocks in exec()).
void whenModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, qApp, [act = std::move(act)]() mutable {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            act(modal);
            return;
        }
        whenModal(std::move(act));
    });
}

void pressEscape(QWidget *widget)
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(widget, &escape);
}

QString ok() { return KCLocalizedString(QStringLiteral("OK")); }
QString cancel() { return KCLocalizedString(QStringLiteral("Cancel")); }

TEST(AlertWindow, OpensFoldedAndUnfoldsByTheDetailHeight)
{
    KCAlertWindow alert;
    alert.setMessageString(QStringLiteral("서버 오류"), QStringLiteral("자세한 내용"));
    alert.showWindow();
    EXPECT_TRUE(alert.shown()); // folded: the next click shows the detail
    EXPECT_FALSE(alert.detailView()->isVisible());
    const QRect folded = alert.geometry();

    alert.detailButton()->click();
    EXPECT_TRUE(alert.detailView()->isVisible());
    EXPECT_FALSE(alert.shown());
    EXPECT_EQ(alert.geometry().height(), folded.height() + KCAlertWindow::kDetailHeight);
    EXPECT_EQ(alert.geometry().top(), folded.top());
    EXPECT_EQ(alert.detailView()->height(), KCAlertWindow::kDetailHeight);

    alert.detailButton()->click();
    EXPECT_FALSE(alert.detailView()->isVisible());
    EXPECT_EQ(alert.geometry(), folded);
}

TEST(AlertWindow, ShowsItsTextsAsPlainText)
{
    KCAlertWindow alert;
    alert.setMessageString(QStringLiteral("<b>헤드라인</b>"), QStringLiteral("<i>detail</i>"));
    const auto labels = alert.findChildren<QLabel *>();
    const bool headlineShown = std::any_of(labels.begin(), labels.end(), [](QLabel *label) {
        return label->text() == QStringLiteral("<b>헤드라인</b>") && label->textFormat() == Qt::PlainText;
    });
    EXPECT_TRUE(headlineShown);
    EXPECT_EQ(alert.findChild<QTextEdit *>()->toPlainText(), QStringLiteral("<i>detail</i>"));
    EXPECT_EQ(alert.okButton()->text(), ok());
    EXPECT_EQ(alert.detailButton()->text(), KCLocalizedString(QStringLiteral("Detail")));
}

TEST(AlertWindow, SharedAlertIsFreshAfterItCloses)
{
    QPointer<KCAlertWindow> first = KCAlertWindow::defaultController();
    EXPECT_EQ(KCAlertWindow::defaultController(), first.data());
    first->setMessageString(QStringLiteral("첫 번째"), QStringLiteral("내용"));
    first->showWindow();
    first->okButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    KCAlertWindow *second = KCAlertWindow::defaultController();
    EXPECT_TRUE(second->messageString().isEmpty());
    EXPECT_TRUE(second->contentString().isEmpty());
    EXPECT_TRUE(second->findChild<QTextEdit *>()->toPlainText().isEmpty());
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(AlertWindow, OKEndsTheModalSession)
{
    KCAlertWindow alert;
    whenModal([](QWidget *modal) { qobject_cast<KCAlertWindow *>(modal)->okButton()->click(); });
    EXPECT_EQ(alert.exec(), QDialog::Accepted);
    EXPECT_FALSE(alert.isVisible());
}

// What the user does in the switch-option panel.
struct SwitchCase {
    const char *name;
    bool initiallyChecked;
    int toggles;     // clicks on the check box
    const char *end; // "ok", "cancel" or "escape"
    int answer;
};

class SwitchOption : public ::testing::TestWithParam<SwitchCase>
{
};

TEST_P(SwitchOption, AnswersFromTheFinalStateOfTheBox)
{
    const SwitchCase &c = GetParam();
    whenModal([&c](QWidget *modal) {
        auto *panel = qobject_cast<SwitchOptionAlertController *>(modal);
        if (!panel) {
            ADD_FAILURE() << "another dialog is up";
            modal->close();
            return;
        }
        for (int i = 0; i < c.toggles; ++i)
            panel->checkButton()->click();
        if (qstrcmp(c.end, "ok") == 0)
            panel->okButton()->click();
        else if (qstrcmp(c.end, "cancel") == 0)
            panel->cancelButton()->click();
        else
            pressEscape(panel);
    });
    const int answer = SwitchOptionAlertController::showAlertPanel(
        QStringLiteral("친구 삭제"), QStringLiteral("친구를 삭제하시겠습니까?"), QStringLiteral("차단하기"),
        c.initiallyChecked);
    EXPECT_EQ(answer, c.answer) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, SwitchOption,
                         ::testing::Values(SwitchCase{"okChecked", true, 0, "ok", 0},
                                           SwitchCase{"okUnchecked", false, 0, "ok", 1},
                                           SwitchCase{"okAfterChecking", false, 1, "ok", 0},
                                           SwitchCase{"okAfterUnchecking", true, 1, "ok", 1},
                                           SwitchCase{"okAfterTwoClicks", true, 2, "ok", 0},
                                           SwitchCase{"cancelChecked", true, 0, "cancel", 2},
                                           SwitchCase{"cancelUnchecked", false, 0, "cancel", 2},
                                           SwitchCase{"cancelAfterChecking", false, 1, "cancel", 2},
                                           SwitchCase{"escapeChecked", true, 0, "escape", 2}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SwitchOptionPanel, ShowsItsTextsAndKeepsItsImageForANullOne)
{
    SwitchOptionAlertController panel;
    panel.setTitle(QStringLiteral("<b>제목</b>"));
    panel.setMessage(QStringLiteral("메시지"));
    panel.setOptionMessage(QStringLiteral("차단하기"), true);
    EXPECT_TRUE(panel.windowTitle().isEmpty());
    EXPECT_EQ(panel.checkButton()->text(), QStringLiteral("차단하기"));
    EXPECT_TRUE(panel.checkButton()->isChecked());
    EXPECT_EQ(panel.okButton()->text(), ok());
    EXPECT_EQ(panel.cancelButton()->text(), cancel());

    const qint64 own = panel.imageView()->pixmap().cacheKey();
    ASSERT_FALSE(panel.imageView()->pixmap().isNull());
    panel.setImage(QPixmap());
    EXPECT_EQ(panel.imageView()->pixmap().cacheKey(), own);
    QPixmap red(16, 16);
    red.fill(Qt::red);
    panel.setImage(red);
    EXPECT_EQ(panel.imageView()->pixmap().toImage().pixelColor(3, 3), QColor(Qt::red));
}

struct KindCase {
    const char *name;
    QString detail;
    QString checkBox;
    QStringList buttons;
    KCAlertDialogKind kind;
};

class AlertDialogChoice : public ::testing::TestWithParam<KindCase>
{
};

TEST_P(AlertDialogChoice, FitsTheRequestToADialog)
{
    const KindCase &c = GetParam();
    KCAlertRequest request;
    request.title = QStringLiteral("제목");
    request.detail = c.detail;
    request.checkBoxText = c.checkBox;
    request.buttons = c.buttons;
    EXPECT_EQ(KCAlertDialogKindFor(request), c.kind) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AlertDialogChoice,
    ::testing::Values(KindCase{"detailOnly", "detail", {}, {}, KCAlertDialogKind::AlertWindow},
                      KindCase{"detailWithOK", "detail", {}, {ok()}, KCAlertDialogKind::AlertWindow},
                      KindCase{"detailWithTwoButtons", "detail", {}, {ok(), cancel()}, KCAlertDialogKind::MessageBox},
                      KindCase{"detailWithCheckBox", "detail", "box", {ok(), cancel()}, KCAlertDialogKind::MessageBox},
                      KindCase{"optionQuestion", {}, "box", {ok(), cancel()}, KCAlertDialogKind::SwitchOption},
                      KindCase{"optionWithOtherButtons", {}, "box", {QStringLiteral("삭제"), cancel()},
                               KCAlertDialogKind::MessageBox},
                      KindCase{"optionWithOneButton", {}, "box", {}, KCAlertDialogKind::MessageBox},
                      KindCase{"plain", {}, {}, {}, KCAlertDialogKind::MessageBox}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DialogPresenter, AnswersThroughTheAlertWindow)
{
    KCAlertRequest request;
    request.title = QStringLiteral("연결 오류");
    request.detail = QStringLiteral("서버가 응답하지 않습니다.");
    QString seen;
    whenModal([&seen](QWidget *modal) {
        auto *alert = qobject_cast<KCAlertWindow *>(modal);
        if (!alert) {
            ADD_FAILURE() << "another dialog is up";
            modal->close();
            return;
        }
        seen = alert->messageString() + QLatin1Char('|') + alert->contentString();
        alert->okButton()->click();
    });
    KCDialogAlertPresenter presenter;
    const KCAlertAnswer answer = presenter.ask(request);
    EXPECT_EQ(answer.button, 0);
    EXPECT_EQ(seen, QStringLiteral("연결 오류|서버가 응답하지 않습니다."));

    whenModal([](QWidget *modal) { pressEscape(modal); });
    EXPECT_EQ(presenter.ask(request).button, -1);
}

TEST(DialogPresenter, AnswersThroughTheSwitchOptionPanel)
{
    KCAlertRequest request;
    request.title = QStringLiteral("친구 삭제");
    request.message = QStringLiteral("삭제하시겠습니까?");
    request.checkBoxText = QStringLiteral("차단하기");
    request.buttons = {ok(), cancel()};
    KCDialogAlertPresenter presenter;
    const auto run = [&](const char *end, int toggles) {
        whenModal([end, toggles](QWidget *modal) {
            auto *panel = qobject_cast<SwitchOptionAlertController *>(modal);
            if (!panel) {
            ADD_FAILURE() << "another dialog is up";
            modal->close();
            return;
        }
            for (int i = 0; i < toggles; ++i)
                panel->checkButton()->click();
            if (qstrcmp(end, "ok") == 0)
                panel->okButton()->click();
            else if (qstrcmp(end, "cancel") == 0)
                panel->cancelButton()->click();
            else
                pressEscape(panel);
        });
        return presenter.ask(request);
    };
    KCAlertAnswer a = run("ok", 1);
    EXPECT_EQ(a.button, 0);
    EXPECT_TRUE(a.checked);
    a = run("cancel", 0);
    EXPECT_EQ(a.button, 1);
    EXPECT_FALSE(a.checked);
    a = run("escape", 0);
    EXPECT_EQ(a.button, -1);
}

TEST(DialogPresenter, AnswersThroughTheTextInputAlertWithWhatWasTyped)
{
    KCAlertRequest request;
    request.title = QStringLiteral("일회용 비밀번호");
    request.message = QStringLiteral("번호를 입력해 주세요.");
    request.buttons = {ok(), cancel()};
    request.secureTextField = true;
    request.accessoryHtml = QStringLiteral("<p>번호는 <b>잠시</b>만 쓸 수 있습니다.</p>");
    request.textFieldMessage = QStringLiteral("인증 장치의 번호");
    request.textFieldLabel = QStringLiteral("번호:");
    // A password field wins over the other kinds, even with a detail.
    request.detail = QStringLiteral("detail");
    EXPECT_EQ(KCAlertDialogKindFor(request), KCAlertDialogKind::TextInput);
    request.detail.clear();
    KCDialogAlertPresenter presenter;
    const auto run = [&](int button, const QString &typed) {
        whenModal([button, typed](QWidget *modal) {
            auto *alert = qobject_cast<KCTextInputAlert *>(modal);
            if (!alert) {
                ADD_FAILURE() << "another dialog is up";
                modal->close();
                return;
            }
            EXPECT_EQ(alert->textField()->echoMode(), QLineEdit::Password);
            EXPECT_FALSE(alert->accessoryView()->isHidden());
            EXPECT_EQ(alert->accessoryView()->toPlainText(), QStringLiteral("번호는 잠시만 쓸 수 있습니다."));
            EXPECT_FALSE(alert->fieldMessage()->isHidden());
            EXPECT_EQ(alert->fieldMessage()->text(), QStringLiteral("인증 장치의 번호"));
            EXPECT_FALSE(alert->fieldLabel()->isHidden());
            EXPECT_EQ(alert->fieldLabel()->text(), QStringLiteral("번호:"));
            QTest::keyClicks(alert->textField(), typed);
            if (button < 0)
                pressEscape(alert);
            else
                alert->buttons().at(button)->click();
        });
        return presenter.ask(request);
    };
    KCAlertAnswer a = run(0, QStringLiteral("424242"));
    EXPECT_EQ(a.button, 0);
    EXPECT_EQ(a.text, QStringLiteral("424242"));
    a = run(1, QStringLiteral("1"));
    EXPECT_EQ(a.button, 1);
    a = run(-1, QString());
    EXPECT_EQ(a.button, -1);
    EXPECT_TRUE(a.text.isEmpty());
}

// An alert with an accessory: its own picture, the text with a link under the
// message, buttons there that act and leave it up, its check box, and no
// password field.
TEST(DialogPresenter, AnswersThroughTheAccessoryAlertWhoseButtonsLeaveItUp)
{
    KCAlertRequest request;
    request.key = QStringLiteral("notice");
    request.title = QStringLiteral("보관함");
    request.message = QStringLiteral("쪽지가 보관됩니다.");
    request.accessoryHtml = QStringLiteral("<p><b>웹에서도</b> <a href='http://example.test/x'>바로 가기</a></p>");
    int memoBox = 0;
    int chatBox = 0;
    request.accessoryButtons = {{QStringLiteral("웹 쪽지함"), [&memoBox] { ++memoBox; }},
                                {QStringLiteral("웹 대화함"), [&chatBox] { ++chatBox; }}};
    request.iconName = QStringLiteral("icon_viewer");
    request.buttons = {QStringLiteral("확인")};
    request.checkBoxText = QStringLiteral("다시 보지 않기");
    EXPECT_EQ(KCAlertDialogKindFor(request), KCAlertDialogKind::Accessory);
    // The accessory wins over the check-box question, as the field does.
    KCAlertRequest question = request;
    question.accessoryButtons.clear();
    question.buttons = {ok(), cancel()};
    EXPECT_EQ(KCAlertDialogKindFor(question), KCAlertDialogKind::Accessory);

    KCDialogAlertPresenter presenter;
    whenModal([&](QWidget *modal) {
        auto *alert = qobject_cast<KCTextInputAlert *>(modal);
        if (!alert) {
            ADD_FAILURE() << "another dialog is up";
            modal->close();
            return;
        }
        EXPECT_TRUE(alert->textField()->isHidden());
        EXPECT_FALSE(alert->accessoryView()->isHidden());
        EXPECT_TRUE(alert->accessoryView()->openExternalLinks());
        EXPECT_TRUE(alert->accessoryView()->toHtml().contains(QStringLiteral("http://example.test/x")));
        EXPECT_FALSE(alert->imageView()->pixmap().isNull());
        ASSERT_EQ(alert->accessoryButtons().size(), 2);
        EXPECT_EQ(alert->accessoryButtons().at(1)->text(), QStringLiteral("웹 대화함"));
        alert->accessoryButtons().at(0)->click();
        alert->accessoryButtons().at(1)->click();
        alert->accessoryButtons().at(1)->click();
        EXPECT_TRUE(alert->isVisible()); // still up
        EXPECT_FALSE(alert->accessoryButtons().at(0)->isDefault());
        ASSERT_FALSE(alert->checkBox()->isHidden());
        alert->checkBox()->click();
        ASSERT_EQ(alert->buttons().size(), 1);
        alert->buttons().at(0)->click();
    });
    const KCAlertAnswer answer = presenter.ask(request);
    EXPECT_EQ(answer.button, 0);
    EXPECT_TRUE(answer.checked);
    EXPECT_EQ(memoBox, 1);
    EXPECT_EQ(chatBox, 2);
}

TEST(DialogPresenter, ShowReportsTheAnswerWhenTheAlertEnds)
{
    KCAlertRequest request;
    request.title = QStringLiteral("안내");
    request.detail = QStringLiteral("내용");
    KCDialogAlertPresenter presenter;
    std::vector<KCAlertAnswer> answers;
    presenter.show(request, [&answers](const KCAlertAnswer &a) { answers.push_back(a); });
    KCAlertWindow *alert = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<KCAlertWindow *>(w); candidate && candidate->isVisible())
            alert = candidate;
    }
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(answers.empty());
    alert->okButton()->click();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers.front().button, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(AlertShellHooks, TheCoresFileWarningBecomesAKitAlert)
{
    ScriptedAlerts alerts;
    KCAlertShellHooks hooks;
    parley::KCSetShellHooks(&hooks);
    // No file to show and no bus: the core warns through the hooks.
    parley::KCRevealSelectedItemsInFinder({QStringLiteral("/nonexistent/parley-file")},
                                          QDBusConnection(QStringLiteral("parley-no-bus")));
    parley::KCSetShellHooks(nullptr);
    ASSERT_EQ(alerts.shown.size(), 1u);
    const KCAlertRequest &shown = alerts.shown.front();
    EXPECT_EQ(shown.key, QLatin1String(KCAlertShellHooks::kAlertKey));
    EXPECT_EQ(shown.title, KCLocalizedString(QStringLiteral("FileErrorTitle")));
    EXPECT_EQ(shown.message, KCLocalizedString(QStringLiteral("FileErrorMessage")));
    EXPECT_EQ(shown.style, KCAlertRequest::Style::Warning);
    EXPECT_TRUE(shown.buttons.isEmpty());
}

} // namespace
