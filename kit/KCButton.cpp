#include "KCButton.h"

#include "ImageRegistry.h"
#include "KCDefaultFont.h"
#include "KCSkinPainting.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

constexpr int kCheckboxGap = 4;

} // namespace

KCButton::KCButton(QWidget *parent)
    : KCButton(QString(), parent)
{
}

KCButton::KCButton(const QString &title, QWidget *parent)
    : QPushButton(title, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setFont(GetDefaultFontOfSize(11));
}

void KCButton::setAlternateIcon(const QIcon &icon)
{
    mAlternateIcon = icon;
    update();
}

QString KCButton::state() const { return KCSkinPainting::stateLetter(isEnabled(), isDown()); }

QString KCButton::bezelImageName(const char *piece) const
{
    return QStringLiteral("Button%1%2").arg(QLatin1String(piece), state());
}

QString KCButton::checkboxImageName() const
{
    return QStringLiteral("Checkbox%1%2").arg(isChecked() ? QStringLiteral("On") : QStringLiteral("Off"), state());
}

QSize KCButton::sizeHint() const
{
    const QFontMetricsF metrics(font());
    const qreal textWidth = metrics.horizontalAdvance(text());
    if (isCheckable()) {
        const QSizeF box = ImageRegistry::image(checkboxImageName()).deviceIndependentSize();
        return QSize(qCeil(2 + box.width() + kCheckboxGap + textWidth),
                     qCeil(std::max(box.height(), metrics.height()) + 2));
    }
    const QSizeF cap = ImageRegistry::image(bezelImageName("Left")).deviceIndependentSize();
    return QSize(qCeil(textWidth + 3 * cap.width() + 12), qCeil(std::max(cap.height(), metrics.height() + 6)));
}

void KCButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (isCheckable())
        paintCheckBox(painter);
    else
        paintPushButton(painter);
}

void KCButton::paintPushButton(QPainter &painter)
{
    const qreal w = width();
    const qreal h = height();
    const QImage left = ImageRegistry::image(bezelImageName("Left"));
    const QImage fill = ImageRegistry::image(bezelImageName("Fill"));
    const QImage right = ImageRegistry::image(bezelImageName("Right"));
    const QSizeF L = left.deviceIndependentSize(), F = fill.deviceIndependentSize(), R = right.deviceIndependentSize();

    // Caps half a cap width in from the edges, centred vertically (bottoms
    // aligned); the fill stretched between them.
    const qreal bottom = h - (h - L.height()) / 2;
    KCSkinPainting::drawAt(painter, left, QPointF(L.width() / 2, bottom - L.height()));
    KCSkinPainting::drawAt(painter, right, QPointF(w - 1.5 * R.width(), bottom - R.height()));
    KCSkinPainting::drawStretched(painter, fill,
                                  QRectF(1.5 * L.width(), bottom - F.height(), w - 1.5 * L.width() - 1.5 * R.width(),
                                         F.height()));

    // The image, one point higher, or else the title.
    const QIcon shown = isDown() && !mAlternateIcon.isNull() ? mAlternateIcon : icon();
    if (!shown.isNull()) {
        const QSize size = iconSize();
        const QRectF target(QPointF((w - size.width()) / 2, (h - size.height()) / 2 - 1), QSizeF(size));
        shown.paint(&painter, target.toRect(), Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
        return;
    }
    const qreal inset = 1.5 * std::max(L.width(), R.width());
    const QRectF textRect(inset, 0, std::max(0.0, w - 2 * inset), h);
    const QColor color = isEnabled() ? Qt::black : QColor(85, 85, 85);
    KCSkinPainting::drawShadowedText(painter, textRect, Qt::AlignCenter | Qt::TextSingleLine,
                                     KCSkinPainting::elided(font(), text(), textRect.width()), color);
}

void KCButton::paintCheckBox(QPainter &painter)
{
    const qreal h = height();
    const QImage box = ImageRegistry::image(checkboxImageName());
    const QSizeF size = box.deviceIndependentSize();
    KCSkinPainting::drawAt(painter, box, QPointF(2, (h - size.height()) / 2));
    const qreal x = 2 + size.width() + kCheckboxGap;
    const QRectF textRect(x, 0, std::max(0.0, width() - x), h);
    painter.setPen(isEnabled() ? palette().color(QPalette::WindowText)
                               : palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     KCSkinPainting::elided(font(), text(), textRect.width()));
}
