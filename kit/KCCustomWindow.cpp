#include "KCCustomWindow.h"

#include "ImageRegistry.h"
#include "KCSkinPainting.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolBar>

namespace {

struct Skin {
    QImage topLeft, topMiddle, topRight, bottomLeft, bottomMiddle, bottomRight, left, right;
};

Skin loadSkin(bool flat)
{
    const auto image = [](const char *name) { return ImageRegistry::image(QLatin1String(name)); };
    if (flat) {
        return {image("flat_top_left"),    image("flat_top_middle"),    image("flat_top_right"),
                image("flat_bottom_left"), image("flat_bottom_middle"), image("flat_bottom_right"),
                image("middle_left"),      image("middle_right")};
    }
    return {image("7x80_top_left"),    image("1x80_top_middle"),    image("7x80_top_right"),
            image("7x24_bottom_left"), image("1x24_bottom_middle"), image("7x24_bottom_right"),
            QImage(),                  QImage()};
}

QSizeF sizeOf(const QImage &image) { return image.isNull() ? QSizeF() : image.deviceIndependentSize(); }

// The band tiled across `target`, its first tile at the target's left edge.
void tile(QPainter &painter, const QImage &band, const QRectF &target)
{
    if (band.isNull() || target.width() <= 0 || target.height() <= 0)
        return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    const QSizeF tileSize = sizeOf(band);
    for (qreal x = target.left(); x < target.right(); x += tileSize.width())
        painter.drawImage(QRectF(QPointF(x, target.top()), tileSize), band);
    painter.restore();
}

} // namespace

KCCustomWindow::KCCustomWindow(QWidget *parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags)
{
    setAutoFillBackground(true);
    rebuildBackground(false);
}

QImage KCCustomWindow::composeBackground(const QSize &size, bool flat)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    const qreal W = size.width();
    const qreal H = size.height();
    const Skin skin = loadSkin(flat);
    // Laid out y-up from the bottom-left corner, as the skin was drawn.
    const auto at = [H](qreal x, qreal y, qreal w, qreal h) {
        return KCSkinPainting::fromBottomLeft(QRectF(x, y, w, h), H);
    };

    // The base colour: the top band's bottom-left pixel.
    const QImage &band = skin.topMiddle;
    image.fill(band.isNull() ? QColor(0xe8, 0xe8, 0xe8) : band.pixelColor(0, band.height() - 1));

    QPainter painter(&image);
    if (flat) {
        const QSizeF l = sizeOf(skin.left), r = sizeOf(skin.right);
        KCSkinPainting::drawStretched(painter, skin.left, at(0, 0, l.width(), H));
        KCSkinPainting::drawStretched(painter, skin.right, at(W - r.width() + 1, 0, r.width(), H));
    }

    const QSizeF bl = sizeOf(skin.bottomLeft), br = sizeOf(skin.bottomRight);
    tile(painter, skin.bottomMiddle, at(bl.width(), 0, W - bl.width() - br.width(), bl.height()));
    KCSkinPainting::drawAt(painter, skin.bottomLeft, at(0, 0, bl.width(), bl.height()).topLeft());
    KCSkinPainting::drawAt(painter, skin.bottomRight, at(W - br.width(), 0, br.width(), br.height()).topLeft());

    const QSizeF tl = sizeOf(skin.topLeft), tr = sizeOf(skin.topRight);
    tile(painter, skin.topMiddle, at(tl.width(), H - tl.height(), W - tl.width() - tr.width(), tl.height()));
    KCSkinPainting::drawAt(painter, skin.topLeft, at(0, H - tl.height(), tl.width(), tl.height()).topLeft());
    KCSkinPainting::drawAt(painter, skin.topRight, at(W - tr.width(), H - tr.height(), tr.width(), tr.height()).topLeft());
    return image;
}

void KCCustomWindow::rebuildBackground(bool forceDisplay)
{
    mBackground = composeBackground(size(), mFlat);
    QPalette skinned = palette();
    skinned.setBrush(QPalette::Window, QBrush(mBackground));
    setPalette(skinned);
    if (forceDisplay)
        repaint();
}

void KCCustomWindow::setFlat(bool flat)
{
    mFlat = flat;
    rebuildBackground(isVisible());
}

void KCCustomWindow::setMinSize(const QSize &size)
{
    setMinimumSize(size.expandedTo(QSize(kMinimumSide, kMinimumSide)));
}

void KCCustomWindow::setToolbar(QToolBar *toolbar)
{
    if (!toolbar)
        return;
    // No line under the toolbar and no background of its own: the top band shows.
    toolbar->setAutoFillBackground(false);
    toolbar->setStyleSheet(QStringLiteral("QToolBar { background: transparent; border: none; }"));
    addToolBar(toolbar);
}

void KCCustomWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    rebuildBackground(false);
}

void KCCustomWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
