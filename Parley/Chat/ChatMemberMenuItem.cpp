#include "ChatMemberMenuItem.h"

#include "KCEmoticonView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace parley {

namespace {

// The row: highlighted under the mouse or with the keyboard's focus like any
// menu item, and a click or Return triggers the action.
class MemberRow final : public QWidget
{
public:
    MemberRow(QWidgetAction *action, QWidget *parent) : QWidget(parent), mAction(action)
    {
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_Hover);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!underMouse() && !hasFocus())
            return;
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Highlight).lighter(170));
    }
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave)
            update();
        return QWidget::event(event);
    }
    void focusInEvent(QFocusEvent *event) override
    {
        update();
        QWidget::focusInEvent(event);
    }
    void focusOutEvent(QFocusEvent *event) override
    {
        update();
        QWidget::focusOutEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            activate();
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
            activate();
            return;
        }
        QWidget::keyPressEvent(event);
    }

private:
    void activate()
    {
        // The menu closes first, as after any item.
        for (QWidget *up = parentWidget(); up; up = up->parentWidget()) {
            if (auto *menu = qobject_cast<QMenu *>(up)) {
                menu->close();
                break;
            }
        }
        mAction->trigger();
    }

    QWidgetAction *mAction;
};

} // namespace

ChatMemberMenuItem::ChatMemberMenuItem(const QPixmap &statusImage, const QString &displayString, QObject *parent)
    : QWidgetAction(parent), mStatusImage(statusImage), mDisplayString(displayString)
{
    // Peer text in a menu title: "&" is not a mnemonic.
    setText(QString(displayString).replace(QLatin1Char('&'), QStringLiteral("&&")));
    setIcon(QIcon(statusImage));
}

QWidget *ChatMemberMenuItem::createWidget(QWidget *parent)
{
    auto *row = new MemberRow(this, parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(6, 2, 12, 2);
    layout->setSpacing(4);
    auto *icon = new QLabel(row);
    icon->setPixmap(mStatusImage);
    icon->setFixedSize(16, 16);
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *label = new KCEmoticonView(row);
    label->setTextSize(12);
    label->setTextColor(Qt::black);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setFocusPolicy(Qt::NoFocus);
    label->setEmoticonString(mDisplayString);
    // As wide as the whole string on one line.
    label->setMinimumWidth(qCeil(label->layoutInRect(QRectF(0, 0, 4000, 20)).displaySize.width()));
    layout->addWidget(icon);
    layout->addWidget(label, 1);
    return row;
}

} // namespace parley
