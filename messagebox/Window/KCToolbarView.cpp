#include "KCToolbarView.h"

#include "ImageRegistry.h"

#include <QPainter>

namespace pigeonhole {

KCToolbarView::KCToolbarView(QWidget *parent, const QString &imageName)
    : QWidget(parent)
    , mBgImage(ImageRegistry::image(imageName))
{
}

void KCToolbarView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (mBgImage.isNull()) {
        QLinearGradient fill(0, 0, 0, height());
        fill.setColorAt(0, QColor(238, 242, 248));
        fill.setColorAt(1, QColor(206, 214, 227));
        painter.fillRect(rect(), fill);
        return;
    }
    painter.drawImage(QRect(0, height() - mBgImage.height(), width(), mBgImage.height()), mBgImage);
}

} // namespace pigeonhole
