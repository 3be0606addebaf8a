#pragma once

// Solid-colour images registered under skin names for the length of a test,
// so that paint probes can tell which slice covers which pixel.

#include "ImageRegistry.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QWidget>

namespace parley::test {

class SolidSlices
{
public:
    SolidSlices() = default;
    ~SolidSlices()
    {
        for (const QString &name : std::as_const(mNames))
            ImageRegistry::registerImage(name, QImage());
    }
    SolidSlices(const SolidSlices &) = delete;
    SolidSlices &operator=(const SolidSlices &) = delete;

    // A w x h image of one colour under `name`.
    void add(const QString &name, int w, int h, const QColor &color)
    {
        QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
        image.fill(color);
        add(name, image);
    }
    void add(const QString &name, const QImage &image)
    {
        ImageRegistry::registerImage(name, image);
        mNames << name;
    }

private:
    QStringList mNames;
};

// The widget painted into a transparent image of its size.
inline QImage paintOf(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

// Whether two colours differ by at most `tolerance` in each channel.
inline bool near(const QColor &a, const QColor &b, int tolerance = 2)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

} // namespace parley::test
