#include "KCImageButton.h"

#include "ImageRegistry.h"

#include <QPainter>

KCImageButton::KCImageButton(const QString &imageName, const QString &pressedImageName, QWidget *parent)
    : QAbstractButton(parent),
      mImage(ImageRegistry::image(imageName)),
      mPressedImage(ImageRegistry::image(pressedImageName))
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

void KCImageButton::setToolTipText(const QString &text)
{
    setToolTip(text);
    setAccessibleName(text);
}

QSize KCImageButton::sizeHint() const { return mImage.isNull() ? QSize(16, 16) : mImage.size(); }

void KCImageButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage &shown = isDown() && !mPressedImage.isNull() ? mPressedImage : mImage;
    if (!isEnabled())
        painter.setOpacity(0.4);
    if (!shown.isNull())
        painter.drawImage(rect(), shown);
}
