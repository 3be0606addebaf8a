#include "KCStatusViewWidget.h"

#include "ImageRegistry.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "OwnStatusTable.h"
#include "Utils/KCUtilities.h"

#include <QAction>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>

namespace parley::shell {

namespace {

// The view's measures, from its bottom-left corner as the status bar lays
// them out: the band at least 94 x 17 at the origin, the triangle 9 x 8 at
// (5, 5), the title from x = 16, 2 above the bottom.
constexpr int kBandWidth = 94;
// Room after the title inside the band, for its rounded end.
constexpr int kBandEnd = 8;
constexpr int kBandHeight = 17;
const QRect kTriangle(5, 5, 9, 8);
constexpr int kTitleX = 16;
constexpr int kTitleBottom = 2;

// A rectangle measured from the bottom-left, in a view of that height.
QRect fromBottomLeft(const QRect &rect, int height) { return QRect(rect.x(), height - rect.y() - rect.height(), rect.width(), rect.height()); }

} // namespace

KCStatusViewWidget::KCStatusViewWidget(QWidget *parent)
    : QWidget(parent), mMenu(new QMenu(this))
{
    setObjectName(QStringLiteral("statusView"));
    mNormalImage = image(QStringLiteral("triangle"));
    mClickImage = image(QStringLiteral("triangle_hilited"));
    mHoverImage = image(QStringLiteral("119x17_selected"));
    mSelectedImage = mHoverImage;
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAccessibleName(KCLocalizedString(QStringLiteral("StatusViewName")));
    buildMenu();
    // While the menu is open it has the mouse and the view hears no leave:
    // the hover state is read afresh once it closes (the window system's
    // under-mouse mark can be stale then: the pointer is asked as well).
    connect(mMenu, &QMenu::aboutToHide, this, [this] {
        mIsClick = false;
        mIsHover = underMouse() && rect().contains(mapFromGlobal(QCursor::pos()));
        update();
    });
}

KCStatusViewWidget::~KCStatusViewWidget()
{
    if (ShellWindows::hasStatusView() && &ShellWindows::statusView() == static_cast<KCStatusView *>(this))
        ShellWindows::setStatusView(nullptr);
}

QPixmap KCStatusViewWidget::image(const QString &name)
{
    QPixmap pixmap = ImageRegistry::pixmap(name);
    if (!pixmap.isNull())
        return pixmap;
    // Stand-ins: a dark or white triangle, a blue band.
    const bool band = name.startsWith(QLatin1String("119x17"));
    pixmap = QPixmap(band ? QSize(119, 17) : QSize(9, 8));
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (band) {
        painter.fillRect(pixmap.rect(), QColor(0x3d, 0x6f, 0xc4));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(name.endsWith(QLatin1String("hilited")) ? QColor(Qt::white) : QColor(0x40, 0x40, 0x40));
        painter.drawPolygon(QPolygonF({QPointF(0.5, 1.5), QPointF(8.5, 1.5), QPointF(4.5, 7)}));
    }
    return pixmap;
}

void KCStatusViewWidget::buildMenu()
{
    const auto add = [this](const QString &key) {
        QAction *item = mMenu->addAction(KCLocalizedString(key));
        item->setData(key);
        if (const std::optional<OwnStatus> entry = OwnStatusTable::entryForKey(key); entry && !entry->menuImage.isEmpty()) {
            const QPixmap icon = ImageRegistry::pixmap(entry->menuImage);
            if (!icon.isNull())
                item->setIcon(icon);
        }
        connect(item, &QAction::triggered, this, [this, item] { updateMenuItem(item); });
    };
    const QStringList &statuses = OwnStatusTable::statusKeys();
    for (const QString &key : statuses)
        add(key);
    mMenu->addSeparator();
    add(QStringLiteral("SetMyNickName"));
    mMenu->addSeparator();
    add(QStringLiteral("ShowMyProfile"));
    add(QStringLiteral("SetMyProfile"));
}

void KCStatusViewWidget::retranslate()
{
    for (QAction *item : mMenu->actions()) {
        if (!item->isSeparator())
            item->setText(KCLocalizedString(item->data().toString()));
    }
    setAccessibleName(KCLocalizedString(QStringLiteral("StatusViewName")));
}

void KCStatusViewWidget::setTitle(const QString &title, bool isSelected)
{
    if (mDelegate && !mDelegate->statusViewShouldChangeStatus(this, title))
        return;
    mIsUserSelected = isSelected;
    if (OwnStatusTable::isCommandTitle(title)) {
        // A command: the status shown stays, and so does its tick.
        postChange(mTitle, title);
        return;
    }
    mOldTitle = mTitle;
    mTitle = title;
    setAccessibleDescription(title);
    updateMenuItemWithString(title);
    updateGeometry();
    update();
}

void KCStatusViewWidget::updateMenuItemWithString(const QString &title)
{
    // Only the ticked entry is checkable, so that the others show no empty box.
    for (QAction *item : mMenu->actions()) {
        const bool ticked = !item->isSeparator() && item->text() == title;
        item->setCheckable(ticked);
        item->setChecked(ticked);
    }
    postChange(mOldTitle, title);
}

void KCStatusViewWidget::postChange(const QString &oldTitle, const QString &newTitle)
{
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kChangeStatus), this,
                                             {{QStringLiteral("title"), newTitle},
                                              {QStringLiteral("oldTitle"), oldTitle},
                                              {QStringLiteral("newTitle"), newTitle}});
}

