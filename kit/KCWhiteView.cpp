#include "KCWhiteView.h"

#include <QMouseEvent>
#include <QPainter>

KCWhiteView::KCWhiteView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void KCWhiteView::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), Qt::white);
}

void KCWhiteView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (mDelegate)
        mDelegate->whiteViewClicked(this);
}
