#include "KCEmoticonView.h"

#include "EmoticonManager.h"
#include "KCDefaultFont.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QtMath>

namespace {

// A line feed that does not break the line is drawn and measured as a space.
QString drawable(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

KCEmoticonView::KCEmoticonView(QWidget *parent, const EmoticonManager *catalogue)
    : QWidget(parent)
    , mCatalogue(catalogue)
    , mFont(GetDefaultFontOfSize(12))
{
    setFocusPolicy(Qt::ClickFocus);
}

const EmoticonManager &KCEmoticonView::catalogue() const
{
    return mCatalogue ? *mCatalogue : EmoticonManager::sharedManager();
}

KCEmoticonLayout KCEmoticonView::layoutInRect(const QRectF &frame) const
{
    const QFontMetricsF metrics(mFont);
    const EmoticonManager &emoticons = catalogue();
    const KCEmoticonLayoutMetrics measure{
        [&metrics](const QString &text) { return metrics.horizontalAdvance(drawable(text)); },
        [&emoticons](const QString &piece) {
            return emoticons.isEmoticon(piece) ? QSizeF(emoticons.emoticonImageSize(piece)) : QSizeF();
        }};
    const KCEmoticonLayoutOptions options{mIsMultiline, mIsAllowEnter, mLeftMargin};
    return KCLayoutEmoticonPieces(mEmoticons, frame, options, measure);
}

bool KCEmoticonView::setEmoticonString(const QString &text)
{
    mEmoticonString = text;
    mEmoticons = EmoticonManager::emoticonParsingWithString(text, &catalogue());
    const KCEmoticonLayout layout = layoutInRect(QRectF(rect()));
    mDisplaySize = layout.displaySize;
    setAccessibleName(text);
    updateGeometry();
    update();
    return layout.cut;
}

void KCEmoticonView::setMultiLine(bool multiLine)
{
    mIsMultiline = multiLine;
    mLeftMargin = 7;
    update();
}

void KCEmoticonView::setAllowEnter(bool allowEnter)
{
    mIsAllowEnter = allowEnter;
    update();
}

void KCEmoticonView::setTextColor(const QColor &color)
{
    mTextColor = color;
    update();
}

void KCEmoticonView::setTextSize(qreal pointSize)
{
    mFont = GetDefaultFontOfSize(pointSize);
    update();
}

void KCEmoticonView::setBackgroundColor(const QColor &color)
{
    mBackgroundColor = color;
    update();
}

void KCEmoticonView::setDrawBackground(bool draw)
{
    mIsDrawBackground = draw;
    update();
}

void KCEmoticonView::setBorder(bool border)
{
    mIsBorder = border;
    update();
}

QSize KCEmoticonView::sizeHint() const
{
    return mDisplaySize.toSize().expandedTo(QSize(1, lineHeight()));
}

int KCEmoticonView::heightForWidth(int width) const
{
    if (!mIsMultiline)
        return QWidget::heightForWidth(width);
    // The last line's bottom, and the top inset again below it.
    return qCeil(layoutInRect(QRectF(0, 0, width, QWIDGETSIZE_MAX)).displaySize.height()) + 3;
}

QSize KCEmoticonView::minimumSizeHint() const { return QSize(1, lineHeight()); }

void KCEmoticonView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF bounds(rect());
    if (mIsDrawBackground)
        painter.fillRect(bounds, mBackgroundColor);
    if (mIsBorder) {
        painter.setPen(Qt::darkGray);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    const KCEmoticonLayout layout = layoutInRect(bounds);
    mDisplaySize = layout.displaySize;
    const QFontMetricsF metrics(mFont);
    painter.setFont(mFont);
    painter.setPen(mTextColor);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const KCEmoticonLayoutItem &item : layout.items) {
        const qreal baseline = item.rect.bottom() - metrics.descent();
        switch (item.kind) {
        case KCEmoticonLayoutItem::Kind::Text:
            painter.drawText(QPointF(item.rect.left(), baseline), drawable(item.text));
            break;
        case KCEmoticonLayoutItem::Kind::Ellipsis:
            for (qsizetype i = 0; i < item.text.size(); ++i)
                painter.drawText(QPointF(item.rect.left() + i * layout.dotWidth, baseline), QStringLiteral("."));
            break;
        case KCEmoticonLayoutItem::Kind::Image: {
            const QString path = catalogue().emoticonFileNameForEmoticon(item.text);
            QPixmap pixmap;
            if (!QPixmapCache::find(path, &pixmap)) {
                pixmap = QPixmap(path);
                QPixmapCache::insert(path, pixmap);
            }
            painter.drawPixmap(item.rect, pixmap, QRectF(pixmap.rect()));
            break;
        }
        }
    }
}

void KCEmoticonView::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (mDelegate)
        mDelegate->emoticonViewClicked(this);
}
