#include "KCLinkButton.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextEdit>

namespace pigeonhole {

KCLinkButton::KCLinkButton(QWidget *parent)
    : QPushButton(parent)
{
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::TabFocus);
    // A shortcut of a hidden widget never fires: the key acts while the
    // button is shown.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &QAbstractButton::click);
        mKeyEquivalents << shortcut;
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { followFocus(now); });
    followFocus(QApplication::focusWidget());
}

void KCLinkButton::followFocus(QWidget *focus)
{
    // Off while the key belongs to the focused field or text: the field's own
    // Return (a search) must not open a chat.
    const bool typing = qobject_cast<QLineEdit *>(focus) || qobject_cast<QTextEdit *>(focus)
                        || qobject_cast<QPlainTextEdit *>(focus);
    for (QShortcut *shortcut : std::as_const(mKeyEquivalents))
        shortcut->setEnabled(!typing);
}

QFont KCLinkButton::titleFont() const
{
    QFont f = font();
    f.setPointSizeF(10);
    f.setUnderline(true);
    return f;
}

QSize KCLinkButton::sizeHint() const
{
    const QFontMetrics metrics(titleFont());
    return {metrics.horizontalAdvance(text()) + 4, metrics.height() + 2};
}

void KCLinkButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(titleFont());
    const QFontMetrics metrics(painter.font());
    const QString title = metrics.elidedText(text(), Qt::ElideRight, width());
    const QRect area = rect();
    // The shadow sits one point below the title.
    painter.setPen(Qt::white);
    painter.drawText(area.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.setPen(isDown() ? QColor(20, 40, 120) : palette().color(QPalette::Link));
    if (hasFocus())
        painter.setPen(palette().color(QPalette::Highlight));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, title);
}

} // namespace pigeonhole
