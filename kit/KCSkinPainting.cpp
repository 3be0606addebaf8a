#include "KCSkinPainting.h"

#include "ImageRegistry.h"

#include <QFontMetricsF>
#include <QPainter>

namespace KCSkinPainting {

QString stateLetter(bool enabled, bool pressed)
{
    if (!enabled)
        return QStringLiteral("D");
    return pressed ? QStringLiteral("P") : QStringLiteral("N");
}

QImage slice(const QString &format, const QString &argument) { return ImageRegistry::image(format.arg(argument)); }

QRectF fromBottomLeft(const QRectF &rect, qreal height)
{
    return QRectF(rect.x(), height - rect.y() - rect.height(), rect.width(), rect.height());
}

void drawAt(QPainter &painter, const QImage &image, const QPointF &topLeft)
{
    if (!image.isNull())
        painter.drawImage(QRectF(topLeft, image.deviceIndependentSize()), image);
}

void drawStretched(QPainter &painter, const QImage &image, const QRectF &target)
{
    if (!image.isNull() && target.width() > 0 && target.height() > 0)
        painter.drawImage(target, image);
}

void drawShadowedText(QPainter &painter, const QRectF &rect, int flags, const QString &text, const QColor &color)
{
    painter.save();
    painter.setPen(Qt::white);
    painter.drawText(rect.translated(0, 1), flags, text);
    painter.setPen(color);
    painter.drawText(rect, flags, text);
    painter.restore();
}

QString elided(const QFont &font, const QString &text, qreal width)
{
    return QFontMetricsF(font).elidedText(text, Qt::ElideRight, width);
}

} // namespace KCSkinPainting
