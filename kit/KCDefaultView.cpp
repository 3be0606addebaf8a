#include "KCDefaultView.h"

#include "KCGradient.h"

#include <QPaintEvent>
#include <QPainter>

KCDefaultView::KCDefaultView(QWidget *parent)
    : QWidget(parent)
{
}

void KCDefaultView::paintEvent(QPaintEvent *event)
{
    // The gradient spans the whole view; the paint event clips it to what
    // needs drawing, so a partial redraw leaves no seam.
    QPainter painter(this);
    painter.setClipRegion(event->region());
    KCGradient::unifiedNormalGradient().fillRect(painter, rect(), 270.0f);
}
