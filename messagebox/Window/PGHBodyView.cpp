#include "PGHBodyView.h"

#include "EmoticonManager.h"

#include <QTextCursor>
#include <QTextDocumentFragment>

namespace pigeonhole {

PGHBodyView::PGHBodyView(QWidget *parent)
    : QTextBrowser(parent)
{
    setReadOnly(true);
    setOpenLinks(false);
    setUndoRedoEnabled(false);
    QFont f = font();
    f.setPointSizeF(11);
    setFont(f);
}

void PGHBodyView::showText(const QString &text)
{
    mText = text;
    if (!mCatalogue) {
        setPlainText(text);
        return;
    }
    // The text stays text (never HTML); only its tokens become images.
    clear();
    QTextCharFormat format;
    format.setFont(font());
    QTextCursor cursor(document());
    cursor.insertFragment(EmoticonManager::emoticonFragmentWithString(text, format, mCatalogue));
}

} // namespace pigeonhole
