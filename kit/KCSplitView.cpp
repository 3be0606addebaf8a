#include "KCSplitView.h"

#include <QMouseEvent>
#include <QSplitterHandle>

#include <cmath>

namespace {

// Drags the divider as Qt's own handle does, through the split view's limits.
class KCSplitViewHandle final : public QSplitterHandle
{
public:
    KCSplitViewHandle(Qt::Orientation orientation, KCSplitView *parent)
        : QSplitterHandle(orientation, parent)
        , mSplitView(parent)
    {
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton) {
            // Measured from the divider itself: a thin handle's grab area
            // reaches over the panes on both sides.
            mPressed = true;
            mOffset = pick(mSplitView->mapFromGlobal(event->globalPosition().toPoint())) - dividerPosition();
        }
        QSplitterHandle::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!mPressed)
            return;
        const int position = pick(mSplitView->mapFromGlobal(event->globalPosition().toPoint())) - mOffset;
        const int divider = mSplitView->indexOf(this) - 1;
        moveSplitter(mSplitView->constrainedDividerPosition(position, divider));
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            mPressed = false;
        QSplitterHandle::mouseReleaseEvent(event);
    }

private:
    int pick(const QPoint &point) const { return orientation() == Qt::Horizontal ? point.x() : point.y(); }
    // Where the pane before this handle ends.
    int dividerPosition() const
    {
        const QWidget *before = mSplitView->widget(mSplitView->indexOf(const_cast<KCSplitViewHandle *>(this)) - 1);
        if (!before)
            return 0;
        const QRect r = before->geometry();
        return orientation() == Qt::Horizontal ? r.x() + r.width() : r.y() + r.height();
    }

    KCSplitView *mSplitView;
    bool mPressed = false;
    int mOffset = 0;
};

} // namespace

KCSplitView::KCSplitView(Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent)
{
    setHandleWidth(0);
    setOpaqueResize(true);
}

KCSplitView::KCSplitView(QWidget *parent)
    : KCSplitView(Qt::Horizontal, parent)
{
}

qreal KCSplitView::constrainMaxCoordinate(qreal proposedMax, int dividerIndex) const
{
    (void)dividerIndex;
    if (orientation() == Qt::Horizontal)
        return std::min(proposedMax, mMaxCoordinateLimit);
    return proposedMax - kFarEndMargin;
}

int KCSplitView::constrainedDividerPosition(int position, int dividerIndex) const
{
    int min = 0;
    int max = 0;
    getRange(dividerIndex + 1, &min, &max);
    const int limit = int(std::floor(constrainMaxCoordinate(max, dividerIndex)));
    return std::max(min, std::min(position, limit));
}

QSplitterHandle *KCSplitView::createHandle() { return new KCSplitViewHandle(orientation(), this); }
