#include "KCToasterWindow.h"

#include "ImageRegistry.h"
#include "KCEmoticonView.h"
#include "Utils/KCUtilities.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace parley::shell {

namespace {

// The notice's text is the buddy list's rows' size.
constexpr qreal kTextSize = 11;
// The head line's row, and the room it keeps from the edges and the icon.
constexpr int kHeadTop = 12;
constexpr int kHeadHeight = 18;
constexpr int kMargin = 10;
constexpr int kHeadGap = 6;
constexpr int kCloseLeft = KCToasterWindow::kWidth - 20;

} // namespace

KCToasterWindow::KCToasterWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      mIconView(new QLabel(this)),
      mCloseButton(new QToolButton(this)),
      mEmoticonHead(new KCEmoticonView(this)),
      mEmoticonBody(new KCEmoticonView(this))
{
    setObjectName(QStringLiteral("ToasterWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kWidth, kHeight);
    setWindowOpacity(0);
    setAccessibleName(KCLocalizedString(QStringLiteral("NoticeWindowName")));

    mIconView->setObjectName(QStringLiteral("iconView"));
    mIconView->setGeometry(10, 10, 32, 32);
    mIconView->setAlignment(Qt::AlignCenter);

    mCloseButton->setObjectName(QStringLiteral("closeButton"));
    mCloseButton->setGeometry(kCloseLeft, 6, 14, 14);
    mCloseButton->setAutoRaise(true);
    mCloseButton->setFocusPolicy(Qt::NoFocus);
    const QPixmap close = ImageRegistry::pixmap(QStringLiteral("toast_close"));
    if (close.isNull())
        mCloseButton->setText(QStringLiteral("\u00D7"));
    else
        mCloseButton->setIcon(close);
    mCloseButton->setIconSize(QSize(10, 10));
    mCloseButton->setToolTip(KCLocalizedString(QStringLiteral("NoticeClose")));
    mCloseButton->setAccessibleName(KCLocalizedString(QStringLiteral("NoticeClose")));
    connect(mCloseButton, &QToolButton::clicked, this, &KCToasterWindow::closeClicked);

    mEmoticonHead->setObjectName(QStringLiteral("emoticonHead"));
    placeHeadLine();
    mEmoticonHead->setMultiLine(false);
    mEmoticonHead->setTextSize(kTextSize);
    mEmoticonHead->setFocusPolicy(Qt::NoFocus);

    mEmoticonBody->setObjectName(QStringLiteral("emoticonBody"));
    mEmoticonBody->setGeometry(44, 34, 124, 82);
    mEmoticonBody->setMultiLine(true);
    mEmoticonBody->setTextSize(kTextSize);
    mEmoticonBody->setAllowEnter(false);
    mEmoticonBody->setFocusPolicy(Qt::NoFocus);
}

void KCToasterWindow::setCloseButtonRect(const QRect &rect)
{
    mCloseButton->setGeometry(rect);
    placeHeadLine();
}

void KCToasterWindow::setIconRect(const QRect &rect)
{
    mIconView->setGeometry(rect);
    placeHeadLine();
}

void KCToasterWindow::placeHeadLine()
{
    // The whole row but for an icon or the close button on it (the chat
    // skin puts its icon below the head line, the close button at its end).
    const QRect row(0, kHeadTop, kWidth, kHeadHeight);
    const QRect icon = mIconView->geometry();
    const QRect close = mCloseButton->geometry();
    const bool iconOnRow = !mIconView->pixmap().isNull() && icon.intersects(row);
    const int left = iconOnRow ? icon.right() + 1 + kHeadGap : kMargin;
    const int right = close.intersects(row) && close.left() > left ? close.left() - 2 : kWidth - kMargin;
    mEmoticonHead->setGeometry(left, kHeadTop, right - left, kHeadHeight);
}

void KCToasterWindow::setIconImage(const QPixmap &image)
{
    mIconView->setPixmap(image.isNull() ? QPixmap()
                                        : image.scaled(mIconView->size() * image.devicePixelRatio(),
                                                       Qt::KeepAspectRatio, Qt::SmoothTransformation));
    placeHeadLine();
}

void KCToasterWindow::setBackgroundImage(const QPixmap &image)
{
    mBackground = image;
    update();
}

void KCToasterWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!mBackground.isNull()) {
        painter.drawPixmap(rect(), mBackground);
        return;
    }
    // The plain panel: a rounded card with a soft top-to-bottom shade.
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, QColor(0xfb, 0xfc, 0xfe));
    shade.setColorAt(1, QColor(0xe4, 0xea, 0xf3));
    painter.fillPath(card, shade);
    painter.setPen(QColor(0x8a, 0x9b, 0xb4));
    painter.drawPath(card);
}

void KCToasterWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        event->accept();
        emit clicked();
        return;
    }
    QWidget::mousePressEvent(event);
}

void KCToasterWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

} // namespace parley::shell
