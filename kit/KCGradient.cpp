#include "KCGradient.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

constexpr char kCountKey[] = "KCGradientElementCount";
// More stops than any skin needs; an archive claiming more is not one of ours.
constexpr qint64 kMaxArchivedStops = 4096;

KCGradientElement elementOf(const QColor &color, float position)
{
    const QColor rgb = color.toRgb();
    return {float(rgb.redF()), float(rgb.greenF()), float(rgb.blueF()), float(rgb.alphaF()), position};
}

KCGradient greyGradient(std::initializer_list<std::pair<float, float>> stops)
{
    KCGradient gradient;
    for (const auto &[position, grey] : stops)
        gradient = gradient.addColorStop(QColor::fromRgbF(grey, grey, grey, 1.0f), position);
    return gradient;
}

// Clamped to 0..1; NaN (a stop list with NaN positions) counts as 0.
float unit(float v) { return v >= 0.0f ? std::min(v, 1.0f) : 0.0f; }

QRgb premultiplied(const std::array<float, 4> &c)
{
    const float a = unit(c[3]);
    return qRgba(qRound(unit(c[0]) * a * 255.0f), qRound(unit(c[1]) * a * 255.0f), qRound(unit(c[2]) * a * 255.0f),
                 qRound(a * 255.0f));
}

// Paints `rect` pixel by pixel (device pixels), each the gradient's colour at
// the parameter `tAt` gives for the pixel's centre in the painter's coordinates.
template <typename ParameterAt>
void rasterise(QPainter &painter, const QRectF &rect, const KCGradient &gradient, ParameterAt tAt)
{
    if (rect.isEmpty())
        return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const int width = std::max(1, int(std::ceil(rect.width() * ratio)));
    const int height = std::max(1, int(std::ceil(rect.height() * ratio)));
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    const qreal sx = rect.width() / width;
    const qreal sy = rect.height() / height;
    for (int row = 0; row < height; ++row) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(row));
        const qreal y = rect.y() + (row + 0.5) * sy;
        for (int column = 0; column < width; ++column)
            line[column] = premultiplied(gradient.evaluate(float(tAt(rect.x() + (column + 0.5) * sx, y))));
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawImage(rect, image);
    painter.restore();
}

} // namespace

KCGradient KCGradient::gradientWithBeginningColor(const QColor &begin, const QColor &end)
{
    return KCGradient().addColorStop(begin, 0.0f).addColorStop(end, 1.0f);
}

KCGradient KCGradient::unifiedDarkGradient() { return greyGradient({{0.0f, 0.68f}, {1.0f, 0.83f}}); }
KCGradient KCGradient::unifiedPressedGradient() { return greyGradient({{0.0f, 0.60f}, {1.0f, 0.75f}}); }
KCGradient KCGradient::unifiedNormalGradient() { return greyGradient({{0.0f, 0.75f}, {1.0f, 0.90f}}); }
KCGradient KCGradient::unifiedSelectedGradient() { return greyGradient({{0.0f, 0.85f}, {1.0f, 0.95f}}); }

KCGradient KCGradient::aquaPressedGradient()
{
    return greyGradient({{0.0f, 0.80f}, {0.5f, 0.64f}, {0.5f, 0.80f}, {1.0f, 0.77f}});
}

KCGradient KCGradient::aquaNormalGradient()
{
    return greyGradient({{0.0f, 0.95f}, {0.5f, 0.83f}, {0.5f, 0.95f}, {1.0f, 0.92f}});
}

KCGradient KCGradient::aquaSelectedGradient()
{
    KCGradient gradient;
    gradient.addElement({0.58f, 0.86f, 0.98f, 1.0f, 0.0f});
    gradient.addElement({0.42f, 0.68f, 0.90f, 1.0f, 0.5f});
    gradient.addElement({0.64f, 0.80f, 0.94f, 1.0f, 0.5f});
    gradient.addElement({0.56f, 0.70f, 0.90f, 1.0f, 1.0f});
    return gradient;
}

void KCGradient::addElement(const KCGradientElement &element)
{
    // After the last stop whose position is at or below the new one, so that
    // stops at one position keep the order they were added in.
    auto at = mElements.begin();
    while (at != mElements.end() && at->position <= element.position)
        ++at;
    mElements.insert(at, element);
}

KCGradient KCGradient::addColorStop(const QColor &color, float position) const
{
    KCGradient copy = *this;
    copy.addElement(elementOf(color, position));
    return copy;
}

KCGradient KCGradient::removeColorStopAtIndex(unsigned index) const
{
    if (index >= mElements.size())
        throw std::out_of_range(
            QStringLiteral("-[KCGradient removeColorStopAtIndex:]: index (%1) beyond bounds").arg(index).toStdString());
    KCGradient copy = *this;
    copy.mElements.erase(copy.mElements.begin() + index);
    return copy;
}

