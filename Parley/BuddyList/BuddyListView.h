#pragma once

// The buddy list as the main window shows it: the outline of groups and
// buddies above the two-tab bar and its content view. The list's controller
// (BuddyListDataSource) is given the outline; the tab bar's views come from
// the buddy dialogs.

#include <QWidget>

namespace parley {

class BuddyTabView;
class KCOutlineView;

class BuddyListView : public QWidget
{
    Q_OBJECT

public:
    explicit BuddyListView(QWidget *parent = nullptr);

    KCOutlineView *outlineView() const { return mOutline; }
    BuddyTabView *tabBar() const { return mTabBar; }
    // Where the tab bar puts its chosen view; hidden while it holds none.
    QWidget *contentView() const { return mContent; }

private:
    KCOutlineView *mOutline;
    BuddyTabView *mTabBar;
    QWidget *mContent;
};

} // namespace parley
