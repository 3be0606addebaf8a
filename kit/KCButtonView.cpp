#include "KCButtonView.h"

#include "ImageRegistry.h"
#include "KCSkinPainting.h"

#include <QPainter>

KCButtonView::KCButtonView(QWidget *parent)
    : QWidget(parent)
    , mImageValue(ImageRegistry::image(QStringLiteral("1x37_btn_bg")))
{
}

void KCButtonView::setMImage(const QImage &image)
{
    mImageValue = image;
    update();
}

QSize KCButtonView::sizeHint() const
{
    return QSize(100, mImageValue.isNull() ? 37 : qRound(mImageValue.deviceIndependentSize().height()));
}

void KCButtonView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal h = mImageValue.deviceIndependentSize().height();
    KCSkinPainting::drawStretched(painter, mImageValue,
                                  KCSkinPainting::fromBottomLeft(QRectF(0, 0, width(), h), height()));
}
