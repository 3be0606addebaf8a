#include "KCEmoticonPaletteView.h"

#include "EmoticonPaletteLayout.h"
#include "EmoticonPaletteSource.h"

#include <QHelpEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

// Emoticon pictures are small; anything larger is not one of ours.
constexpr int kLargestPicture = 128;

QImage loadPicture(const QString &path)
{
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kLargestPicture || size.height() > kLargestPicture)
        return {};
    return reader.read();
}

} // namespace

KCEmoticonPaletteView::KCEmoticonPaletteView(const EmoticonPaletteSource *source, QWidget *parent)
    : QWidget(parent), mSource(source)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize KCEmoticonPaletteView::sizeHint() const { return QSize(222, 226); }

void KCEmoticonPaletteView::setEmoticonCategory(const QString &category)
{
    if (category.isNull())
        return;
    mCategory = category;
    mEmoticonList = mSource ? mSource->emoticonListForCategory(category) : QStringList();
    mEmoticonImages.clear();
    for (const QString &token : mEmoticonList)
        mEmoticonImages.append(loadPicture(mSource->emoticonFileNameForEmoticon(token)));
    mTrackingTag = -1;
    layoutCells();
    update();
}

void KCEmoticonPaletteView::layoutCells()
{
    QList<EmoticonPaletteLayout::Item> items;
    QList<QImage> pictures;
    for (qsizetype i = 0; i < mEmoticonList.size(); ++i) {
        if (mEmoticonImages.at(i).isNull())
            continue;
        items.push_back({mEmoticonList.at(i), mEmoticonImages.at(i).size()});
        pictures.push_back(mEmoticonImages.at(i));
    }
    mCells.clear();
    const QList<EmoticonPaletteLayout::Cell> laid = EmoticonPaletteLayout::cells(items, height());
    for (qsizetype i = 0; i < laid.size(); ++i)
        mCells.push_back({laid[i].token, EmoticonPaletteLayout::toWidget(laid[i].image, height()),
                          KCEmoticonRect(EmoticonPaletteLayout::toWidget(laid[i].cell, height())), pictures[i]});
}

void KCEmoticonPaletteView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutCells();
}

int KCEmoticonPaletteView::cellAt(const QPoint &point) const
{
    for (qsizetype i = 0; i < mCells.size(); ++i)
        if (mCells[i].cell.rectEmoticon().contains(point))
            return int(i);
    return -1;
}

void KCEmoticonPaletteView::setTrackingTag(int tag)
{
    if (tag == mTrackingTag)
        return;
    mTrackingTag = tag;
    update();
}

void KCEmoticonPaletteView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (const Cell &cell : mCells)
        painter.drawImage(cell.image.topLeft(), cell.picture);
    if (mTrackingTag >= 0 && mTrackingTag < mCells.size()) {
        painter.setPen(Qt::darkGray);
        painter.drawRect(mCells[mTrackingTag].cell.rectEmoticon().adjusted(0, 0, -1, -1));
    }
}

void KCEmoticonPaletteView::mouseMoveEvent(QMouseEvent *event) { setTrackingTag(cellAt(event->position().toPoint())); }

void KCEmoticonPaletteView::leaveEvent(QEvent *) { setTrackingTag(-1); }

void KCEmoticonPaletteView::mousePressEvent(QMouseEvent *event)
{
    const int cell = cellAt(event->position().toPoint());
    setTrackingTag(cell);
    if (cell >= 0 && event->button() == Qt::LeftButton && mDelegate)
        mDelegate->emoticonPaletteViewDidSelectEmoticon(this, mCells[cell].token);
}

void KCEmoticonPaletteView::keyPressEvent(QKeyEvent *event)
{
    if (mCells.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int last = int(mCells.size()) - 1;
    const int at = qMax(0, mTrackingTag);
    switch (event->key()) {
    case Qt::Key_Left:
        setTrackingTag(qMax(0, at - 1));
        break;
    case Qt::Key_Right:
        setTrackingTag(mTrackingTag < 0 ? 0 : qMin(last, at + 1));
        break;
    case Qt::Key_Up:
        setTrackingTag(qMax(0, at - EmoticonPaletteLayout::kColumns));
        break;
    case Qt::Key_Down:
        setTrackingTag(mTrackingTag < 0 ? 0 : qMin(last, at + EmoticonPaletteLayout::kColumns));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (mTrackingTag >= 0 && mDelegate)
            mDelegate->emoticonPaletteViewDidSelectEmoticon(this, mCells[mTrackingTag].token);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool KCEmoticonPaletteView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int cell = cellAt(help->pos());
        if (cell >= 0)
            QToolTip::showText(help->globalPos(), mCells[cell].token, this, mCells[cell].cell.rectEmoticon());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
