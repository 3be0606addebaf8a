#include "KCPaletteTabButton.h"

#include "ImageRegistry.h"
#include "KCFonts.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

KCPaletteTabButton::KCPaletteTabButton(const QString &title, QWidget *parent) : QAbstractButton(parent)
{
    setText(title);
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(title);
}

void KCPaletteTabButton::setImageName(const QString &imageName)
{
    mImageName = imageName;
    update();
}

QSize KCPaletteTabButton::sizeHint() const { return QSize(87, 25); }

void KCPaletteTabButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QImage image = ImageRegistry::image(mImageName);
    if (!image.isNull())
        painter.drawImage(rect(), image);
    else
        painter.fillRect(rect(), isChecked() ? palette().base() : palette().button());
    QFont font = KCPaletteFont(11);
    font.setBold(isChecked());
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::ButtonText));
    const QString title = painter.fontMetrics().elidedText(text(), Qt::ElideRight, width() - 8);
    painter.drawText(rect().adjusted(4, 0, -4, 0), Qt::AlignCenter, title);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
