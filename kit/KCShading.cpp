#include "KCShading.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace KCShading {

void linearShadedColor(const Info &info, float t, float out[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = info[i] + t * info[8 + i];
}

void bilinearShadedColor(const Info &info, float t, float out[4])
{
    const float s = t <= 0.5f ? 2.0f * t : 2.0f - 2.0f * t;
    for (int i = 0; i < 4; ++i)
        out[i] = info[i] + s * info[8 + i];
}

void customVerticalFill(QPainter &painter, const QPainterPath &path, Evaluator evaluator, const QColor &first,
                        const QColor &second)
{
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty() || !evaluator)
        return;
    Info info;
    const QColor a = first.toRgb();
    const QColor b = second.toRgb();
    const float firstComponents[4] = {float(a.redF()), float(a.greenF()), float(a.blueF()), float(a.alphaF())};
    const float secondComponents[4] = {float(b.redF()), float(b.greenF()), float(b.blueF()), float(b.alphaF())};
    for (int i = 0; i < 4; ++i) {
        info[i] = firstComponents[i];
        info[4 + i] = secondComponents[i];
        info[8 + i] = secondComponents[i] - firstComponents[i];
    }

    // One column of device pixels, stretched across the bounds.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const int rows = std::max(1, int(std::ceil(bounds.height() * ratio)));
    QImage column(1, rows, QImage::Format_ARGB32);
    for (int row = 0; row < rows; ++row) {
        // Row 0 is the top edge: t runs up from the bottom.
        const float t = 1.0f - float((row + 0.5) / rows);
        float out[4];
        evaluator(info, t, out);
        const auto unit = [](float v) { return v >= 0.0f ? std::min(v, 1.0f) : 0.0f; };
        column.setPixelColor(0, row, QColor::fromRgbF(unit(out[0]), unit(out[1]), unit(out[2]), unit(out[3])));
    }
    painter.save();
    painter.setClipPath(path, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(bounds, column);
    painter.restore();
}

void linearGradientFill(QPainter &painter, const QPainterPath &path, const QColor &start, const QColor &end)
{
    customVerticalFill(painter, path, linearShadedColor, start, end);
}

void bilinearGradientFill(QPainter &painter, const QPainterPath &path, const QColor &outer, const QColor &inner)
{
    customVerticalFill(painter, path, bilinearShadedColor, inner, outer);
}

} // namespace KCShading
