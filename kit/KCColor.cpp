#include "KCColor.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace KCColor {

namespace {

struct Hsb {
    float hue = 0, saturation = 0, brightness = 0, alpha = 1;
};

Hsb hsbOf(const QColor &color)
{
    float h = 0, s = 0, v = 0, a = 1;
    color.toRgb().getHsvF(&h, &s, &v, &a);
    // Qt answers -1 for the hue of a grey; treat it as red, as the skins did.
    return {std::max(h, 0.0f), s, v, a};
}

QColor fromHsb(float hue, float saturation, float brightness, float alpha)
{
    const auto unit = [](float x) { return std::clamp(x, 0.0f, 1.0f); };
    return QColor::fromHsvF(unit(hue), unit(saturation), unit(brightness), unit(alpha)).toRgb();
}

} // namespace

QColor lighterColor(const QColor &color)
{
    Hsb c = hsbOf(color);
    if (c.brightness <= 0.4f) {
        c.brightness = 0.6f;
    } else if (c.brightness < 0.9f) {
        c.brightness = c.brightness + (0.3f * c.brightness + 0.1f);
    } else {
        c.brightness = 1.0f;
        c.saturation = c.saturation > 0.12f ? std::max(0.5f * c.saturation - 0.1f, 0.0f) : c.saturation + 0.25f;
    }
    return fromHsb(c.hue, c.saturation, c.brightness, c.alpha);
}

QColor accentColor(const QColor &color)
{
    const Hsb c = hsbOf(color);
    if (c.brightness <= 0.3f) {
        const Hsb tint = hsbOf(QGuiApplication::palette().color(QPalette::Highlight));
        return fromHsb(tint.hue, 1.0f, 1.0f, tint.alpha);
    }
    return fromHsb(c.hue, 1.0f, c.brightness * 0.5f, c.alpha);
}

QColor lightYellowColor() { return fromHsb(0.2f, 0.2f, 1.0f, 1.0f); }

QColor toolTipColor() { return QGuiApplication::palette().color(QPalette::ToolTipBase); }

QColor toolTipTextColor() { return QGuiApplication::palette().color(QPalette::ToolTipText); }

QColor disabledColor(const QColor &color)
{
    QColor result = color;
    result.setAlphaF(color.alphaF() / 2);
    return result;
}

} // namespace KCColor
