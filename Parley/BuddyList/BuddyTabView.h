#pragma once

// A bar of two tabs drawn by hand (the add view and the search view); a press
// picks the tab under it, a drag across the bar moves the pressed tab along,
// and the chosen tab's view fills the content view.

#include <QPointer>
#include <QWidget>

namespace parley {

class BuddyTabView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kBarHeight = 25;

    explicit BuddyTabView(QWidget *parent = nullptr);

    void setAddBuddyView(QWidget *view) { mAddBuddyView = view; }
    void setSearchBuddyView(QWidget *view) { mSearchBuddyView = view; }
    // The view that receives the chosen tab's view (not owned).
    void setContentView(QWidget *view) { mContentView = view; }

    int selectedTab() const { return mSelectedTab; }
    // Chooses a tab without changing the content.
    void setSelectedTab(int tab) { mSelectedTab = tab; }
    bool isDragging() const { return mIsDragging; }
    void setIsDragging(bool dragging) { mIsDragging = dragging; }

    // Puts the chosen tab's view into the content view and hides the other.
    void updateActiveView();

    // The tab under x on a bar of that width: 0 or 1, the right edge and
    // beyond giving 1, the left edge and before 0.
    static int tabForX(qreal x, qreal width);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Rectangles of the bar's drawing, bottom-up as drawn, into the widget's.
    QRectF fromBottomUp(const QRectF &rect) const;
    void pressAt(qreal x);

    QPointer<QWidget> mAddBuddyView;
    QPointer<QWidget> mSearchBuddyView;
    QPointer<QWidget> mContentView;
    int mSelectedTab = 0;
    bool mIsDragging = false;
};

} // namespace parley
