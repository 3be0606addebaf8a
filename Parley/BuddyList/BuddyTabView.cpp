#include "BuddyTabView.h"

#include "ImageRegistry.h"
#include "Utils/KCUtilities.h"

#include <QLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace parley {

namespace {

const char *const kTabIcons[] = {"18x18_buddyAdd", "18x18_groupAdd"};
constexpr qreal kIconBottom = 5;

// The icon darkened as it looks while pressed: black at half opacity over
// its opaque parts.
QImage darkened(const QImage &icon)
{
    QImage copy = icon.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&copy);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(copy.rect(), QColor(0, 0, 0, 128));
    return copy;
}

} // namespace

BuddyTabView::BuddyTabView(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(kBarHeight);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(KCLocalizedString(QStringLiteral("BuddyTabBarName")));
}

QSize BuddyTabView::sizeHint() const { return QSize(200, kBarHeight); }

int BuddyTabView::tabForX(qreal x, qreal width)
{
    if (width <= 0)
        return 0;
    return std::clamp(int(std::floor(x / (width / 2))), 0, 1);
}

void BuddyTabView::updateActiveView()
{
    QWidget *chosen = mSelectedTab == 0 ? mAddBuddyView.data() : mSelectedTab == 1 ? mSearchBuddyView.data() : nullptr;
    if (!mContentView || !chosen)
        return;
    for (QWidget *view : {mAddBuddyView.data(), mSearchBuddyView.data()}) {
        if (view && view != chosen)
            view->hide();
    }
    if (chosen->parentWidget() != mContentView) {
        chosen->setParent(mContentView);
        if (QLayout *layout = mContentView->layout())
            layout->addWidget(chosen);
    }
    chosen->show();
    mContentView->show();
}

void BuddyTabView::pressAt(qreal x)
{
    mSelectedTab = tabForX(x, width());
    mIsDragging = true;
    update();
}

void BuddyTabView::mousePressEvent(QMouseEvent *event)
{
    // Clamped as a drag is: a press on the very right edge is still tab 1.
    pressAt(event->position().x());
    updateActiveView();
}

void BuddyTabView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    pressAt(event->position().x());
}

void BuddyTabView::mouseReleaseEvent(QMouseEvent *)
{
    mIsDragging = false;
    updateActiveView();
    update();
}

void BuddyTabView::keyPressEvent(QKeyEvent *event)
{
    // Left and right choose the tabs from the keyboard.
    if (event->key() != Qt::Key_Left && event->key() != Qt::Key_Right) {
        QWidget::keyPressEvent(event);
        return;
    }
    mSelectedTab = event->key() == Qt::Key_Left ? 0 : 1;
    updateActiveView();
    update();
}

QRectF BuddyTabView::fromBottomUp(const QRectF &rect) const
{
    return QRectF(rect.x(), height() - rect.y() - rect.height(), rect.width(), rect.height());
}

void BuddyTabView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal tw = width() * 0.5;
    for (int i = 0; i < 2; ++i) {
        const bool selected = i == mSelectedTab;
        const char *background = selected ? (mIsDragging ? "middle_bar_down" : "middle_bar_selected") : "middle_bar_normal";
        painter.drawImage(fromBottomUp(QRectF(tw * i, 0, tw, kBarHeight)), ImageRegistry::image(QLatin1String(background)));
        const QImage end = ImageRegistry::image(QStringLiteral("tab_bar_end"));
        painter.drawImage(fromBottomUp(QRectF(i * std::trunc(tw), 0, end.width(), end.height())).topLeft(), end);
        QImage icon = ImageRegistry::image(QLatin1String(kTabIcons[i]));
        if (selected && mIsDragging)
            icon = darkened(icon);
        const qreal x = tw * i + int(std::trunc(tw - icon.width()) / 2);
        painter.drawImage(fromBottomUp(QRectF(x, kIconBottom, icon.width(), icon.height())).topLeft(), icon);
    }
}

} // namespace parley
