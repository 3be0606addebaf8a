#include "TransferTextLine.h"

#include <QFontMetrics>
#include <QPainter>

namespace parley {

TransferTextLine::TransferTextLine(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TransferTextLine::setText(const QString &text)
{
    mText = text;
    setAccessibleName(text);
    update();
}

void TransferTextLine::setStyle(const QFont &font, const QColor &color)
{
    mFont = font;
    mColor = color;
    update();
}

QString TransferTextLine::shownText() const
{
    QString oneLine = mText;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QFontMetrics(mFont).elidedText(oneLine, Qt::ElideRight, width());
}

void TransferTextLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(mFont);
    painter.setPen(mColor);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
}

} // namespace parley
