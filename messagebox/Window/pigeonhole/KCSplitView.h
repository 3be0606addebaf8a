#pragma once

// The message box's own split view (not the kit's KCSplitView): a 1-point divider drawn
// with a dark gradient and light edges; panes never collapse; side by side,
// the first pane's width stays within the coordinate limits (-1: none);
// stacked, each pane keeps at least 110 points. When the view grows or
// shrinks, the second pane takes the difference.

#include <QSplitter>

namespace pigeonhole {

class KCSplitView : public QSplitter
{
    Q_OBJECT

public:
    static constexpr int kStackedMinimum = 110;

    explicit KCSplitView(Qt::Orientation orientation, QWidget *parent = nullptr);

    void setMinCoordinateLimit(int limit);
    void setMaxCoordinateLimit(int limit);
    // The first pane's width (side by side) or height (stacked).
    void setSplitPosition(int position);

protected:
    QSplitterHandle *createHandle() override;
    void childEvent(QChildEvent *event) override;

private:
    void applyLimits();

    int mMinCoordinateLimit = -1;
    int mMaxCoordinateLimit = -1;
};

} // namespace pigeonhole
