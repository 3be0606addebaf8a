#include "KCLinkButton.h"

#include <QFontMetrics>
#include <QPainter>

namespace pigeonhole {

KCLinkButton::KCLinkButton(QWidget *parent)
    : QPushButton(parent)
{
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::TabFocus);
}

QFont KCLinkButton::titleFont() const
{
    QFont f = font();
    f.setPointSizeF(10);
    f.setUnderline(true);
    return f;
}

QSize KCLinkButton::sizeHint() const
{
    const QFontMetrics metrics(titleFont());
    return {metrics.horizontalAdvance(text()) + 4, metrics.height() + 2};
}

void KCLinkButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(titleFont());
    const QFontMetrics metrics(painter.font());
    const QString title = metrics.elidedText(text(), Qt::ElideRight, width());
    const QRect area = rect();
    // The shadow sits one point below the title.
    painter.setPen(Qt::white);
    painter.drawText(area.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.setPen(isDown() ? QColor(20, 40, 120) : palette().color(QPalette::Link));
    if (hasFocus())
        painter.setPen(palette().color(QPalette::Highlight));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, title);
}

} // namespace pigeonhole
