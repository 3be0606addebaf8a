#include "KCLinkButton.h"

#include "ImageRegistry.h"
#include "KCDefaultFont.h"
#include "KCSkinPainting.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QShortcut>

namespace {

QImage arrow() { return ImageRegistry::image(QStringLiteral("normal_right")); }

} // namespace

KCLinkButton::KCLinkButton(QWidget *parent)
    : KCLinkButton(QString(), parent)
{
}

KCLinkButton::KCLinkButton(const QString &title, QWidget *parent)
    : QAbstractButton(parent)
{
    setText(title);
    setFocusPolicy(Qt::NoFocus);
    setFont(GetDefaultFontOfSize(11));
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    auto *returnKey = new QShortcut(QKeySequence(Qt::Key_Return), this);
    returnKey->setContext(Qt::WindowShortcut);
    connect(returnKey, &QShortcut::activated, this, &QAbstractButton::click);
}

QFont KCLinkButton::titleFont() const
{
    QFont f = font();
    f.setUnderline(mDrawUnderline);
    return f;
}

QSize KCLinkButton::sizeHint() const
{
    const QFontMetricsF metrics(font());
    const QSizeF image = arrow().deviceIndependentSize();
    return QSize(qCeil(image.width() + metrics.horizontalAdvance(QLatin1Char(' ') + text())) + 1,
                 qCeil(std::max(image.height(), metrics.height()) + 1));
}

void KCLinkButton::setUnderline(bool underline)
{
    mDrawUnderline = underline;
    update();
}

void KCLinkButton::enterEvent(QEnterEvent *event)
{
    setUnderline(true);
    QAbstractButton::enterEvent(event);
}

void KCLinkButton::leaveEvent(QEvent *event)
{
    setUnderline(false);
    QAbstractButton::leaveEvent(event);
}

void KCLinkButton::mousePressEvent(QMouseEvent *event)
{
    setUnderline(false);
    QAbstractButton::mousePressEvent(event);
}

void KCLinkButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFont f = titleFont();
    painter.setFont(f);
    const QImage image = arrow();
    const QSizeF imageSize = image.deviceIndependentSize();
    const qreal lineHeight = std::max(imageSize.height(), QFontMetricsF(f).height());
    const qreal top = (height() - lineHeight) / 2;
    KCSkinPainting::drawAt(painter, image, QPointF(0, top + (lineHeight - imageSize.height()) / 2));
    const QRectF textRect(imageSize.width(), top, std::max(0.0, width() - imageSize.width()), lineHeight);
    const QString title = KCSkinPainting::elided(f, QLatin1Char(' ') + text(), textRect.width());
    KCSkinPainting::drawShadowedText(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title,
                                     palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                                     QPalette::WindowText));
}
