#include "KCInputTextView.h"

#include "InputKeyRule.h"
#include "Log.h"
#include "Utils/KCUtilities.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextLayout>

KCInputTextView::KCInputTextView(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setTabChangesFocus(false);
    // Drops go on to the window.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    setAccessibleName(parley::KCLocalizedString(QStringLiteral("MessageAccessibleName")));
}

QString KCInputTextView::markedText() const { return textCursor().block().layout()->preeditAreaText(); }

void KCInputTextView::confirmComposition()
{
    const QString marked = markedText();
    if (marked.isEmpty())
        return;
    // The composition becomes text as it stands, and the input method is
    // told to let go of it (so that it does not confirm it a second time).
    QInputMethodEvent commit;
    commit.setCommitString(marked);
    inputMethodEvent(&commit);
    QGuiApplication::inputMethod()->reset();
}

void KCInputTextView::keyPressEvent(QKeyEvent *event)
{
    const QString marked = markedText();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !marked.isEmpty())
        parley::plLog(QStringLiteral("0x%1").arg(marked.at(0).unicode()));

    const bool takes = mDelegate && mDelegate->takesMessages();
    switch (InputKeyRule::decide(event->key(), event->modifiers(), mEnableEnter, marked, takes)) {
    case InputKeyAction::Ordinary:
        QTextEdit::keyPressEvent(event);
        return;
    case InputKeyAction::Ignore:
        event->accept();
        return;
    case InputKeyAction::CloseWindow:
        event->accept();
        window()->close();
        return;
    case InputKeyAction::AppendLineBreakAtEnd: {
        event->accept();
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("\r"));
        setTextCursor(cursor);
        return;
    }
    case InputKeyAction::InsertLineBreakAtCursor:
        event->accept();
        textCursor().insertText(QStringLiteral("\n"));
        return;
    case InputKeyAction::ConfirmComposition:
        event->accept();
        confirmComposition();
        return;
    case InputKeyAction::Send:
        event->accept();
        confirmComposition();
        mDelegate->textViewMessage(this, toPlainText());
        return;
    }
}

bool KCInputTextView::focusNextPrevChild(bool next)
{
    // Tab neither types nor moves the focus.
    (void)next;
    return false;
}
