#pragma once

// A split view with an invisible divider that takes no room (it can still be
// dragged: Qt keeps a grab area over the panes' edges). Side-by-side panes
// (Qt::Horizontal) never let the divider past the maximum coordinate limit;
// stacked panes (Qt::Vertical) keep it at least 110 points from the far end.
// Only drags are limited; sizes set by code are taken as they are.

#include <QImage>
#include <QSplitter>

#include <limits>

class KCSplitView : public QSplitter
{
    Q_OBJECT
public:
    explicit KCSplitView(Qt::Orientation orientation, QWidget *parent = nullptr);
    explicit KCSplitView(QWidget *parent = nullptr);

    static constexpr int kFarEndMargin = 110;

    void setMaxCoordinateLimit(qreal limit) { mMaxCoordinateLimit = limit; }
    qreal maxCoordinateLimit() const { return mMaxCoordinateLimit; }
    // Kept for a caller's own use: the divider does not read them.
    void setMinCoordinateLimit(qreal limit) { mMinCoordinateLimit = limit; }
    qreal minCoordinateLimit() const { return mMinCoordinateLimit; }
    void setGripImage(const QImage &image) { mGripImage = image; }
    const QImage &gripImage() const { return mGripImage; }

    // The farthest the divider at `dividerIndex` may go, given the farthest
    // the panes allow.
    qreal constrainMaxCoordinate(qreal proposedMax, int dividerIndex) const;
    // Where a drag of that divider to `position` leaves it.
    int constrainedDividerPosition(int position, int dividerIndex) const;

protected:
    QSplitterHandle *createHandle() override;

private:
    QImage mGripImage;
    qreal mMinCoordinateLimit = 0;
    // Unset: no limit.
    qreal mMaxCoordinateLimit = std::numeric_limits<qreal>::max();
};
