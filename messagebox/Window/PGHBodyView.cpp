#include "PGHBodyView.h"

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
    setPlainText(text);
}

} // namespace pigeonhole
