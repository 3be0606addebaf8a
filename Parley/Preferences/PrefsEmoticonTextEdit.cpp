#include "PrefsEmoticonTextEdit.h"

#include "EmoticonManager.h"
#include "KCDefaultFont.h"

#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocumentFragment>

namespace parley {

PrefsEmoticonTextEdit::PrefsEmoticonTextEdit(QWidget *parent) : QTextEdit(parent)
{
    // Pasted text arrives as plain text; only our own pictures are rich.
    setAcceptRichText(false);
    const QFont small = GetDefaultFontOfSize(11);
    setFont(small);
    document()->setDefaultFont(small);
}

void PrefsEmoticonTextEdit::setEmoticonString(const QString &text, const QColor &color)
{
    QTextCharFormat format;
    format.setFont(font());
    format.setForeground(color);
    const auto fragment = EmoticonManager::attributedEmoticonStringWithString(text, format);
    clear();
    if (!fragment)
        return;
    QTextCursor cursor(document());
    cursor.insertFragment(*fragment);
    typeAfterwardsAsText(color);
}

QString PrefsEmoticonTextEdit::emoticonString() const
{
    return EmoticonManager::emoticonStringForAttributeRuns(*document());
}

void PrefsEmoticonTextEdit::insertEmoticon(const QString &token)
{
    const QString file = EmoticonManager::sharedManager().emoticonFileNameForEmoticon(token);
    const QBrush brush = textCursor().charFormat().foreground();
    const QColor color = brush.style() == Qt::NoBrush ? palette().color(QPalette::Text) : brush.color();
    QTextCharFormat format;
    format.setFont(font());
    format.setForeground(color);
    const auto fragment = !file.isEmpty() && QFileInfo(file).isReadable()
                              ? EmoticonManager::attributedEmoticonStringWithString(token, format)
                              : std::nullopt;
    if (fragment && !fragment->isEmpty()) {
        QTextCursor cursor = textCursor();
        cursor.setPosition(cursor.selectionStart());
        cursor.insertFragment(*fragment);
        setTextCursor(cursor);
        typeAfterwardsAsText(color);
        return;
    }
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(token, format);
}

void PrefsEmoticonTextEdit::typeAfterwardsAsText(const QColor &color)
{
    // After a picture the current format is the picture's: text put in with
    // it (a whole new text, as the display name's cut sets) would become
    // pictures too.
    QTextCharFormat text;
    text.setFont(font());
    text.setForeground(color);
    setCurrentCharFormat(text);
}

void PrefsEmoticonTextEdit::setTextColorOfAll(const QColor &color)
{
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    QTextCharFormat format;
    format.setForeground(color);
    all.mergeCharFormat(format);
    typeAfterwardsAsText(color);
}

QSize PrefsEmoticonTextEdit::sizeHint() const
{
    return {260, fontMetrics().lineSpacing() * 3 + 12};
}

} // namespace parley
