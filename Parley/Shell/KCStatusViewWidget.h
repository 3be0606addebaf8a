#pragma once

// The own-status selector of the main window: the status word with a pop-up
// triangle, drawn by itself (a highlight band under the mouse, the word in
// 11-point text with a one-point shadow). A left press opens the menu of the
// six statuses and three profile commands. Every change, chosen or set from
// code, goes through setTitle(title, isSelected): the delegate may refuse it;
// a status is then shown and ticked, a command leaves the shown status alone,
// and either way "KCChangeStatus" is posted with the new title.

#include "ShellWindows.h"

#include <QPixmap>
#include <QWidget>

class QAction;
class QMenu;
class QPainter;

namespace parley::shell {

class KCStatusViewWidget;

class KCStatusViewDelegate
{
public:
    virtual ~KCStatusViewDelegate() = default;
    // Whether the view may change to `title`.
    virtual bool statusViewShouldChangeStatus(KCStatusViewWidget *view, const QString &title) = 0;
};

class KCStatusViewWidget final : public QWidget, public KCStatusView
{
    Q_OBJECT

public:
    explicit KCStatusViewWidget(QWidget *parent = nullptr);
    ~KCStatusViewWidget() override;

    // KCStatusView
    QString title() override { return mTitle; }
    void setTitle(const QString &title) override { setTitle(title, false); }
    void setTitle(const QString &title, bool isSelected) override;
    bool isUserSelected() override { return mIsUserSelected; }
    QMenu *menu() override { return mMenu; }

    void setDelegate(KCStatusViewDelegate *delegate) { mDelegate = delegate; }
    KCStatusViewDelegate *delegate() const { return mDelegate; }
    // The menu's action: the user chose that entry.
    void updateMenuItem(QAction *item);
    // Ticks the entry titled `title` and posts the change.
    void updateMenuItemWithString(const QString &title);
    // Rebuilds the menu's titles in the interface language.
    void retranslate();

    bool isHover() const { return mIsHover; }
    bool isClick() const { return mIsClick; }
    // The checked entry's title; empty when none is ticked.
    QString checkedTitle() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildMenu();
    void popUpMenu();
    void postChange(const QString &oldTitle, const QString &newTitle);
    QFont titleFont() const;
    // Where the highlight band is drawn: as wide as the title needs, at
    // least 94, at most the view.
    QRect bandRect() const;
    int bandWidthFor(int viewWidth) const;
    static void drawBand(QPainter &painter, const QRect &band, const QPixmap &image);
    // Our image of that name, or a small drawn stand-in while it is missing.
    static QPixmap image(const QString &name);

    QPixmap mNormalImage;
    QPixmap mClickImage;
    QPixmap mHoverImage;
    QPixmap mSelectedImage;
    bool mIsClick = false;
    bool mIsHover = false;
    QString mTitle;
    QString mOldTitle; // the title shown before the last change
    QMenu *mMenu;
    bool mIsUserSelected = false;
    KCStatusViewDelegate *mDelegate = nullptr;
};

} // namespace parley::shell
