#pragma once

// The buddy view of the main window: the own status and nickname at the top,
// the portal and counter buttons, the buddy list, and the list's tool bar.
// The own-status view and the buddy list are put into their slots by the
// windows that make them (setStatusWidget, setBuddyListWidget); until then
// the status slot shows the status title as text.

#include <QWidget>

class KCMenuButton;
class QLabel;
class QToolButton;
class QVBoxLayout;

namespace parley::shell {

class BuddyView : public QWidget
{
    Q_OBJECT

public:
    explicit BuddyView(QWidget *parent = nullptr);

    // The own-status button's image ("32x32_normal" and the like).
    void setStatusImage(const QString &imageName);

    // Tooltips in the interface language.
    void retranslate();

    // Puts a widget into a slot (replacing what was there; the view owns it).
    void setStatusWidget(QWidget *widget);
    void setBuddyListWidget(QWidget *widget);
    QWidget *statusSlot() const { return mStatusSlot; }
    QWidget *buddyListSlot() const { return mBuddyListSlot; }
    // Puts the keyboard focus on the buddy list (where the view opens).
    void focusBuddyList();

    // The status title shown while no status view fills the slot.
    QLabel *buddyStatusField;
    // The own nickname (plain text).
    QLabel *nickNameView;
    KCMenuButton *myStatusButton; // pops up the status view's menu
    QToolButton *sessionMgrButton;
    QToolButton *mailButton;
    QToolButton *memoButton;
    QToolButton *velaButton;
    QToolButton *orchardButton;
    QToolButton *homeButton;
    QToolButton *viewTypeButton;
    QToolButton *addBuddyButton;
    QToolButton *addGroupButton;
    QToolButton *smsButton;
    QToolButton *communicationViewerButton;

private:
    static void fillSlot(QWidget *slot, QWidget *widget);
    void orderTabs();

    QWidget *mStatusSlot;
    QWidget *mBuddyListSlot;
};

} // namespace parley::shell
