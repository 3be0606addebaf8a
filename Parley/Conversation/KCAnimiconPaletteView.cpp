#include "KCAnimiconPaletteView.h"

#include "AnimiconPaletteLayout.h"
#include "ImageRegistry.h"
#include "KCFonts.h"
#include "Utils/KCUtilities.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

using Layout = AnimiconPaletteLayout;

KCAnimiconPaletteView::KCAnimiconPaletteView(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(parley::KCLocalizedString(QStringLiteral("AnimiconTitle")));
}

KCAnimiconPaletteView::~KCAnimiconPaletteView()
{
    if (mCategory) {
        mCategory->stopLoad();
        mCategory->setDelegate(nullptr);
    }
}

QSize KCAnimiconPaletteView::sizeHint() const { return QSize(210, 227); }

QFont KCAnimiconPaletteView::linkFont() const { return KCPaletteFont(11); }

QString KCAnimiconPaletteView::previousLabel() const { return parley::KCLocalizedString(QStringLiteral("Previous")); }

QString KCAnimiconPaletteView::nextLabel() const { return parley::KCLocalizedString(QStringLiteral("Next")); }

void KCAnimiconPaletteView::setCategory(AnimiconCategory *category)
{
    if (!category)
        return;
    mIsLockDraw = true;
    if (category != mCategory) {
        if (mCategory) {
            mCategory->stopLoad();
            mCategory->setDelegate(nullptr);
            disconnect(mListConnection);
        }
        mCategory = category;
        // A list that arrives later shows from its first page.
        mListConnection = connect(category, &AnimiconCategory::listUpdated, this, &KCAnimiconPaletteView::updateView);
    }
    mIsLockDraw = false;
}

void KCAnimiconPaletteView::updateView()
{
    if (!mCategory)
        return;
    mIsLockDraw = true;
    mCategory->setDelegate(this);
    mCategory->updateAnimicon();
    mIsLockDraw = false;
    mAnimiconPageCount = Layout::pageCount(mCategory->animiconCount());
    showPage(0);
}

void KCAnimiconPaletteView::updateViewWithPageNum(int page)
{
    if (!mCategory)
        return;
    mTrackingTag = Tag();
    showPage(page);
}

void KCAnimiconPaletteView::showPage(int page)
{
    const int count = mCategory->animiconCount();
    mAnimiconPageCount = Layout::pageCount(count);
    mAnimiconPageNum = page;
    mAnimiconNumStart = Layout::firstIndex(page);
    mAnimiconNumEnd = Layout::lastIndex(page, count);
    // The mouse may already rest on a page link of the new line.
    const QPoint mouse = mapFromGlobal(QCursor::pos());
    const Tag under = rect().contains(mouse) ? tagAt(mouse) : Tag();
    if (under.kind == Tag::PageLink)
        mTrackingTag = under;
    if (mAnimiconNumEnd >= mAnimiconNumStart)
        mCategory->loadAnimiconFrom(mAnimiconNumStart, mAnimiconNumEnd);
    update();
}

QStringList KCAnimiconPaletteView::pageLabels() const
{
    return Layout::pageLabels(mAnimiconPageCount, previousLabel(), nextLabel());
}

QList<QRect> KCAnimiconPaletteView::pageLabelRects() const
{
    const QFontMetrics metrics(linkFont());
    QList<QSize> sizes;
    for (const QString &label : pageLabels())
        sizes.push_back(metrics.size(Qt::TextSingleLine, label));
    QList<QRect> out;
    for (const QRect &bottomUp : Layout::pageLabelRects(sizes, size()))
        out.push_back(Layout::toWidget(bottomUp, height()));
    return out;
}

QRect KCAnimiconPaletteView::cellRect(int slot) const
{
    return Layout::toWidget(Layout::cellRect(slot, size()), height());
}

KCAnimiconPaletteView::Tag KCAnimiconPaletteView::tagAt(const QPoint &point) const
{
    if (!mCategory)
        return {};
    for (int index = mAnimiconNumStart; index <= mAnimiconNumEnd; ++index)
        if (cellRect(index - mAnimiconNumStart).contains(point))
            return {Tag::Item, index, QString()};
    const QStringList labels = pageLabels();
    const QList<QRect> rects = pageLabelRects();
    for (qsizetype i = 0; i < labels.size(); ++i)
        if (rects[i].contains(point))
            return {Tag::PageLink, -1, labels[i]};
    return {};
}

void KCAnimiconPaletteView::didloadAnimicon(const QString &animiconID, const QImage &thumbImage)
{
    (void)animiconID;
    (void)thumbImage;
    update();
}

