#include "PlaceholderSkin.h"

#include "ImageRegistry.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace parley::screenshots {

namespace {

void ensure(const QString &name, const QImage &image)
{
    if (!ImageRegistry::contains(name))
        ImageRegistry::registerImage(name, image);
}

// A slice of a light bezel: a vertical gradient with a darker rim on the
// sides the slice closes (left, right, or neither for a fill).
QImage bezel(int w, int h, char state, int closes)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, h);
    const bool pressed = state == 'P';
    g.setColorAt(0, pressed ? QColor(0xc8, 0xc8, 0xc8) : QColor(0xff, 0xff, 0xff));
    g.setColorAt(1, pressed ? QColor(0xb0, 0xb0, 0xb0) : QColor(0xe2, 0xe2, 0xe2));
    p.fillRect(QRect(0, 1, w, h - 2), g);
    const QColor rim = state == 'D' ? QColor(0xc8, 0xc8, 0xc8) : QColor(0x8c, 0x8c, 0x8c);
    p.fillRect(QRect(0, 0, w, 1), rim);
    p.fillRect(QRect(0, h - 1, w, 1), rim);
    if (closes < 0)
        p.fillRect(QRect(0, 0, 1, h), rim);
    if (closes > 0)
        p.fillRect(QRect(w - 1, 0, 1, h), rim);
    if (state == 'D') {
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.fillRect(image.rect(), QColor(0, 0, 0, 150));
    }
    return image;
}

QImage band(int h, QColor top, QColor bottom)
{
    QImage image(1, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(image.rect(), g);
    return image;
}

QImage widened(const QImage &strip, int w)
{
    return strip.scaled(w, strip.height());
}

QImage checkbox(bool on, char state)
{
    QImage image(14, 14, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(state == 'D' ? QColor(0xb4, 0xb4, 0xb4) : QColor(0x70, 0x70, 0x70));
    p.setBrush(state == 'P' ? QColor(0xd0, 0xd0, 0xd0) : Qt::white);
    p.drawRoundedRect(QRectF(0.5, 0.5, 13, 13), 2, 2);
    if (on) {
        QPainterPath tick;
        tick.moveTo(3, 7);
        tick.lineTo(6, 10);
        tick.lineTo(11, 3);
        p.setPen(QPen(state == 'D' ? QColor(0xa0, 0xa0, 0xa0) : QColor(0x20, 0x20, 0x20), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    return image;
}

QImage arrow()
{
    QImage image(9, 9, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x50, 0x50, 0x50));
    p.drawPolygon(QPolygonF({QPointF(2, 1), QPointF(8, 4.5), QPointF(2, 8)}));
    return image;
}

} // namespace

void ensurePlaceholderSkin()
{
    for (char state : {'N', 'P', 'D'}) {
        const QString s(QChar::fromLatin1(state));
        ensure(QStringLiteral("tools-buttonLeft-") + s, bezel(7, 28, state, -1));
        ensure(QStringLiteral("tools-buttonFill-") + s, bezel(1, 28, state, 0));
        ensure(QStringLiteral("tools-buttonRight-") + s, bezel(7, 28, state, 1));
        ensure(QStringLiteral("ButtonLeft") + s, bezel(6, 20, state, -1));
        ensure(QStringLiteral("ButtonFill") + s, bezel(1, 20, state, 0));
        ensure(QStringLiteral("ButtonRight") + s, bezel(6, 20, state, 1));
        ensure(QStringLiteral("tools-popupLeft-") + s, bezel(6, 20, state, -1));
        ensure(QStringLiteral("tools-popupFill-") + s, bezel(1, 20, state, 0));
        ensure(QStringLiteral("tools-popupRight-") + s, bezel(16, 20, state, 1));
        ensure(QStringLiteral("CheckboxOn") + s, checkbox(true, state));
        ensure(QStringLiteral("CheckboxOff") + s, checkbox(false, state));
    }
    ensure(QStringLiteral("normal_right"), arrow());
    ensure(QStringLiteral("1x27_bg"), band(27, QColor(0xf4, 0xf4, 0xf4), QColor(0xd8, 0xd8, 0xd8)));
    ensure(QStringLiteral("1x37_btn_bg"), band(37, QColor(0xf0, 0xf0, 0xf0), QColor(0xd0, 0xd0, 0xd0)));

    const QImage top = band(80, QColor(0xd6, 0xd9, 0xde), QColor(0xee, 0xef, 0xf1));
    const QImage bottom = band(24, QColor(0xe4, 0xe6, 0xe9), QColor(0xc8, 0xcb, 0xd0));
    ensure(QStringLiteral("1x80_top_middle"), top);
    ensure(QStringLiteral("7x80_top_left"), widened(top, 7));
    ensure(QStringLiteral("7x80_top_right"), widened(top, 7));
    ensure(QStringLiteral("1x24_bottom_middle"), bottom);
    ensure(QStringLiteral("7x24_bottom_left"), widened(bottom, 7));
    ensure(QStringLiteral("7x24_bottom_right"), widened(bottom, 7));
    const QImage flatTop = band(60, QColor(0xe9, 0xea, 0xec), QColor(0xee, 0xef, 0xf1));
    ensure(QStringLiteral("flat_top_middle"), flatTop);
    ensure(QStringLiteral("flat_top_left"), widened(flatTop, 7));
    ensure(QStringLiteral("flat_top_right"), widened(flatTop, 7));
    ensure(QStringLiteral("flat_bottom_middle"), bottom);
    ensure(QStringLiteral("flat_bottom_left"), widened(bottom, 7));
    ensure(QStringLiteral("flat_bottom_right"), widened(bottom, 7));
    QImage edge(2, 10, QImage::Format_ARGB32_Premultiplied);
    edge.fill(QColor(0xb8, 0xbb, 0xc0));
    ensure(QStringLiteral("middle_left"), edge);
    ensure(QStringLiteral("middle_right"), edge);
}

} // namespace parley::screenshots
