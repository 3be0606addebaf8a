#include "KCButtonBGView.h"

#include "ImageRegistry.h"
#include "KCSkinPainting.h"

#include <QPainter>

KCButtonBGView::KCButtonBGView(QWidget *parent)
    : QWidget(parent)
    , mImage(ImageRegistry::image(QStringLiteral("1x27_bg")))
{
}

void KCButtonBGView::setImage(const QImage &image)
{
    mImage = image;
    update();
}

QSize KCButtonBGView::sizeHint() const
{
    return QSize(100, mImage.isNull() ? 27 : qRound(mImage.deviceIndependentSize().height()));
}

void KCButtonBGView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal h = mImage.deviceIndependentSize().height();
    KCSkinPainting::drawStretched(painter, mImage,
                                  KCSkinPainting::fromBottomLeft(QRectF(0, 0, width(), h), height()));
}
