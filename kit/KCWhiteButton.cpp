#include "KCWhiteButton.h"

#include "ImageRegistry.h"
#include "KCDefaultFont.h"
#include "KCSkinPainting.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

QImage piece(const char *side, const char *state)
{
    return ImageRegistry::image(QStringLiteral("tools-button%1-%2").arg(QLatin1String(side), QLatin1String(state)));
}

// The part (0, 0, w, h) of an image, measured y-up from its bottom-left corner.
QRectF bottomLeftPart(const QImage &image, qreal w, qreal h)
{
    const QSizeF size = image.deviceIndependentSize();
    const qreal width = std::min(w, size.width());
    const qreal height = std::min(h, size.height());
    const qreal ratio = image.devicePixelRatio();
    return QRectF(0, (size.height() - height) * ratio, width * ratio, height * ratio);
}

} // namespace

KCWhiteButton::KCWhiteButton(QWidget *parent)
    : KCWhiteButton(QString(), parent)
{
}

KCWhiteButton::KCWhiteButton(const QString &title, QWidget *parent)
    : QPushButton(title, parent)
    , mLeft(piece("Left", "N"))
    , mLeftPressed(piece("Left", "P"))
    , mLeftDisabled(piece("Left", "D"))
    , mRight(piece("Right", "N"))
    , mRightPressed(piece("Right", "P"))
    , mRightDisabled(piece("Right", "D"))
    , mMiddle(piece("Fill", "N"))
    , mMiddlePressed(piece("Fill", "P"))
    , mMiddleDisabled(piece("Fill", "D"))
{
    setFont(GetDefaultFontOfSize(12));
    setFlat(true);
    setAttribute(Qt::WA_Hover);
}

QSize KCWhiteButton::sizeHint() const
{
    const qreal textWidth = QFontMetricsF(font()).horizontalAdvance(text());
    return QSize(qCeil(textWidth) + 2 * kCapWidth + 16, kSliceHeight);
}

QSize KCWhiteButton::minimumSizeHint() const { return QSize(2 * kCapWidth, kSliceHeight); }

void KCWhiteButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int W = width();
    const int H = height();
    const QImage *l = &mLeft, *m = &mMiddle, *r = &mRight;
    if (!isEnabled()) {
        l = &mLeftDisabled, m = &mMiddleDisabled, r = &mRightDisabled;
    } else if (isDown()) {
        l = &mLeftPressed, m = &mMiddlePressed, r = &mRightPressed;
    }

    // Slices along the bottom edge, laid out y-up as the skin was drawn.
    const auto at = [H](qreal x, qreal w) {
        return KCSkinPainting::fromBottomLeft(QRectF(x, 0, w, kSliceHeight), H);
    };
    if (!l->isNull())
        painter.drawImage(at(0, kCapWidth), *l, bottomLeftPart(*l, kCapWidth, kSliceHeight));
    KCSkinPainting::drawStretched(painter, *m, at(kCapWidth, W - 2 * kCapWidth));
    if (!r->isNull())
        painter.drawImage(at(W - kCapWidth, kCapWidth), *r, bottomLeftPart(*r, kCapWidth, kSliceHeight));

    // The title centred, cut short rather than spilling past the edges.
    const QColor color = isEnabled() ? Qt::black : QColor(85, 85, 85);
    const QString title = KCSkinPainting::elided(font(), text(), W);
    KCSkinPainting::drawShadowedText(painter, QRectF(0, 0, W, H), Qt::AlignCenter | Qt::TextSingleLine, title, color);
}
