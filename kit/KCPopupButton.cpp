#include "KCPopupButton.h"

#include "ImageRegistry.h"
#include "KCDefaultFont.h"
#include "KCSkinPainting.h"

#include <QPainter>

namespace {

constexpr qreal kEdge = 2; // the caps sit two points in from the sides

} // namespace

KCPopupButton::KCPopupButton(QWidget *parent)
    : KCPopupButton(QString(), false, parent)
{
}

KCPopupButton::KCPopupButton(const QString &title, bool pullsDown, QWidget *parent)
    : QComboBox(parent)
    , mPullsDown(pullsDown)
    , mTitle(title)
{
    setFont(GetDefaultFontOfSize(11));
    setFocusPolicy(Qt::NoFocus);
}

void KCPopupButton::setPullsDown(bool pullsDown)
{
    mPullsDown = pullsDown;
    update();
}

void KCPopupButton::setTitle(const QString &title)
{
    mTitle = title;
    update();
}

QString KCPopupButton::displayedTitle() const { return mPullsDown ? mTitle : currentText(); }

QString KCPopupButton::sliceImageName(const char *piece) const
{
    return QStringLiteral("tools-popup%1-%2")
        .arg(QLatin1String(piece), KCSkinPainting::stateLetter(isEnabled(), mPoppedUp));
}

void KCPopupButton::showPopup()
{
    mPoppedUp = true;
    update();
    QComboBox::showPopup();
}

void KCPopupButton::hidePopup()
{
    QComboBox::hidePopup();
    mPoppedUp = false;
    update();
}

void KCPopupButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal w = width();
    const qreal h = height();
    const QImage left = ImageRegistry::image(sliceImageName("Left"));
    const QImage fill = ImageRegistry::image(sliceImageName("Fill"));
    const QImage right = ImageRegistry::image(sliceImageName("Right"));
    const QSizeF L = left.deviceIndependentSize(), F = fill.deviceIndependentSize(), R = right.deviceIndependentSize();

    // Caps centred vertically and lifted by one point (bottoms aligned); the
    // fill runs from the left cap to two points under the right one.
    const qreal bottom = h - (h - L.height()) / 2 - 1;
    KCSkinPainting::drawAt(painter, left, QPointF(kEdge, bottom - L.height()));
    KCSkinPainting::drawStretched(painter, fill,
                                  QRectF(kEdge + L.width(), bottom - F.height(), w - L.width() - R.width() - kEdge,
                                         F.height()));
    KCSkinPainting::drawAt(painter, right, QPointF(w - R.width() - kEdge, bottom - R.height()));

    // The title; the right cap carries the arrows.
    const QColor color = isEnabled() ? palette().color(QPalette::ButtonText)
                                     : palette().color(QPalette::Disabled, QPalette::ButtonText);
    const qreal textLeft = kEdge + std::max<qreal>(L.width(), 4) + 2;
    const QRectF textRect(textLeft, 0, std::max(0.0, w - kEdge - R.width() - 2 - textLeft), h - 1);
    painter.setPen(color);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     KCSkinPainting::elided(font(), displayedTitle(), textRect.width()));
}