void KCAnimiconPaletteView::activate(const Tag &tag)
{
    if (!mCategory)
        return;
    if (tag.kind == Tag::PageLink) {
        const std::optional<int> page =
            Layout::targetPage(tag.label, mAnimiconPageNum, mAnimiconPageCount, previousLabel(), nextLabel());
        if (page)
            updateViewWithPageNum(*page);
        return;
    }
    if (tag.kind == Tag::Item && mDelegate) {
        const int index = tag.index;
        mDelegate->animiconPaletteViewDidSelectAnimicon(this, mCategory->animiconFlashUrlWithIndex(index),
                                                        mCategory->animiconThumbUrlWithIndex(index),
                                                        mCategory->animiconNameWithIndex(index),
                                                        mCategory->categoryID(), mCategory->animiconIDWithIndex(index));
    }
}

void KCAnimiconPaletteView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!mCategory || mIsLockDraw)
        return;
    const QImage loading = ImageRegistry::image(QStringLiteral("AnimiconLoading"));
    QFont nameFont = KCPaletteFont(11);
    painter.setFont(nameFont);
    const QFontMetrics metrics(nameFont);
    for (int index = mAnimiconNumStart; index <= mAnimiconNumEnd; ++index) {
        const QRect cell = Layout::cellRect(index - mAnimiconNumStart, size());
        const QImage thumb = mCategory->animiconThumbWithIndex(index);
        const QImage &picture = thumb.isNull() ? loading : thumb;
        const QRect pictureRect(cell.x() + 1, cell.y() + Layout::kNameHeight, picture.width(), picture.height());
        painter.drawImage(Layout::toWidget(pictureRect, height()).topLeft(), picture);
        if (!thumb.isNull()) {
            const QRect nameRect = Layout::toWidget(QRect(cell.x(), cell.y(), Layout::kCellSize, Layout::kNameHeight),
                                                    height());
            painter.setPen(Qt::black);
            painter.drawText(nameRect, Qt::AlignCenter,
                             metrics.elidedText(mCategory->animiconNameWithIndex(index), Qt::ElideRight,
                                                nameRect.width()));
        }
        if (mTrackingTag.kind == Tag::Item && mTrackingTag.index == index) {
            painter.setPen(Qt::black);
            painter.drawRect(Layout::toWidget(cell, height()).adjusted(0, 0, -1, -1));
        }
    }
    painter.setFont(linkFont());
    const QStringList labels = pageLabels();
    const QList<QRect> rects = pageLabelRects();
    for (qsizetype i = 0; i < labels.size(); ++i) {
        painter.setPen(i == mAnimiconPageNum + 1 ? Qt::black : Qt::gray);
        painter.drawText(rects[i], Qt::AlignCenter, labels[i]);
    }
}

void KCAnimiconPaletteView::mouseMoveEvent(QMouseEvent *event)
{
    const Tag tag = tagAt(event->position().toPoint());
    if (tag == mTrackingTag)
        return;
    mTrackingTag = tag;
    update();
}

void KCAnimiconPaletteView::leaveEvent(QEvent *)
{
    if (mTrackingTag.kind == Tag::None)
        return;
    mTrackingTag = Tag();
    update();
}

void KCAnimiconPaletteView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    mTrackingTag = tagAt(event->position().toPoint());
    activate(mTrackingTag);
}

void KCAnimiconPaletteView::keyPressEvent(QKeyEvent *event)
{
    if (!mCategory) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int first = mAnimiconNumStart;
    const int last = mAnimiconNumEnd;
    const int at = mTrackingTag.kind == Tag::Item ? mTrackingTag.index : -1;
    auto select = [this](int index) {
        mTrackingTag = {Tag::Item, index, QString()};
        update();
    };
    switch (event->key()) {
    case Qt::Key_Left:
        if (last >= first)
            select(at < 0 ? first : qMax(first, at - 1));
        break;
    case Qt::Key_Right:
        if (last >= first)
            select(at < 0 ? first : qMin(last, at + 1));
        break;
    case Qt::Key_Up:
        if (last >= first)
            select(at < 0 ? first : qMax(first, at - Layout::kColumns));
        break;
    case Qt::Key_Down:
        if (last >= first)
            select(at < 0 ? first : qMin(last, at + Layout::kColumns));
        break;
    case Qt::Key_PageUp:
        activate({Tag::PageLink, -1, QLatin1Char('[') + previousLabel() + QLatin1Char(']')});
        break;
    case Qt::Key_PageDown:
        activate({Tag::PageLink, -1, QLatin1Char('[') + nextLabel() + QLatin1Char(']')});
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        activate(mTrackingTag);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool KCAnimiconPaletteView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const Tag tag = tagAt(help->pos());
        if (tag.kind == Tag::Item && mCategory)
            QToolTip::showText(help->globalPos(), mCategory->animiconNameWithIndex(tag.index), this,
                               cellRect(tag.index - mAnimiconNumStart));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
