#pragma once

// One tab's box: the folder outline on the left, the message table over the
// detail pane on the right, bound to the box's data source. The views follow
// the data source's selection and order; the user's clicks go to it.

#include <QWidget>

class QMenu;

namespace pigeonhole {

class KCMsgOutlineView;
class KCSplitView;
class KCTableView;
class PGHBoxDataSource;

class PGHBoxView : public QWidget
{
    Q_OBJECT

public:
    PGHBoxView(PGHBoxDataSource &dataSource, QWidget *detailPane, QWidget *parent = nullptr);

    KCMsgOutlineView *outline() const { return mOutline; }
    KCTableView *table() const { return mTable; }
    QWidget *detailPane() const { return mDetail; }
    KCSplitView *splitView() const { return mSplit; }
    void setMenus(QMenu *outlineMenu, QMenu *tableMenu);

private:
    void followTree();
    void followList();
    void followSort(int section, bool ascending);

    PGHBoxDataSource &mDataSource;
    KCMsgOutlineView *mOutline;
    KCTableView *mTable;
    QWidget *mDetail;
    KCSplitView *mSplit;
    KCSplitView *mRightSplit;
    QMenu *mOutlineMenu = nullptr;
    QMenu *mTableMenu = nullptr;
};

} // namespace pigeonhole
