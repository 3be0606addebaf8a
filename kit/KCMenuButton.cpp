#include "KCMenuButton.h"

#include <QMenu>
#include <QMouseEvent>

KCMenuButton::KCMenuButton(QWidget *parent)
    : KCMenuButton(QString(), parent)
{
}

KCMenuButton::KCMenuButton(const QString &title, QWidget *parent)
    : QPushButton(title, parent)
{
}

void KCMenuButton::setMenuLocation(const QPoint &location)
{
    mMenuLocation = location;
    mIsLocationMenu = true;
}

QPoint KCMenuButton::menuPosition() const
{
    if (mIsLocationMenu)
        return mMenuLocation;
    return QPoint(1, mapTo(window(), QPoint(0, height())).y() + 2);
}

void KCMenuButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !mPopupMenu) {
        QPushButton::mousePressEvent(event);
        return;
    }
    event->accept();
    setDown(true);
    QPointer<KCMenuButton> self(this);
    mPopupMenu->exec(window()->mapToGlobal(menuPosition()));
    // The menu's action may have closed the window and this button with it.
    if (self)
        setDown(false);
}
