#include "KCSplitView.h"

#include "KCGradient.h"

#include <QChildEvent>
#include <QPainter>
#include <QSplitterHandle>

namespace pigeonhole {

namespace {

class Divider : public QSplitterHandle
{
public:
    Divider(Qt::Orientation orientation, QSplitter *parent)
        : QSplitterHandle(orientation, parent)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const bool sideBySide = orientation() == Qt::Horizontal;
        // The kit's dark gradient across the divider, light grey along its long edges.
        KCGradient::unifiedDarkGradient().fillRect(painter, QRectF(rect()), sideBySide ? 180 : 270);
        if (width() > 2 && height() > 2) {
            painter.setPen(QColor(200, 200, 200));
            if (sideBySide) {
                painter.drawLine(0, 0, 0, height());
                painter.drawLine(width() - 1, 0, width() - 1, height());
            } else {
                painter.drawLine(0, 0, width(), 0);
                painter.drawLine(0, height() - 1, width(), height() - 1);
            }
        }
    }
};

} // namespace

KCSplitView::KCSplitView(Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent)
{
    setHandleWidth(1);
    setChildrenCollapsible(false);
    setOpaqueResize(true);
}

QSplitterHandle *KCSplitView::createHandle() { return new Divider(orientation(), this); }

void KCSplitView::childEvent(QChildEvent *event)
{
    QSplitter::childEvent(event);
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished)
        applyLimits();
}

void KCSplitView::setMinCoordinateLimit(int limit)
{
    mMinCoordinateLimit = limit;
    applyLimits();
}

void KCSplitView::setMaxCoordinateLimit(int limit)
{
    mMaxCoordinateLimit = limit;
    applyLimits();
}

void KCSplitView::applyLimits()
{
    for (int i = 0; i < count(); ++i) {
        QWidget *pane = widget(i);
        // The second pane takes every change of the view's size.
        setStretchFactor(i, i == 0 ? 0 : 1);
        if (orientation() == Qt::Vertical) {
            pane->setMinimumHeight(kStackedMinimum);
        } else if (i == 0) {
            if (mMinCoordinateLimit >= 0)
                pane->setMinimumWidth(mMinCoordinateLimit);
            pane->setMaximumWidth(mMaxCoordinateLimit >= 0 ? mMaxCoordinateLimit : QWIDGETSIZE_MAX);
        }
    }
}

void KCSplitView::setSplitPosition(int position)
{
    if (count() < 2)
        return;
    const int total = orientation() == Qt::Horizontal ? width() : height();
    setSizes({position, qMax(0, total - position - handleWidth())});
}

} // namespace pigeonhole
