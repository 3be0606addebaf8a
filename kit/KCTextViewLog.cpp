#include "KCTextViewLog.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace {

void appendTo(QTextDocument *document, const QString &message)
{
    const QString line = QLocale().toString(QTime::currentTime(), QStringLiteral("HH:mm:ss:zzz")) + QLatin1Char(' ')
                         + message + QLatin1Char('\n');
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(11);
    QTextCharFormat format;
    format.setFont(font);
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    // A line of its own, even after text that did not end with a line feed.
    if (!cursor.block().text().isEmpty())
        cursor.insertBlock();
    cursor.insertText(line, format);
}

} // namespace

void KCTextViewLog(QTextEdit *view, const QString &message)
{
    if (view)
        appendTo(view->document(), message);
}

void KCTextViewLog(QPlainTextEdit *view, const QString &message)
{
    if (view)
        appendTo(view->document(), message);
}