KCGradient KCGradient::removeColorStopAtPosition(float position) const
{
    KCGradient copy = *this;
    for (auto it = copy.mElements.begin(); it != copy.mElements.end(); ++it) {
        if (it->position == position) {
            copy.mElements.erase(it);
            return copy;
        }
    }
    throw std::out_of_range(QStringLiteral("-[KCGradient removeColorStopAtPosition:]: no such colorStop at position (%1)")
                                .arg(double(position), 0, 'f', 6)
                                .toStdString());
}

KCGradient KCGradient::gradientWithAlphaComponent(float alpha) const
{
    KCGradient copy = *this;
    for (KCGradientElement &element : copy.mElements)
        element.alpha = alpha;
    return copy;
}

QColor KCGradient::colorStopAtIndex(unsigned index) const
{
    // The same text as removal: the message callers already know.
    if (index >= mElements.size())
        throw std::out_of_range(
            QStringLiteral("-[KCGradient removeColorStopAtIndex:]: index (%1) beyond bounds").arg(index).toStdString());
    const KCGradientElement &e = mElements[index];
    return QColor::fromRgbF(e.red, e.green, e.blue, e.alpha);
}

std::array<float, 4> KCGradient::evaluate(float t) const
{
    if (mElements.empty())
        return {0, 0, 0, 0};
    auto a = mElements.begin();
    auto b = a + 1;
    while (b != mElements.end() && t > b->position) {
        a = b;
        ++b;
    }
    if (b == mElements.end())
        b = a;
    if (t <= a->position)
        return {a->red, a->green, a->blue, a->alpha};
    if (t >= b->position)
        return {b->red, b->green, b->blue, b->alpha};
    const float f = (t - a->position) / (b->position - a->position);
    return {a->red + f * (b->red - a->red), a->green + f * (b->green - a->green), a->blue + f * (b->blue - a->blue),
            a->alpha + f * (b->alpha - a->alpha)};
}

QColor KCGradient::colorAtPosition(float position) const
{
    const auto c = evaluate(position);
    return QColor::fromRgbF(unit(c[0]), unit(c[1]), unit(c[2]), unit(c[3]));
}

void KCGradient::fillRect(QPainter &painter, const QRectF &rect, float angle) const
{
    // The axis runs through the centre and spans the rectangle's projection
    // on it, so no division is needed at any angle. y points down on screen.
    const float radians = angle * std::numbers::pi_v<float> / 180.0f;
    const double dx = std::cos(radians);
    const double dy = -std::sin(radians);
    const double length = rect.width() * std::abs(dx) + rect.height() * std::abs(dy);
    if (length <= 0)
        return;
    const QPointF start = rect.center() - QPointF(dx, dy) * (length / 2);
    rasterise(painter, rect, *this, [&](qreal x, qreal y) {
        return ((x - start.x()) * dx + (y - start.y()) * dy) / length;
    });
}

void KCGradient::radialFillRect(QPainter &painter, const QRectF &rect) const
{
    const double radius = std::max(rect.width(), rect.height()) / 2;
    if (radius <= 0)
        return;
    const QPointF centre = rect.center();
    rasterise(painter, rect, *this, [&](qreal x, qreal y) { return std::hypot(x - centre.x(), y - centre.y()) / radius; });
}

void KCGradient::drawSwatchInRect(QPainter &painter, const QRectF &rect) const { fillRect(painter, rect, 45.0f); }

QVariantMap KCGradient::encode() const
{
    QVariantMap archive;
    int key = 0;
    for (const KCGradientElement &e : mElements) {
        for (float value : {e.red, e.green, e.blue, e.alpha, e.position})
            archive.insert(QStringLiteral("$%1").arg(key++), double(value));
    }
    archive.insert(QLatin1String(kCountKey), qint64(mElements.size()));
    return archive;
}

std::optional<KCGradient> KCGradient::decode(const QVariantMap &archive)
{
    bool ok = false;
    const qint64 count = archive.value(QLatin1String(kCountKey)).toLongLong(&ok);
    if (!ok || count < 0 || count > kMaxArchivedStops)
        return std::nullopt;
    KCGradient gradient;
    int key = 0;
    for (qint64 i = 0; i < count; ++i) {
        float values[5];
        for (float &value : values) {
            const QVariant stored = archive.value(QStringLiteral("$%1").arg(key++));
            const bool isNumber = stored.typeId() == QMetaType::Double || stored.typeId() == QMetaType::Float
                                  || stored.typeId() == QMetaType::LongLong || stored.typeId() == QMetaType::Int;
            if (!isNumber)
                return std::nullopt;
            value = stored.toFloat();
        }
        gradient.addElement({values[0], values[1], values[2], values[3], values[4]});
    }
    return gradient;
}
