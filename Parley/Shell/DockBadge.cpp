#include "DockBadge.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace parley::shell {

QPointF DockBadge::textOrigin(const QSizeF &badge, const QSizeF &text)
{
    // Centred, lifted by 3 (the height is measured downwards here).
    return {(badge.width() - text.width()) * 0.5, (badge.height() - text.height()) * 0.5 - 3.0};
}

QImage DockBadge::compose(const QImage &icon, const QImage &badgeBackground, int count)
{
    // Drawn anew from the plain icon every time, so badges never stack.
    QImage canvas(icon.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.drawImage(QPoint(0, 0), icon);
    if (count != 0) {
        QImage badge(badgeBackground.size(), QImage::Format_ARGB32_Premultiplied);
        badge.fill(Qt::transparent);
        {
            QPainter badgePainter(&badge);
            badgePainter.setRenderHint(QPainter::TextAntialiasing);
            badgePainter.drawImage(QPoint(0, 0), badgeBackground);
            QFont font(QStringLiteral("Helvetica"));
            font.setStyleHint(QFont::SansSerif);
            font.setPixelSize(28);
            const QString text = QString::number(count);
            // Two digits and more would spill over the round background: smaller.
            const qreal room = badge.width() - 2 * kTextInset;
            const qreal wide = QFontMetricsF(font).horizontalAdvance(text);
            if (wide > room)
                font.setPixelSize(std::max(8, int(28 * room / wide)));
            badgePainter.setFont(font);
            badgePainter.setPen(Qt::white);
            const QFontMetricsF metrics(font);
            const QSizeF textSize(metrics.horizontalAdvance(text), metrics.height());
            const QPointF origin = textOrigin(QSizeF(badge.size()), textSize);
            badgePainter.drawText(QRectF(origin, textSize), Qt::AlignCenter, text);
        }
        painter.drawImage(QPoint(canvas.width() - badge.width(), 0), badge);
    }
    return canvas;
}

} // namespace parley::shell
