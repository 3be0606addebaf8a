// The chat input: what each key does, and Return during an input-method
// composition (synthetic input-method events).
#include "InputKeyRule.h"
#include "Conversation/KCInputTextView.h"
#include "Log.h"
#include "TestSupport.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class RecordingDelegate : public KCInputTextViewDelegate
{
public:
    bool takesMessages() const override { return takes; }
    void textViewMessage(KCInputTextView *, const QString &message) override { sent << message; }
    bool takes = true;
    QStringList sent;
};

QStringList gLog;
void recordLog(const QString &line) { gLog << line; }

class InputView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&window);
        other = new QLineEdit(&window);
        input = new KCInputTextView(&window);
        layout->addWidget(other);
        layout->addWidget(input);
        input->setDelegate(&delegate);
        window.show();
        QApplication::setActiveWindow(&window);
        input->setFocus();
    }
    void type(const QString &text, int cursorAt)
    {
        input->setPlainText(text);
        QTextCursor cursor = input->textCursor();
        cursor.setPosition(cursorAt);
        input->setTextCursor(cursor);
    }
    void compose(const QString &preedit)
    {
        QInputMethodEvent event(preedit, {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, int(preedit.size()), 1, QVariant())});
        QCoreApplication::sendEvent(input, &event);
    }

    QWidget window;
    QLineEdit *other = nullptr;
    KCInputTextView *input = nullptr;
    RecordingDelegate delegate;
};

} // namespace

TEST_F(InputView, KeysDoWhatTheChatExpects)
{
    struct Case
    {
        const char *name;
        int key;
        Qt::KeyboardModifiers modifiers;
        bool enableEnter;
        bool delegateTakes;
        QString text; // after the key, the insertion point having been after "hel"
        QStringList sent;
    } const cases[] = {
        {"Return sends the whole text", Qt::Key_Return, Qt::NoModifier, true, true, "hello", {"hello"}},
        {"keypad Enter sends", Qt::Key_Enter, Qt::KeypadModifier, true, true, "hello", {"hello"}},
        {"Shift-Return breaks the line at the end", Qt::Key_Return, Qt::ShiftModifier, true, true, "hello\n", {}},
        {"Control-Return breaks the line at the end", Qt::Key_Return, Qt::ControlModifier, true, true, "hello\n", {}},
        {"Alt-Return breaks the line at the cursor", Qt::Key_Return, Qt::AltModifier, true, true, "hel\nlo", {}},
        {"Return does nothing when sending is off", Qt::Key_Return, Qt::NoModifier, false, true, "hello", {}},
        {"Return breaks the line for a delegate that takes no messages", Qt::Key_Return, Qt::NoModifier, true, false,
         "hel\nlo", {}},
        {"Tab types nothing", Qt::Key_Tab, Qt::NoModifier, true, true, "hello", {}},
        {"other keys type", Qt::Key_X, Qt::NoModifier, true, true, "helxlo", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        delegate.sent.clear();
        delegate.takes = c.delegateTakes;
        input->setEnableEnter(c.enableEnter);
        type(QStringLiteral("hello"), 3);
        QTest::keyClick(input, Qt::Key(c.key), c.modifiers, -1);
        EXPECT_EQ(input->toPlainText(), c.text);
        EXPECT_EQ(delegate.sent, c.sent);
    }
}

TEST_F(InputView, ALineBreakAtTheEndLeavesTheCursorThere)
{
    type(QStringLiteral("hello"), 1);
    QTest::keyClick(input, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(input->textCursor().position(), input->document()->characterCount() - 1);
}

TEST_F(InputView, TabKeepsTheFocus)
{
    ASSERT_TRUE(input->hasFocus());
    QTest::keyClick(input, Qt::Key_Tab);
    EXPECT_TRUE(input->hasFocus());
    EXPECT_FALSE(other->hasFocus());
}

TEST_F(InputView, EscapeClosesTheWindow)
{
    QTest::keyClick(input, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(InputView, ReturnDuringACompositionSendsHangulAndConfirmsIdeographs)
{
    parley::setLogSink(recordLog);
    struct Case
    {
        const char *name;
        QString preedit;
        QStringList sent;
    } const cases[] = {
        {"a Hangul syllable is confirmed and sent", QStringLiteral("한"), {QStringLiteral("ab한")}},
        {"kana are confirmed and sent", QStringLiteral("か"), {QStringLiteral("abか")}},
        {"an ideograph conversion is only confirmed", QStringLiteral("漢"), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        delegate.sent.clear();
        gLog.clear();
        type(QStringLiteral("ab"), 2);
        compose(c.preedit);
        ASSERT_EQ(input->markedText(), c.preedit);
        QTest::keyClick(input, Qt::Key_Return);
        EXPECT_EQ(delegate.sent, c.sent);
        EXPECT_EQ(input->toPlainText(), QStringLiteral("ab") + c.preedit);
        EXPECT_TRUE(input->markedText().isEmpty());
        EXPECT_EQ(gLog, QStringList({QStringLiteral("0x%1").arg(c.preedit.at(0).unicode())}));
    }
    parley::setLogSink(nullptr);
}

TEST(InputKeyRule, IdeographsAreTheUnifiedBlock)
{
    const std::pair<char16_t, bool> cases[] = {
        {u'\u4DFF', false}, {u'\u4E00', true}, {u'\u9FC3', true}, {u'\u9FC4', false}, {u'\uD55C', false}};
    for (const auto &[unit, ideograph] : cases) {
        SCOPED_TRACE(int(unit));
        EXPECT_EQ(InputKeyRule::isIdeograph(QChar(unit)), ideograph);
    }
}
