#pragma once

// A button that pops up its menu when pressed and stays highlighted while the
// menu is up: at a point set for it, or else one point from its window's left
// edge just under the button.

#include <QMenu>
#include <QPointer>
#include <QPushButton>

class KCMenuButton : public QPushButton
{
    Q_OBJECT
public:
    explicit KCMenuButton(QWidget *parent = nullptr);
    explicit KCMenuButton(const QString &title, QWidget *parent = nullptr);

    // The menu it pops up (not owned).
    void setPopupMenu(QMenu *menu) { mPopupMenu = menu; }
    QMenu *popupMenu() const { return mPopupMenu; }

    // Where the menu's top-left corner goes, in the window's coordinates
    // (top-left origin); from then on the menu opens there.
    void setMenuLocation(const QPoint &location);
    void setIsLocationMenu(bool isLocationMenu) { mIsLocationMenu = isLocationMenu; }
    bool isLocationMenu() const { return mIsLocationMenu; }
    // The view the menu is for, for menus whose items act on another view
    // than the button (not owned).
    void setMenuTarget(QWidget *target) { mMenuTarget = target; }
    QWidget *menuTarget() const { return mMenuTarget; }

    // Where the menu opens, in the coordinates of the button's window.
    QPoint menuPosition() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPointer<QMenu> mPopupMenu;
    QPointer<QWidget> mMenuTarget;
    QPoint mMenuLocation;
    bool mIsLocationMenu = false;
};
