// The text view's log lines and the interface font.
#include "KCDefaultFont.h"
#include "KCTextViewLog.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

TEST(TextViewLog, AppendsTimestampedPlainLinesAtTheEnd)
{
    QTextEdit view;
    view.setPlainText(QStringLiteral("before"));
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(2);
    view.setTextCursor(cursor);

    KCTextViewLog(&view, QStringLiteral("connected to %1").arg(QStringLiteral("127.0.0.1")));
    KCTextViewLog(&view, QStringLiteral("<b>not bold</b>"));

    const QStringList lines = view.toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4); // the old text, two lines, and the empty end after the last line feed
    EXPECT_EQ(lines[0], QStringLiteral("before"));
    const QRegularExpression stamped(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d (.*)$"));
    const auto first = stamped.match(lines[1]);
    ASSERT_TRUE(first.hasMatch()) << lines[1].toStdString();
    EXPECT_EQ(first.captured(1), QStringLiteral("connected to 127.0.0.1"));
    const auto second = stamped.match(lines[2]);
    ASSERT_TRUE(second.hasMatch()) << lines[2].toStdString();
    EXPECT_EQ(second.captured(1), QStringLiteral("<b>not bold</b>"));
    EXPECT_TRUE(lines[3].isEmpty());
    EXPECT_EQ(view.textCursor().position(), 2); // the user's cursor stays

    QTextCursor logged(view.document()->findBlockByNumber(1));
    logged.movePosition(QTextCursor::NextCharacter);
    const QFont font = logged.charFormat().font();
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 11.0);
    // Fixed pitch by its glyphs: fontconfig does not flag every monospaced
    // font (Noto Sans Mono) as such.
    const QFontMetricsF metrics(font);
    EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QStringLiteral("iiii")), metrics.horizontalAdvance(QStringLiteral("WWWW")))
        << QFontInfo(font).family().toStdString();
    EXPECT_FALSE(font.bold());
}

TEST(TextViewLog, WorksOnPlainTextViewsAndIgnoresNone)
{
    QPlainTextEdit view;
    KCTextViewLog(&view, QStringLiteral("line"));
    EXPECT_TRUE(view.toPlainText().endsWith(QStringLiteral(" line\n")));
    KCTextViewLog(static_cast<QTextEdit *>(nullptr), QStringLiteral("nowhere"));
}

TEST(DefaultFont, HasTheSizeAskedForAndDrawsHangul)
{
    const QFont font = GetDefaultFontOfSize(13);
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 13.0);
    EXPECT_DOUBLE_EQ(GetDefaultFontOfSize(9.5).pointSizeF(), 9.5);
    if (!QFontDatabase::families(QFontDatabase::Korean).isEmpty()) {
        // The face itself has Hangul, not only a fallback.
        EXPECT_TRUE(QFontMetrics(font).inFont(QChar(0xD55C))) << QFontInfo(font).family().toStdString();
    }
}

} // namespace