void KCStatusViewWidget::updateMenuItem(QAction *item)
{
    setTitle(item->text(), true);
    mIsClick = false;
    mIsUserSelected = true;
    update();
}

QString KCStatusViewWidget::checkedTitle() const
{
    for (const QAction *item : mMenu->actions()) {
        if (item->isChecked())
            return item->text();
    }
    return {};
}

QFont KCStatusViewWidget::titleFont() const
{
    QFont font = this->font();
    font.setPointSizeF(11);
    return font;
}

int KCStatusViewWidget::bandWidthFor(int viewWidth) const
{
    // Wide enough for the whole title (white text off the band could not be
    // read), never past the view.
    const int needed = kTitleX + QFontMetrics(titleFont()).horizontalAdvance(mTitle) + kBandEnd;
    return qMin(qMax(kBandWidth, needed), viewWidth);
}

QRect KCStatusViewWidget::bandRect() const
{
    return fromBottomLeft(QRect(0, 0, bandWidthFor(width()), kBandHeight), height());
}

QSize KCStatusViewWidget::sizeHint() const
{
    return {qMax(kBandWidth + 26, bandWidthFor(QWIDGETSIZE_MAX)), kBandHeight + 4};
}

void KCStatusViewWidget::popUpMenu()
{
    mIsClick = true;
    update();
    mMenu->popup(mapToGlobal(QPoint(0, height())));
}

void KCStatusViewWidget::mousePressEvent(QMouseEvent *event)
{
    // Only a left press opens the menu.
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    popUpMenu();
}

void KCStatusViewWidget::mouseReleaseEvent(QMouseEvent *)
{
    if (!mMenu->isVisible())
        mIsClick = false;
    update();
}

void KCStatusViewWidget::enterEvent(QEnterEvent *)
{
    mIsHover = true;
    update();
}

void KCStatusViewWidget::leaveEvent(QEvent *)
{
    mIsHover = false;
    update();
}

bool KCStatusViewWidget::event(QEvent *event)
{
    // The mouse back over the view after the menu: no enter may come when
    // the window system still has it under the mouse, but hover moves do.
    if (event->type() == QEvent::HoverMove && !mIsHover && !mMenu->isVisible()) {
        mIsHover = true;
        update();
    }
    return QWidget::event(event);
}

void KCStatusViewWidget::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        popUpMenu();
        return;
    default: QWidget::keyPressEvent(event);
    }
}

// The band's image with its rounded ends kept and its middle stretched.
void KCStatusViewWidget::drawBand(QPainter &painter, const QRect &band, const QPixmap &image)
{
    const int end = qMin(kBandEnd, image.width() / 2);
    const int imageHeight = image.height();
    painter.drawPixmap(QRect(band.left(), band.top(), end, band.height()), image, QRect(0, 0, end, imageHeight));
    painter.drawPixmap(QRect(band.left() + end, band.top(), band.width() - 2 * end, band.height()), image,
                       QRect(end, 0, image.width() - 2 * end, imageHeight));
    painter.drawPixmap(QRect(band.right() + 1 - end, band.top(), end, band.height()), image,
                       QRect(image.width() - end, 0, end, imageHeight));
}

void KCStatusViewWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int h = height();
    QColor shadow;
    QColor textColor;
    const QRect band = bandRect();
    if (mIsHover || mIsClick) {
        shadow = Qt::darkGray;
        textColor = Qt::white;
        drawBand(painter, band, mIsClick ? mSelectedImage : mHoverImage);
        painter.drawPixmap(fromBottomLeft(kTriangle, h), mClickImage);
    } else {
        painter.drawPixmap(fromBottomLeft(kTriangle, h), mNormalImage);
        shadow = Qt::lightGray;
        textColor = Qt::black;
        if (hasFocus()) {
            // The keyboard's mark: the band's outline.
            painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(band).adjusted(0.75, 0.75, -0.75, -0.75), 8, 8);
        }
    }
    const QFont font = titleFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int textHeight = metrics.height();
    const QRect textRect(kTitleX, h - kTitleBottom - textHeight, width() - kTitleX, textHeight);
    const QString shown = metrics.elidedText(mTitle, Qt::ElideRight, textRect.width());
    // A one-point shadow below the text.
    painter.setPen(shadow);
    painter.drawText(textRect.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, shown);
    painter.setPen(textColor);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

} // namespace parley::shell
